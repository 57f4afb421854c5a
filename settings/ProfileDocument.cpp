#include "ProfileDocument.h"

#include "SettingsError.h"

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

QString limited(const QString &value)
{
    qsizetype length = ProfileDocument::MaxValueLength;
    if (value.size() <= length)
        return value;
    // Never cut a character in half.
    if (value[length - 1].isHighSurrogate())
        --length;
    return value.left(length);
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

ProfileDocument::Line ProfileDocument::parseLine(QString text)
{
    while (text.endsWith(u'\r'))
        text.chop(1);
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
    return line;
}

ProfileDocument ProfileDocument::fromBytes(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    while (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    const QString text = QString::fromUtf8(view);

    ProfileDocument document;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        document.m_lines.append(parseLine(text.mid(start, end - start)));
        start = end + 1;
    }
    return document;
}

QByteArray ProfileDocument::toBytes() const
{
    QString text;
    for (const Line &line : m_lines) {
        text += line.text;
        text += u'\n';
    }
    return text.toUtf8();
}

qsizetype ProfileDocument::sectionEnd(qsizetype header) const
{
    qsizetype end = header + 1;
    while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
        ++end;
    return end;
}

std::optional<QPair<qsizetype, qsizetype>> ProfileDocument::sectionRange(QStringView section) const
{
    const QString name = trimBlanks(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, name))
            return qMakePair(i, sectionEnd(i));
    }
    return std::nullopt;
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const
{
    const auto range = sectionRange(section);
    if (!range)
        return std::nullopt;
    const QString name = trimBlanks(key);
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, name))
            return limited(m_lines[i].value);
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
    const auto range = sectionRange(section);
    if (!range)
        return result;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Key)
            continue;
        const bool seen = std::any_of(result.cbegin(), result.cend(),
                                      [&](const Entry &entry) { return sameName(entry.first, line.name); });
        if (!seen)
            result.append({line.name, limited(line.value)});
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

void ProfileDocument::writeString(QStringView section, QStringView key, const QString &value)
{
    const QString sectionName = checkedName(section, false);
    const QString keyName = checkedName(key, true);
    Line line = parseLine(keyName + u'=' + encodeValue(value));

    const auto range = sectionRange(sectionName);
    if (!range) {
        if (!m_lines.isEmpty() && !trimBlanks(m_lines.back().text).isEmpty())
            m_lines.append(parseLine(QString()));
        m_lines.append(parseLine(u'[' + sectionName + u']'));
        m_lines.append(std::move(line));
        return;
    }
    qsizetype insertAt = range->first + 1;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, keyName)) {
            m_lines[i] = std::move(line);
            return;
        }
        // New keys go after the section's last non-blank line, so the blank
        // line that separates it from the next section stays in place.
        if (!trimBlanks(m_lines[i].text).isEmpty())
            insertAt = i + 1;
    }
    m_lines.insert(insertAt, std::move(line));
}

void ProfileDocument::eraseSection(QStringView section)
{
    const QString name = trimBlanks(section);
    bool erased = false;
    for (qsizetype i = 0; i < m_lines.size();) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, name)) {
            m_lines.remove(i, sectionEnd(i) - i);
            erased = true;
        } else {
            ++i;
        }
    }
    // The blank line that stood before an erased last section is not left dangling.
    while (erased && !m_lines.isEmpty() && trimBlanks(m_lines.back().text).isEmpty())
        m_lines.removeLast();
}
