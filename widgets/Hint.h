#pragma once

#include <QString>

// A hint "Short|Long": the short part is the tool tip, the long part goes to the
// status bar. A hint without a bar is both; one that begins with the bar has no
// tool tip.
namespace Hint {

inline QString shortPart(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

inline QString longPart(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

} // namespace Hint
