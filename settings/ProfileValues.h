#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

class ProfileDocument;
class ProfileFile;

// Integer text as the settings file holds it: blanks in front are skipped,
// an optional sign, then decimal digits or hexadecimal digits after "0x",
// "0X" or "$". Anything else, or a number out of range, is not an integer.
std::optional<int> parseProfileInteger(QStringView text);

// A boolean or integer key; a missing key or a value that is not an integer
// yields the default. Any integer other than 0 is true.
int readProfileInteger(const ProfileDocument &document, QStringView section, QStringView key, int defaultValue);
bool readProfileBoolean(const ProfileDocument &document, QStringView section, QStringView key, bool defaultValue);
QString profileBoolean(bool value);

// Splits text at its commas into `count` integers: each is the text before
// the next comma, the last one the rest of the text. On failure returns
// nullopt and sets `badPart` to the part that is not an integer.
std::optional<QList<int>> parseIntegerFields(QStringView text, int count, QString &badPart);
QString invalidIntegerMessage(const QString &text);

// Numbered lists: every key of every copy of the section contributes its
// value, in file order, whatever its name; an empty value contributes nothing.
QStringList readNumberedList(const ProfileDocument &document, QStringView section);
// Writes the items as prefix + position (from 0) in their order; keys past
// the end of the list keep their values.
void writeNumberedList(ProfileFile &file, QStringView section, QStringView prefix, const QStringList &items);
// The same, in place of everything the section held; an empty list removes it.
void replaceNumberedList(ProfileFile &file, QStringView section, QStringView prefix, const QStringList &items);
