#include "images/CaptureSquare.h"

#include <limits>

void CaptureSquare::placeAt(QPoint topLeft)
{
    // Kept clear of the integer's end, so right and bottom never overflow.
    constexpr int last = std::numeric_limits<int>::max() - Side;
    left = std::min(topLeft.x(), last);
    top = std::min(topLeft.y(), last);
    right = left + Side;
    bottom = top + Side;
}

void drawDottedOutline(QImage &copy, const QRect &where)
{
    if (where.isEmpty())
        return;
    if (copy.format() != QImage::Format_RGB32 && copy.format() != QImage::Format_ARGB32)
        copy = copy.convertToFormat(QImage::Format_RGB32);
    const auto invert = [&copy](int x, int y) {
        // The dots keep their place on the screen as the square moves.
        if (!copy.rect().contains(x, y) || (x + y) % 2 != 0)
            return;
        const QRgb pixel = copy.pixel(x, y);
        copy.setPixel(x, y, qRgba(255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel), qAlpha(pixel)));
    };
    const int l = where.left(), t = where.top(), r = where.right(), b = where.bottom();
    for (int x = l; x <= r; ++x) {
        invert(x, t);
        if (b != t)
            invert(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        invert(l, y);
        if (r != l)
            invert(r, y);
    }
}
