#include "catalogue/TextMatch.h"

#include "text/AsciiCase.h"

namespace TextMatch {

QString asciiLower(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QChar(AsciiCase::toLower(text[i].unicode()));
    return out;
}

bool containsFolded(QStringView text, QStringView loweredNeedle)
{
    const qsizetype n = loweredNeedle.size();
    if (n == 0)
        return true;
    const char16_t first = loweredNeedle[0].unicode();
    for (qsizetype i = 0; i + n <= text.size(); ++i) {
        if (AsciiCase::toLower(text[i].unicode()) != first)
            continue;
        qsizetype k = 1;
        while (k < n && AsciiCase::toLower(text[i + k].unicode()) == loweredNeedle[k].unicode())
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

bool containsFoldedUtf8(std::string_view text, std::string_view loweredNeedle)
{
    const size_t n = loweredNeedle.size();
    if (n == 0)
        return true;
    if (n > text.size())
        return false;
    const char first = loweredNeedle[0];
    for (size_t i = 0, last = text.size() - n; i <= last; ++i) {
        if (AsciiCase::toLower(text[i]) != first)
            continue;
        size_t k = 1;
        while (k < n && AsciiCase::toLower(text[i + k]) == loweredNeedle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

} // namespace TextMatch
