#include "images/ScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

QRect QtScreenGrabber::desktopArea() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect();
}

QImage QtScreenGrabber::grab(const QRect &area)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || area.isEmpty())
        return {};
    const QRect inside = area & screen->virtualGeometry();
    QImage result(area.size(), QImage::Format_RGB32);
    result.fill(Qt::black);
    if (inside.isEmpty())
        return result;
    // The root window is copied in its own coordinates, counted from this screen.
    const QRect from = inside.translated(-screen->geometry().topLeft());
    QImage copied = screen->grabWindow(0, from.x(), from.y(), from.width(), from.height()).toImage();
    if (copied.isNull())
        return {};
    // A scaled screen copies more device pixels than the area has pixels.
    copied.setDevicePixelRatio(1.0);
    if (copied.size() != inside.size())
        copied = copied.scaled(inside.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QPainter painter(&result);
    painter.drawImage(inside.topLeft() - area.topLeft(), copied);
    return result;
}

QString QtScreenGrabber::refusal() const
{
    return QStringLiteral("This desktop (%1) does not let programs copy the screen, so no picture can be "
                          "captured. Run Moxarium in an X11 session to capture pictures.")
        .arg(QGuiApplication::platformName());
}
