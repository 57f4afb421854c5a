#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// The seam to the screen: where the desktop is and what it shows. Tests put in a
// picture of their own.
class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;
    // The desktop in screen coordinates: what the capture overlay covers.
    virtual QRect desktopArea() const = 0;
    // What the screen shows now in `area` (screen coordinates), exactly area's size
    // in pixels; a part outside the desktop is black. A null image when the platform
    // does not let programs copy the screen.
    virtual QImage grab(const QRect &area) = 0;
    // Why grab() gave nothing, in words for the user.
    virtual QString refusal() const = 0;
};

// The screens Qt knows, copied through the platform (X11 lets any program read the
// screen; a Wayland session without X11 does not).
class QtScreenGrabber : public ScreenGrabber
{
public:
    QRect desktopArea() const override;
    QImage grab(const QRect &area) override;
    QString refusal() const override;
};
