#pragma once

#include <QString>
#include <QStringView>
#include <string_view>

// The search's match rule: only the letters A to Z are folded to lower case; every
// other character compares as it is.
namespace TextMatch {

QString asciiLower(QStringView text);
// True when `loweredNeedle` (already passed through asciiLower) occurs in `text`
// as one unbroken piece, after folding `text` the same way.
bool containsFolded(QStringView text, QStringView loweredNeedle);
// The same on UTF-8 bytes, as the catalogue stores its texts. No byte of a multi-byte
// character is a letter A to Z, so on valid UTF-8 it answers as the rule on characters.
bool containsFoldedUtf8(std::string_view text, std::string_view loweredNeedle);

} // namespace TextMatch
