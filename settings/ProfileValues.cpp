#include "settings/ProfileValues.h"

#include "settings/ProfileFile.h"

#include <limits>

namespace {

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<int> parseProfileInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';

    int base = 10;
    if (text.mid(i).startsWith(u'$')) {
        base = 16;
        i += 1;
    } else if (text.mid(i).startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;

    // Hexadecimal covers the full 32 bits (so $FFFFFFFF is -1); decimal must fit.
    const qint64 limit = base == 16 ? qint64(std::numeric_limits<quint32>::max())
                                    : qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    if (base == 16)
        magnitude = static_cast<qint32>(static_cast<quint32>(magnitude));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int readProfileInteger(const ProfileDocument &document, QStringView section, QStringView key, int defaultValue)
{
    const auto text = document.value(section, key);
    if (!text)
        return defaultValue;
    return parseProfileInteger(*text).value_or(defaultValue);
}

bool readProfileBoolean(const ProfileDocument &document, QStringView section, QStringView key, bool defaultValue)
{
    return readProfileInteger(document, section, key, defaultValue ? 1 : 0) != 0;
}

QString profileBoolean(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<QList<int>> parseIntegerFields(QStringView text, int count, QString &badPart)
{
    QList<int> values;
    QStringView rest = text;
    for (int n = 0; n < count; ++n) {
        QStringView part = rest;
        if (n < count - 1) {
            const qsizetype comma = rest.indexOf(u',');
            part = comma < 0 ? QStringView() : rest.left(comma);
            rest = comma < 0 ? QStringView() : rest.mid(comma + 1);
        }
        const auto value = parseProfileInteger(part);
        if (!value) {
            badPart = part.toString();
            return std::nullopt;
        }
        values.append(*value);
    }
    return values;
}

QString invalidIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QStringList readNumberedList(const ProfileDocument &document, QStringView section)
{
    QStringList items;
    for (const QString &value : document.listValues(section)) {
        if (!value.isEmpty())
            items.append(value);
    }
    return items;
}

namespace {

QList<ProfileDocument::Entry> numbered(QStringView prefix, const QStringList &items)
{
    QList<ProfileDocument::Entry> entries;
    for (qsizetype n = 0; n < items.size(); ++n)
        entries.append({prefix.toString() + QString::number(n), items[n]});
    return entries;
}

} // namespace

void writeNumberedList(ProfileFile &file, QStringView section, QStringView prefix, const QStringList &items)
{
    for (const auto &[key, value] : numbered(prefix, items))
        file.writeString(section, key, value);
}

void replaceNumberedList(ProfileFile &file, QStringView section, QStringView prefix, const QStringList &items)
{
    file.writeSection(section, numbered(prefix, items));
}
