#pragma once

// The Paradox tables in tests/data/paradox (see its README for what they hold) and the
// ways the tests look at what the reader makes of them.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>

namespace paradox {

inline QString dataDir(const QString &sub = {})
{
    const QString root = QStringLiteral(MOX_TEST_DATA "/paradox");
    return sub.isEmpty() ? root : root + u'/' + sub;
}

inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

// Copies the files of tests/data/paradox/<sub> into `folder`, writable.
inline void copyTable(const QString &sub, const QString &folder)
{
    QDir().mkpath(folder);
    const QDir from(dataDir(sub));
    for (const QString &name : from.entryList(QDir::Files)) {
        QFile out(folder + u'/' + name);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytesOf(from.filePath(name))) < 0)
            qFatal("cannot copy %s", qPrintable(name));
    }
}

inline quint32 fnv1a(const QByteArray &bytes)
{
    quint32 h = 0x811C9DC5u;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x01000193u;
    }
    return h;
}

// Windows 1252 bytes of a text read from the table: the bytes the file holds, so the
// hashes of the README apply.
inline QByteArray cp1252(const QString &text)
{
    static const std::array<char16_t, 32> high = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            out += char(u);
            continue;
        }
        int i = 0;
        while (i < 32 && high[size_t(i)] != u)
            ++i;
        out += i < 32 ? char(0x80 + i) : '?';
    }
    return out;
}

inline QString blobText(const QByteArray &bytes)
{
    return QStringLiteral("%1:%2").arg(bytes.size()).arg(fnv1a(bytes), 8, 16, QLatin1Char('0'));
}

// A value as the README's canonical dump writes it.
inline QString dumpValue(const QVariant &v, bool blob)
{
    if (v.isNull())
        return QStringLiteral("\\N");
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("t") : QStringLiteral("f");
    if (v.typeId() == QMetaType::QByteArray)
        return blobText(v.toByteArray());
    return blob ? blobText(cp1252(v.toString())) : v.toString();
}

// The README's dump of small/CONTENTS.DB, in the table's field order.
inline const QStringList &smallDump()
{
    static const QStringList lines = {
        QStringLiteral("Main Archive|Alpha Suite|Application|t|f|\\N|t|Active|t|Imported from v1 catalogue|825:b6ffd877|\\N|\\N|\\N"),
        QStringLiteral("Main Archive|Alpha Suite|Component|f|t|f|\\N|Active|f|\\N|70:b47fa898|34:4268b835|3126:59ecdbe5|3126:2c6ad3e5"),
        QStringLiteral("Main Archive|Café tools|Application|\\N|\\N|\\N|\\N|Retired|\\N|Zürich office|74:aac63e88|\\N|\\N|\\N"),
        QStringLiteral("Main Archive|Café tools|Component|t|t|t|f|Draft|t|\\N|\\N|1:dc0c1c94|3126:8ce1d5e5|3126:53250895"),
        QStringLiteral("Second Archive|Zeta|Documentation|f|f|f|f|\\N|f|Donation 2003|\\N|39:883483aa|\\N|\\N"),
    };
    return lines;
}

} // namespace paradox
