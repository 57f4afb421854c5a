#pragma once

#include <QWidget>

// Dialogs centre themselves over the main window on every show; the halving
// truncates toward zero, as integer division does.
inline QPoint centredOver(const QRect &main, const QSize &own)
{
    return {main.left() + (main.width() - own.width()) / 2, main.top() + (main.height() - own.height()) / 2};
}

inline void centreOver(QWidget *dialog, const QWidget *main)
{
    if (main)
        dialog->move(centredOver(main->frameGeometry(), dialog->frameGeometry().size()));
}
