#pragma once

#include <QWidget>

// A dialog's controls stand where the design put them for the main window's font;
// a window does not inherit its owner's font by itself.
inline void takeDesignFont(QWidget *dialog, const QWidget *mainWindow)
{
    if (mainWindow)
        dialog->setFont(mainWindow->font());
}
