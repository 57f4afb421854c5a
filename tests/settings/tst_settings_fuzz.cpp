// Random bytes fed to the reader, followed by random writes and erases: no
// crash, no hang, and the text stays consistent. The seed is fixed, so a
// failure repeats; MOX_FUZZ_SEED picks another one.

#include "settings/ProfileDocument.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const QStringList NamePool = {"A", "a", "View", "Phrases", "k", "K", "Key", "x y", "[", "]", "a]b", "\xC3\x84",
                              "\xC3\xA4", "=", ";", "\"q\""};

QString randomName(QRandomGenerator &random)
{
    return QString::fromUtf8(NamePool[random.bounded(NamePool.size())].toUtf8());
}

// Bytes weighted toward what the reader treats specially, now and then in
// UTF-16 of either byte order.
QByteArray randomBytes(QRandomGenerator &random)
{
    static const QByteArray special("[]=;\"\r\n \t\xEF\xBB\xBF\x80\x81\xE9" "AaKk");
    QByteArray bytes(random.bounded(2048), '\0');
    for (char &c : bytes)
        c = random.bounded(3) ? special[random.bounded(special.size())] : char(random.bounded(256));
    switch (random.bounded(8)) {
    case 0: {
        QByteArray wide("\xFF\xFE");
        for (char c : bytes)
            wide += QByteArray(1, c) + QByteArray(1, random.bounded(6) ? '\0' : char(random.bounded(256)));
        return wide;
    }
    case 1: {
        QByteArray wide("\xFE\xFF");
        for (char c : bytes)
            wide += QByteArray(1, random.bounded(6) ? '\0' : char(random.bounded(256))) + QByteArray(1, c);
        return wide + QByteArray(random.bounded(2), 'x');
    }
    default:
        return bytes;
    }
}

// The document means the same after a write to disk and a read back.
bool sameMeaning(const ProfileDocument &a, const ProfileDocument &b)
{
    for (const QString &section : NamePool) {
        if (a.entries(section) != b.entries(section) || a.listValues(section) != b.listValues(section))
            return false;
    }
    return true;
}

QString randomValue(QRandomGenerator &random)
{
    static const QString pieces[] = {" ", "\t", "\"", "=", ";", "[", "]", "\r", "\n", "x", "\u00C4", "\u20AC",
                                     "\U0001F600", "abc"};
    QString value;
    const int count = random.bounded(random.bounded(20) ? 8 : 600);
    for (int i = 0; i < count; ++i)
        value += pieces[random.bounded(int(std::size(pieces)))];
    return value;
}

QString stored(QString value)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    return value;
}

bool validName(const QString &name, bool isKey)
{
    const QString t = name.trimmed();
    if (t.isEmpty())
        return false;
    return !isKey || (!t.contains(u'=') && !t.startsWith(u';') && !t.startsWith(u'['));
}

} // namespace

class TstSettingsFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomInputNeverBreaksTheReader()
    {
        const quint32 seed = qEnvironmentVariableIsSet("MOX_FUZZ_SEED") ? qEnvironmentVariableIntValue("MOX_FUZZ_SEED")
                                                                         : 0x5EED;
        QRandomGenerator random(seed);
        for (int round = 0; round < 10000; ++round) {
            const QByteArray input = randomBytes(random);
            ProfileDocument doc = ProfileDocument::fromBytes(input);

            // Reading back what was written gives the same meaning and the same text.
            const QByteArray once = doc.toBytes();
            const ProfileDocument reread = ProfileDocument::fromBytes(once);
            QCOMPARE(reread.toBytes(), once);
            for (const QString &section : NamePool) {
                QCOMPARE(reread.entries(section), doc.entries(section));
                for (const auto &[key, value] : doc.entries(section))
                    QCOMPARE(doc.value(section, key), std::optional<QString>(value));
            }

            for (int step = 0; step < 8; ++step) {
                const QString section = randomName(random);
                if (random.bounded(4) == 0) {
                    doc.eraseSection(section);
                    QVERIFY(doc.keyNames(section).isEmpty());
                    QVERIFY(sameMeaning(doc, ProfileDocument::fromBytes(doc.toBytes())));
                    continue;
                }
                if (random.bounded(4) == 0 && validName(section, false)) {
                    QList<ProfileDocument::Entry> list;
                    for (int n = random.bounded(4); n > 0; --n)
                        list.append({QStringLiteral("L%1").arg(n), randomValue(random)});
                    doc.writeSection(section, list);
                    QCOMPARE(doc.keyNames(section).size(), list.size());
                    QVERIFY(sameMeaning(doc, ProfileDocument::fromBytes(doc.toBytes())));
                    continue;
                }
                const QString key = randomName(random);
                if (!validName(section, false) || !validName(key, true))
                    continue;
                const QString value = randomValue(random);
                const QStringList namesBefore = doc.keyNames(section);
                doc.writeString(section, key, value);
                QCOMPARE(doc.value(section, key), std::optional<QString>(stored(value)));
                const auto after = ProfileDocument::fromBytes(doc.toBytes());
                QCOMPARE(after.value(section, key), std::optional<QString>(stored(value)));
                QVERIFY(sameMeaning(doc, after));
                QVERIFY(after.keyNames(section).size() - namesBefore.size() <= 1);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TstSettingsFuzz)
#include "tst_settings_fuzz.moc"
