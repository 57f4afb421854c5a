#include "settings/NormalizeText.h"

#include "text/AsciiCase.h"

QString TrimControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

QString NormalizeText(const QString &text)
{
    QString out = TrimControls(text);
    for (QChar &c : out)
        c = QChar(AsciiCase::toLower(c.unicode()));
    if (!out.isEmpty())
        out[0] = QChar(AsciiCase::toUpper(out[0].unicode()));
    return out;
}
