#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The text of an INI-style profile file, held line by line so that a change
// rewrites only the line it concerns.
//
// Reading is tolerant: blank lines, comment lines (";"), blanks around names
// and values, CRLF or LF, lines without "=", a repeated key (the first one
// counts), a repeated section (the first one counts), keys before any section
// and a leading UTF-8 byte order mark are all accepted. Section and key names
// match without regard to case.
//
// Values are stored as text. A value with blanks at either end, or one that
// is itself wrapped in double quotes, is written inside double quotes and
// unwrapped on reading, so every value reads back exactly as written. Line
// breaks inside a value cannot be stored and are written as blanks.
//
// The written form is UTF-8 without a byte order mark, every line ending in
// LF; a new section is appended at the end after one blank line.
class ProfileDocument
{
public:
    // The most characters that a read of one value returns.
    static constexpr qsizetype MaxValueLength = 1023;

    using Entry = QPair<QString, QString>;

    static ProfileDocument fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    // The value of a key, nullopt when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    QString readString(QStringView section, QStringView key, const QString &defaultValue = {}) const;

    // Every key of a section with its value, in file order, each name once.
    QList<Entry> entries(QStringView section) const;
    QStringList keyNames(QStringView section) const;

    // Replaces the key's value in place, or adds the key at the end of its
    // section, or adds the section at the end of the text. Throws
    // SettingsError for a name that cannot be stored.
    void writeString(QStringView section, QStringView key, const QString &value);
    // Removes every section of that name with all of its lines.
    void eraseSection(QStringView section);

private:
    enum class Kind { Other, Section, Key };
    struct Line
    {
        QString text;
        Kind kind = Kind::Other;
        QString name;   // section or key name, trimmed
        QString value;  // a key's value as read
    };

    static Line parseLine(QString text);
    // [begin, end) of the first section of that name; begin is the header.
    std::optional<QPair<qsizetype, qsizetype>> sectionRange(QStringView section) const;
    qsizetype sectionEnd(qsizetype header) const;

    QList<Line> m_lines;
};
