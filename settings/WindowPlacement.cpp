#include "WindowPlacement.h"

#include "ProfileValues.h"
#include "ProgramSettings.h"

namespace {

std::optional<QList<int>> parseFields(QStringView text, int count, QString *badPart)
{
    QString bad;
    auto values = parseIntegerFields(text, count, bad);
    if (!values && badPart)
        *badPart = bad;
    return values;
}

} // namespace

std::optional<QRect> parseWindowPosition(QStringView text, QString *badPart)
{
    const auto v = parseFields(text, 4, badPart);
    if (!v)
        return std::nullopt;
    return QRect(v->at(0), v->at(1), v->at(2), v->at(3));
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

void ApplyWindowPlacement(PlacedWindow &window, const QString &position, int stateCode)
{
    static const QRect defaultGeometry = *parseWindowPosition(QString::fromLatin1(DefaultWindowPosition));
    window.setPlacementGeometry(parseWindowPosition(position).value_or(defaultGeometry));
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
