#pragma once

#include "settings/ProfileEncoding.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The text of an INI-style profile file, held line by line so that a change
// rewrites only the lines it concerns: every other line is written back byte
// for byte, line ending included.
//
// Reading is tolerant: blank lines, comment lines (";"), blanks around names
// and values, any line endings, lines without "=", a repeated key (the first
// one counts), a section that stands more than once (its copies read as one,
// in file order), keys before any section and byte order marks are all
// accepted. Section and key names match without regard to case.
//
// The encoding is that of the file: UTF-16 or UTF-8 as a byte order mark
// says, else UTF-8 when the bytes are valid UTF-8, else Windows-1252. The
// file is written back in the same encoding, byte order marks kept, unless
// what the program wrote cannot be held in it; it is then written in UTF-8.
//
// Values are stored as text. A value with blanks at either end, or one that
// is itself wrapped in double quotes, is written inside double quotes and
// unwrapped on reading, so every value reads back exactly as written. Line
// breaks inside a value cannot be stored and are written as blanks.
//
// A line the program adds ends as the file's first line does (LF in a new
// file); a line it rewrites keeps its own ending. A new section is appended
// at the end after one blank line.
class ProfileDocument
{
public:

    using Entry = QPair<QString, QString>;

    static ProfileDocument fromBytes(const QByteArray &bytes);

    // The file's bytes. `utf8Instead` is empty when they are in the encoding
    // the file was read in, and otherwise says why they are in UTF-8.
    struct Encoded
    {
        QByteArray bytes;
        QString utf8Instead;
    };
    Encoded encode() const;
    QByteArray toBytes() const { return encode().bytes; }
    ProfileEncoding encoding() const { return m_encoding; }

    // The value of a key, nullopt when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    QString readString(QStringView section, QStringView key, const QString &defaultValue = {}) const;

    // Every key of a section with its value, in file order, each name once.
    QList<Entry> entries(QStringView section) const;
    QStringList keyNames(QStringView section) const;
    // The value of every key line of a section, in file order, whatever the
    // key's name and even when the name repeats: a numbered list.
    QStringList listValues(QStringView section) const;

    // Replaces the key's value in place, or adds the key at the end of its
    // section, or adds the section at the end of the text. A section that
    // stands more than once becomes one first, at the place of the first.
    // Throws SettingsError for a name that cannot be stored.
    void writeString(QStringView section, QStringView key, const QString &value);
    // Replaces every key of the section with these, in this order, where the
    // section's first copy stands; with none, the section is removed.
    void writeSection(QStringView section, const QList<Entry> &entries);
    // Removes every section of that name with all of its lines.
    void eraseSection(QStringView section);

private:
    enum class Kind { Other, Section, Key };
    struct Line
    {
        QString text;    // without its line ending
        QString ending;  // "\n", "\r\n", ...; empty on a last line without one
        QByteArray raw;  // the bytes as read, ending included; empty once the program wrote the line
        Kind kind = Kind::Other;
        QString name;    // section or key name, trimmed
        QString value;   // a key's value as read
    };
    using Range = QPair<qsizetype, qsizetype>;

    static Line parseLine(QString text, QString ending);
    Line newLine(const QString &text) const;
    // [begin, end) of each copy of the section, in file order; begin is the header.
    QList<Range> sectionRanges(QStringView section) const;
    qsizetype sectionEnd(qsizetype header) const;
    // Past the last line of the section that is not blank.
    qsizetype contentEnd(const Range &range) const;
    std::optional<Range> mergeSection(const QString &name);
    void appendSection(const QString &name, QList<Line> lines);
    void removeRange(const Range &range);
    std::optional<QByteArray> encodeLines(ProfileEncoding encoding, bool keepRaw, QString *unwritable,
                                          qsizetype *unwritableLine) const;
    QString describeUnwritable(const QString &character, qsizetype line) const;

    QList<Line> m_lines;
    ProfileEncoding m_encoding = ProfileEncoding::Utf8;
    QByteArray m_marks;                          // byte order marks as read, written again in front
    QString m_newline = QStringLiteral("\n");    // ends each line the program adds
};
