#include "settings/PhraseText.h"

#include "settings/SortedTextList.h"

QString phrasesAsText(const PhraseList &phrases)
{
    return phrases.items().join(u'\n');
}

QStringList phraseLines(const QString &text)
{
    QString lines = text;
    lines.replace(QChar::ParagraphSeparator, u'\n');
    lines.replace(QChar::LineSeparator, u'\n');
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    QStringList phrases;
    for (const QString &line : lines.split(u'\n')) {
        if (!line.isEmpty())
            phrases << line;
    }
    return phrases;
}

void replacePhrases(PhraseList &phrases, const QStringList &lines)
{
    phrases.clear();
    for (const QString &line : lines)
        phrases.add(line);
}
