#include "settings/ProfileDocument.h"

#include "settings/SettingsError.h"

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r';
}

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

bool isQuoted(QStringView text)
{
    return text.size() >= 2 && text.front() == u'"' && text.back() == u'"';
}

QString decodeValue(QStringView raw)
{
    QString value = trimBlanks(raw);
    if (isQuoted(value))
        value = value.mid(1, value.size() - 2);
    return value;
}

QString encodeValue(const QString &value)
{
    QString text = value;
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    if (text.isEmpty())
        return text;
    if (isBlank(text.front()) || isBlank(text.back()) || isQuoted(text))
        return u'"' + text + u'"';
    return text;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString checkedName(QStringView name, bool isKey)
{
    const QString trimmed = trimBlanks(name);
    bool ok = !trimmed.isEmpty() && !trimmed.contains(u'\n') && !trimmed.contains(u'\r');
    if (isKey)
        ok = ok && !trimmed.contains(u'=') && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[');
    if (!ok)
        throw SettingsError(QStringLiteral("'%1' is not a valid %2 name")
                                .arg(name, isKey ? QStringLiteral("key") : QStringLiteral("section")));
    return trimmed;
}

} // namespace

ProfileDocument::Line ProfileDocument::parseLine(QString text, QString ending)
{
    Line line;
    const QString trimmed = trimBlanks(text);
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.lastIndexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimBlanks(QStringView(trimmed).mid(1, close - 1));
        }
    } else if (!trimmed.startsWith(u';')) {
        const qsizetype equals = trimmed.indexOf(u'=');
        if (equals > 0) {
            line.kind = Kind::Key;
            line.name = trimBlanks(QStringView(trimmed).left(equals));
            line.value = decodeValue(QStringView(trimmed).mid(equals + 1));
        }
    }
    line.text = std::move(text);
    line.ending = std::move(ending);
    return line;
}

ProfileDocument::Line ProfileDocument::newLine(const QString &text) const
{
    return parseLine(text, m_newline);
}

ProfileDocument ProfileDocument::fromBytes(const QByteArray &bytes)
{
    ProfileDocument document;
    qsizetype marks = 0;
    document.m_encoding = detectEncoding(bytes, marks);
    document.m_marks = bytes.left(marks);
    bool newlineFound = false;
    for (QByteArrayView raw : splitLines(document.m_encoding, QByteArrayView(bytes).sliced(marks))) {
        const QString decoded = decodeText(document.m_encoding, raw);
        qsizetype cut = decoded.size();
        if (cut > 0 && decoded[cut - 1] == u'\n')
            --cut;
        while (cut > 0 && decoded[cut - 1] == u'\r')
            --cut;
        Line line = parseLine(decoded.left(cut), decoded.mid(cut));
        line.raw = raw.toByteArray();
        // Lines the program adds end as the file's first line does.
        if (!newlineFound && line.ending.endsWith(u'\n')) {
            document.m_newline = line.ending.endsWith(u"\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
            newlineFound = true;
        }
        document.m_lines.append(std::move(line));
    }
    return document;
}

std::optional<QByteArray> ProfileDocument::encodeLines(ProfileEncoding encoding, bool keepRaw, QString *unwritable,
                                                       qsizetype *unwritableLine) const
{
    const bool wide = encoding == ProfileEncoding::Utf16LE || encoding == ProfileEncoding::Utf16BE;
    QByteArray bytes;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        // A line that lost its place at the end gets the line break it lacks.
        const bool needsBreak = i + 1 < m_lines.size() && !line.ending.endsWith(u'\n');
        // An odd byte at the end of a UTF-16 file cannot stand before more text.
        const bool keep = keepRaw && !line.raw.isEmpty() && !(needsBreak && wide && line.raw.size() % 2 != 0);
        const QString text = keep ? (needsBreak ? m_newline : QString())
                                  : line.text + line.ending + (needsBreak ? m_newline : QString());
        const auto encoded = encodeText(encoding, text, unwritable);
        if (!encoded) {
            *unwritableLine = i;
            return std::nullopt;
        }
        if (keep)
            bytes += line.raw;
        bytes += *encoded;
    }
    return bytes;
}

QString ProfileDocument::describeUnwritable(const QString &character, qsizetype line) const
{
    QString section;
    for (qsizetype i = line; i >= 0; --i) {
        if (m_lines[i].kind == Kind::Section) {
            section = m_lines[i].name;
            break;
        }
    }
    QString where;
    if (m_lines[line].kind == Kind::Key)
        where = QStringLiteral(" (key %1 in section [%2])").arg(m_lines[line].name, section);
    else if (m_lines[line].kind == Kind::Section)
        where = QStringLiteral(" (section [%1])").arg(section);
    return QStringLiteral("\"%1\"%2 cannot be written in %3, the encoding it was read in")
        .arg(character, where, encodingName(m_encoding));
}

ProfileDocument::Encoded ProfileDocument::encode() const
{
    QString unwritable;
    qsizetype unwritableLine = -1;
    const auto own = encodeLines(m_encoding, true, &unwritable, &unwritableLine);
    QString reason;
    if (!own) {
        reason = describeUnwritable(unwritable, unwritableLine);
    } else {
        // Once the lines that made the file Windows-1252 are gone, what is
        // left may be valid UTF-8, and would be read as such next time.
        qsizetype marks = 0;
        const bool ascii = std::all_of(own->cbegin(), own->cend(), [](char c) { return uchar(c) < 0x80; });
        if (m_encoding != ProfileEncoding::Windows1252 || ascii
            || detectEncoding(*own, marks) == ProfileEncoding::Windows1252)
            return {m_marks + *own, {}};
        reason = QStringLiteral("in %1, the encoding it was read in, its text would read back as UTF-8")
                     .arg(encodingName(m_encoding));
    }
    // UTF-8 holds every character, so this cannot fail.
    return {encodeLines(ProfileEncoding::Utf8, false, &unwritable, &unwritableLine).value_or(QByteArray()), reason};
}

