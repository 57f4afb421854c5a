#pragma once

#include <QString>
#include <QStringView>

// The search's match rule: only the letters A to Z are folded to lower case; every
// other character compares as it is.
namespace TextMatch {

QString asciiLower(QStringView text);
// True when `loweredNeedle` (already passed through asciiLower) occurs in `text`
// as one unbroken piece, after folding `text` the same way.
bool containsFolded(QStringView text, QStringView loweredNeedle);

} // namespace TextMatch
