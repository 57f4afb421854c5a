#pragma once

#include "images/ScreenGrabber.h"

#include <QPainter>

// A desktop whose every pixel tells its own place, for the capture tests: red and
// green are x and y (mod 256), blue says which 256-pixel block it lies in.
class FakeScreen : public ScreenGrabber
{
public:
    QRect area{0, 0, 400, 300};
    bool refuse = false;
    int grabs = 0;
    QList<QRect> grabbed;

    static QRgb pixelAt(int x, int y) { return qRgb(x % 256, y % 256, 16 * (x / 256) + 64 * (y / 256) + 1); }

    QRect desktopArea() const override { return area; }
    QImage grab(const QRect &r) override
    {
        ++grabs;
        grabbed << r;
        if (refuse)
            return {};
        QImage image(r.size(), QImage::Format_RGB32);
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x) {
                const QPoint p = r.topLeft() + QPoint(x, y);
                image.setPixel(x, y, area.contains(p) ? pixelAt(p.x(), p.y()) : qRgb(0, 0, 0));
            }
        return image;
    }
    QString refusal() const override { return QStringLiteral("This desktop does not let programs copy the screen."); }
};
