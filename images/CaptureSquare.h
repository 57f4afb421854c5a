#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// The square a capture takes, in screen coordinates (right and bottom exclusive):
// empty until the left button goes down, then always Side x Side pixels with its
// top-left corner at the mouse, the corner the capture cursor marks.
struct CaptureSquare {
    static constexpr int Side = 32;

    int left = 0, top = 0, right = 0, bottom = 0;

    void placeAt(QPoint topLeft);
    bool isEmpty() const { return !(left < right && top < bottom); }
    QRect rect() const { return QRect(left, top, right - left, bottom - top); }
};

// The square's outline as a dotted focus rectangle on `copy`, the picture the square
// lies on: every other pixel of the border is inverted, so drawing it twice at one
// place leaves the picture as it was. `where` is in the picture's coordinates.
void drawDottedOutline(QImage &copy, const QRect &where);
