#include "settings/WindowPlacement.h"

#include "settings/ProfileValues.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsKeys.h"

#include <algorithm>

namespace {

// The largest width or height a window can be given.
constexpr qint64 LargestWindowSize = (1 << 24) - 1;
// How much of the window's top edge must be on a screen for it to be grabbed
// and moved: the height of a title bar, and a stretch of it wide enough to hit.
constexpr qint64 TopEdgeHeight = 24;
constexpr qint64 TopEdgeWidth = 100;

// A rectangle in 64 bits: a stored position added up may not fit an int.
struct Box
{
    qint64 left;
    qint64 top;
    qint64 width;
    qint64 height;

    qint64 right() const { return left + width; }   // exclusive
    qint64 bottom() const { return top + height; }  // exclusive
};

Box boxOf(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

qint64 overlap(qint64 begin1, qint64 end1, qint64 begin2, qint64 end2)
{
    return std::max<qint64>(0, std::min(end1, end2) - std::max(begin1, begin2));
}

qint64 sharedArea(const Box &a, const Box &b)
{
    return overlap(a.left, a.right(), b.left, b.right()) * overlap(a.top, a.bottom(), b.top, b.bottom());
}

// The gap between two boxes, 0 where they meet. In double: the squares of
// gaps near the int range do not fit 64 bits.
double distance(const Box &a, const Box &b)
{
    const double dx = double(std::max<qint64>({0, b.left - a.right(), a.left - b.right()}));
    const double dy = double(std::max<qint64>({0, b.top - a.bottom(), a.top - b.bottom()}));
    return dx * dx + dy * dy;
}

qsizetype chooseScreen(const Box &window, const QList<Box> &screens)
{
    qsizetype best = 0;
    qint64 bestArea = 0;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const qint64 area = sharedArea(window, screens[i]);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (bestArea > 0)
        return best;
    for (qsizetype i = 1; i < screens.size(); ++i) {
        if (distance(window, screens[i]) < distance(window, screens[best]))
            best = i;
    }
    return best;
}

bool topEdgeReachable(const Box &window, const QList<Box> &screens)
{
    const qint64 edgeHeight = std::min(window.height, TopEdgeHeight);
    const qint64 edgeWidth = std::min(window.width, TopEdgeWidth);
    return std::any_of(screens.cbegin(), screens.cend(), [&](const Box &screen) {
        return window.top >= screen.top && window.top + edgeHeight <= screen.bottom()
               && overlap(window.left, window.right(), screen.left, screen.right()) >= edgeWidth;
    });
}

// Within [low, high], or at low when the range is empty.
qint64 placed(qint64 value, qint64 low, qint64 high)
{
    return std::max(low, std::min(value, high));
}

std::optional<QList<int>> parseFields(QStringView text, int count, QString *badPart)
{
    QString bad;
    auto values = parseIntegerFields(text, count, bad);
    if (!values && badPart)
        *badPart = bad;
    return values;
}

} // namespace

std::optional<StoredGeometry> parseWindowPosition(QStringView text, QString *badPart)
{
    const auto v = parseFields(text, 4, badPart);
    if (!v)
        return std::nullopt;
    return StoredGeometry{v->at(0), v->at(1), v->at(2), v->at(3)};
}

QString formatWindowPosition(const QRect &geometry)
{
    return QStringLiteral("%1,%2,%3,%4").arg(geometry.left()).arg(geometry.top()).arg(geometry.width()).arg(geometry.height());
}

std::optional<QPoint> parseFindPosition(QStringView text, QString *badPart)
{
    const auto v = parseFields(text, 2, badPart);
    if (!v)
        return std::nullopt;
    return QPoint(v->at(0), v->at(1));
}

QString formatFindPosition(const QPoint &position)
{
    return QStringLiteral("%1,%2").arg(position.x()).arg(position.y());
}

QRect fitWindowGeometry(const StoredGeometry &stored, const QList<QRect> &screenRects, const QSize &minimum)
{
    const qint64 minWidth = std::clamp<qint64>(minimum.width(), 0, LargestWindowSize);
    const qint64 minHeight = std::clamp<qint64>(minimum.height(), 0, LargestWindowSize);
    Box window{stored.left, stored.top, std::max<qint64>(stored.width, minWidth),
               std::max<qint64>(stored.height, minHeight)};

    if (screenRects.isEmpty()) {
        window.width = std::min(window.width, LargestWindowSize);
        window.height = std::min(window.height, LargestWindowSize);
        window.left = std::clamp(window.left, -LargestWindowSize, LargestWindowSize);
        window.top = std::clamp(window.top, -LargestWindowSize, LargestWindowSize);
        return QRect(int(window.left), int(window.top), int(window.width), int(window.height));
    }

    QList<Box> screens;
    for (const QRect &rect : screenRects)
        screens.append(boxOf(rect));
    const Box screen = screens[chooseScreen(window, screens)];

    const qint64 width = std::max(minWidth, std::min(window.width, screen.width));
    const qint64 height = std::max(minHeight, std::min(window.height, screen.height));
    const bool shrunk = width < window.width || height < window.height;
    window.width = width;
    window.height = height;

    if (shrunk || !topEdgeReachable(window, screens)) {
        window.left = placed(window.left, screen.left, screen.right() - window.width);
        window.top = placed(window.top, screen.top, screen.bottom() - window.height);
    }
    return QRect(int(window.left), int(window.top), int(window.width), int(window.height));
}

void ApplyWindowPlacement(PlacedWindow &window, const QString &position, int stateCode)
{
    static const StoredGeometry defaultGeometry = *parseWindowPosition(SettingsKeys::WindowPosition.defaultText);
    const StoredGeometry stored = parseWindowPosition(position).value_or(defaultGeometry);
    window.setPlacementGeometry(fitWindowGeometry(stored, window.placementScreens(), window.placementMinimumSize()));
    if (stateCode == 2)
        window.postMinimize();
    else if (stateCode == 3)
        window.maximize();
}

void CaptureWindowPlacement(const PlacedWindow &window, ProgramSettings &settings)
{
    switch (window.placementState()) {
    case PlacedWindow::State::Normal:
        settings.WindowState = 1;
        settings.WindowPosition = formatWindowPosition(window.placementGeometry());
        break;
    case PlacedWindow::State::Minimized:
        settings.WindowState = 2;
        break;
    case PlacedWindow::State::Maximized:
        settings.WindowState = 3;
        break;
    }
}