qsizetype ProfileDocument::sectionEnd(qsizetype header) const
{
    qsizetype end = header + 1;
    while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
        ++end;
    return end;
}

QList<ProfileDocument::Range> ProfileDocument::sectionRanges(QStringView section) const
{
    QList<Range> ranges;
    const QString name = trimBlanks(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, name))
            ranges.append(qMakePair(i, sectionEnd(i)));
    }
    return ranges;
}

qsizetype ProfileDocument::contentEnd(const Range &range) const
{
    qsizetype end = range.second;
    while (end > range.first + 1 && trimBlanks(m_lines[end - 1].text).isEmpty())
        --end;
    return end;
}

void ProfileDocument::removeRange(const Range &range)
{
    const bool atEnd = range.second == m_lines.size();
    m_lines.remove(range.first, range.second - range.first);
    // The blank line that stood before a removed last section is not left dangling.
    while (atEnd && !m_lines.isEmpty() && trimBlanks(m_lines.back().text).isEmpty())
        m_lines.removeLast();
}

std::optional<ProfileDocument::Range> ProfileDocument::mergeSection(const QString &name)
{
    const QList<Range> ranges = sectionRanges(name);
    if (ranges.isEmpty())
        return std::nullopt;
    // The later copies' lines move, in their order, to the end of the first
    // copy, where their keys still come after the first copy's own.
    QList<Line> moved;
    for (qsizetype k = ranges.size() - 1; k >= 1; --k) {
        moved = m_lines.mid(ranges[k].first + 1, contentEnd(ranges[k]) - ranges[k].first - 1) + moved;
        removeRange(ranges[k]);
    }
    const qsizetype header = ranges.first().first;
    const qsizetype at = contentEnd({header, sectionEnd(header)});
    for (qsizetype i = 0; i < moved.size(); ++i)
        m_lines.insert(at + i, std::move(moved[i]));
    return qMakePair(header, sectionEnd(header));
}

void ProfileDocument::appendSection(const QString &name, QList<Line> lines)
{
    if (!m_lines.isEmpty() && !trimBlanks(m_lines.back().text).isEmpty())
        m_lines.append(newLine(QString()));
    m_lines.append(newLine(u'[' + name + u']'));
    m_lines.append(std::move(lines));
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const
{
    const QString name = trimBlanks(key);
    for (const Range &range : sectionRanges(section)) {
        for (qsizetype i = range.first + 1; i < range.second; ++i) {
            if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, name))
                return m_lines[i].value;
        }
    }
    return std::nullopt;
}

QString ProfileDocument::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

QList<ProfileDocument::Entry> ProfileDocument::entries(QStringView section) const
{
    QList<Entry> result;
    for (const Range &range : sectionRanges(section)) {
        for (qsizetype i = range.first + 1; i < range.second; ++i) {
            const Line &line = m_lines[i];
            if (line.kind != Kind::Key)
                continue;
            const bool seen = std::any_of(result.cbegin(), result.cend(),
                                          [&](const Entry &entry) { return sameName(entry.first, line.name); });
            if (!seen)
                result.append({line.name, line.value});
        }
    }
    return result;
}

QStringList ProfileDocument::keyNames(QStringView section) const
{
    QStringList names;
    for (const Entry &entry : entries(section))
        names.append(entry.first);
    return names;
}

QStringList ProfileDocument::listValues(QStringView section) const
{
    QStringList values;
    for (const Range &range : sectionRanges(section)) {
        for (qsizetype i = range.first + 1; i < range.second; ++i) {
            if (m_lines[i].kind == Kind::Key)
                values.append(m_lines[i].value);
        }
    }
    return values;
}

void ProfileDocument::writeString(QStringView section, QStringView key, const QString &value)
{
    const QString sectionName = checkedName(section, false);
    const QString keyName = checkedName(key, true);
    Line line = newLine(keyName + u'=' + encodeValue(value));

    const auto range = mergeSection(sectionName);
    if (!range) {
        appendSection(sectionName, {std::move(line)});
        return;
    }
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, keyName)) {
            // The line keeps its own line ending.
            if (m_lines[i].ending.endsWith(u'\n'))
                line.ending = m_lines[i].ending;
            m_lines[i] = std::move(line);
            return;
        }
    }
    // New keys go after the section's last non-blank line, so the blank line
    // that separates it from the next section stays in place.
    m_lines.insert(contentEnd(*range), std::move(line));
}

void ProfileDocument::writeSection(QStringView section, const QList<Entry> &entries)
{
    const QString sectionName = checkedName(section, false);
    QList<Line> lines;
    for (const Entry &entry : entries)
        lines.append(newLine(checkedName(entry.first, true) + u'=' + encodeValue(entry.second)));
    if (lines.isEmpty()) {
        eraseSection(sectionName);
        return;
    }
    const auto range = mergeSection(sectionName);
    if (!range) {
        appendSection(sectionName, std::move(lines));
        return;
    }
    const qsizetype begin = range->first + 1;
    m_lines.remove(begin, contentEnd(*range) - begin);
    for (qsizetype i = 0; i < lines.size(); ++i)
        m_lines.insert(begin + i, std::move(lines[i]));
}

void ProfileDocument::eraseSection(QStringView section)
{
    const QList<Range> ranges = sectionRanges(section);
    for (auto it = ranges.crbegin(); it != ranges.crend(); ++it)
        removeRange(*it);
}
