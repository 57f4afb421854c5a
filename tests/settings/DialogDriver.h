#pragma once

#include "tests/common/ModalScript.h"

#include <QDir>
#include <QWidget>

// A picture of a widget among the test run's artefacts, to look at.
inline void saveShot(QWidget &w, const QString &name)
{
    const QString folder = QStringLiteral(MOX_ARTIFACT_DIR);
    QDir().mkpath(folder);
    w.grab().save(folder + QLatin1Char('/') + name);
}

// The design's font, as the main window takes it.
inline QFont designFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    return font;
}

// Stands in for the main window: the dialogs take its font and centre over it.
struct MainStandIn : QWidget {
    MainStandIn()
    {
        setFont(designFont());
        setGeometry(100, 80, 640, 480);
    }
};

// Centred over the main window, the halves cut toward zero.
inline bool centredOver(const QWidget &dialog, const QWidget &main)
{
    const QRect m = main.frameGeometry(), own = dialog.frameGeometry();
    return own.topLeft() == QPoint(m.left() + (m.width() - own.width()) / 2, m.top() + (m.height() - own.height()) / 2);
}
