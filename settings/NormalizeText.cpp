#include "settings/NormalizeText.h"

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
    for (QChar &c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    if (!out.isEmpty() && out[0] >= u'a' && out[0] <= u'z')
        out[0] = QChar(out[0].unicode() - 32);
    return out;
}
