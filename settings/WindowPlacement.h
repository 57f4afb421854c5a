#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>
#include <optional>

struct ProgramSettings;

// The main window as window placement sees it; the main window implements it.
class PlacedWindow
{
public:
    enum class State { Normal, Minimized, Maximized };

    virtual ~PlacedWindow() = default;

    virtual void setPlacementGeometry(const QRect &geometry) = 0;
    virtual QRect placementGeometry() const = 0;
    virtual State placementState() const = 0;
    // Takes effect once the event loop runs.
    virtual void postMinimize() = 0;
    virtual void maximize() = 0;
    // The available area of each screen (without task bars and docks), the
    // primary screen first.
    virtual QList<QRect> placementScreens() const = 0;
    // The smallest size at which the window still shows all it holds.
    virtual QSize placementMinimumSize() const = 0;
};

// The four numbers of a stored window position as they stand. Kept apart from
// QRect because left + width of a hand-edited file need not fit an int.
struct StoredGeometry
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const StoredGeometry &) const = default;
};

// "left,top,width,height"; nullopt when the text is not four integers
// separated by commas. badPart, when given, receives the part that is not one.
std::optional<StoredGeometry> parseWindowPosition(QStringView text, QString *badPart = nullptr);
QString formatWindowPosition(const QRect &geometry);
// "left,top".
std::optional<QPoint> parseFindPosition(QStringView text, QString *badPart = nullptr);
QString formatFindPosition(const QPoint &position);

// Makes a stored position usable on the screens there are (their available
// areas, the primary first):
// - the screen is the one the window covers most, else the nearest one;
// - the size is no larger than that screen's area and no smaller than
//   `minimum` (the minimum wins on a screen smaller than it);
// - a window that had to shrink, or whose top edge (title bar and menu) is not
//   reachable on any screen, moves the least distance that puts it wholly on
//   that screen. Anything else keeps its position, even partly off screen.
// With no screens only the minimum and the largest size a window can have apply.
QRect fitWindowGeometry(const StoredGeometry &stored, const QList<QRect> &screens, const QSize &minimum);

// Places the window at the position, fitted to its screens, and applies the
// state code: 2 minimises once the event loop runs, 3 maximises now, anything
// else leaves it normal. A position that cannot be read places the window at
// the default position.
void ApplyWindowPlacement(PlacedWindow &window, const QString &position, int stateCode);
// Takes the state code and, in the normal state only, the position.
void CaptureWindowPlacement(const PlacedWindow &window, ProgramSettings &settings);
