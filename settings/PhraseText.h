#pragma once

#include <QString>
#include <QStringList>

class PhraseList;

// The standard phrases as the phrases dialog shows them: one phrase a line.
QString phrasesAsText(const PhraseList &phrases);

// Every line of the text that holds anything, top to bottom. A line of blanks is
// a phrase; empty lines are dropped. Any line break counts, and a carriage return
// left at a line's end by pasted text is not part of the phrase.
QStringList phraseLines(const QString &text);

// Empties the list and adds the lines in order: the list sorts them and drops
// repeats that differ only in case, the first spelling kept.
void replacePhrases(PhraseList &phrases, const QStringList &lines);
