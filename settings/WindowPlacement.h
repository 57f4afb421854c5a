#pragma once

#include <QPoint>
#include <QRect>
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
};

inline constexpr auto DefaultWindowPosition = "0,0,640,480";
inline constexpr auto DefaultFindPosition = "0,0";

// "left,top,width,height"; nullopt when the text is not four integers
// separated by commas. badPart, when given, receives the part that is not one.
std::optional<QRect> parseWindowPosition(QStringView text, QString *badPart = nullptr);
QString formatWindowPosition(const QRect &geometry);
// "left,top".
std::optional<QPoint> parseFindPosition(QStringView text, QString *badPart = nullptr);
QString formatFindPosition(const QPoint &position);

// Places the window at the position and applies the state code: 2 minimises
// once the event loop runs, 3 maximises now, anything else leaves it normal.
// A position that cannot be read places the window at the default position.
void ApplyWindowPlacement(PlacedWindow &window, const QString &position, int stateCode);
// Takes the state code and, in the normal state only, the position.
void CaptureWindowPlacement(const PlacedWindow &window, ProgramSettings &settings);
