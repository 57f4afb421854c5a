// Thousands of damaged copies of the small Paradox table: cut at every length, bytes
// changed at random. Reading one either gives records or refuses it with an
// EngineError; it never crashes, hangs or reads outside the bytes (the sanitizer
// build checks the last).

#include "catalogue/EngineError.h"
#include "catalogue/paradox/ParadoxCatalogue.h"
#include "catalogue/paradox/ParadoxTable.h"
#include "tests/common/ParadoxFixture.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace paradox;

namespace {

enum class Outcome { Read, Refused };

// A copy that owns exactly `bytes.size()` bytes, so a read past them is one the
// sanitizer sees.
Outcome tryRead(const QByteArray &db, const QByteArray &mb)
{
    try {
        ParadoxTable table(std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.DB"), QByteArray(db.constData(), db.size())),
                           std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.MB"), QByteArray(mb.constData(), mb.size())));
        const ParadoxCatalogue::Layout layout = ParadoxCatalogue::match(table);
        table.readRecords([&](int, const ParadoxTable::Values &values) { ParadoxCatalogue::record(values, layout); });
        return Outcome::Read;
    } catch (const EngineError &e) {
        // A refusal says which file and why.
        if (!e.message().startsWith(QLatin1String("CONTENTS.")))
            qFatal("message without the file: %s", qPrintable(e.message()));
        return Outcome::Refused;
    }
}

// Where changes do most harm: the header and the records in the data file; the block
// headers, slot tables and image headers in the memo file.
struct Region {
    int from;
    int to;
};

} // namespace

class TstParadoxFuzz : public QObject
{
    Q_OBJECT

private:
    QByteArray m_db, m_mb;
    qint64 m_slowest = 0;

    void timed(const QByteArray &db, const QByteArray &mb, int *refused)
    {
        QElapsedTimer t;
        t.start();
        if (tryRead(db, mb) == Outcome::Refused)
            ++*refused;
        m_slowest = std::max(m_slowest, t.elapsed());
    }

private slots:
    void initTestCase()
    {
        m_db = bytesOf(dataDir(QStringLiteral("small/CONTENTS.DB")));
        m_mb = bytesOf(dataDir(QStringLiteral("small/CONTENTS.MB")));
        QCOMPARE(tryRead(m_db, m_mb), Outcome::Read);
    }

    void cutAtEveryLength_data()
    {
        QTest::addColumn<bool>("memoFile");
        QTest::newRow("data file") << false;
        QTest::newRow("memo file") << true;
    }

    void cutAtEveryLength()
    {
        QFETCH(bool, memoFile);
        const QByteArray &whole = memoFile ? m_mb : m_db;
        int refused = 0;
        for (int length = 0; length < whole.size(); ++length) {
            const QByteArray cut = whole.first(length);
            timed(memoFile ? m_db : cut, memoFile ? cut : m_mb, &refused);
        }
        // Every cut of the data file loses blocks the header counts; a memo file cut
        // before its last image loses that image.
        if (!memoFile)
            QCOMPARE(refused, whole.size());
        else
            QVERIFY(refused >= 0x5000 + 9 + 3126 + 8);
    }

    void changedBytes_data()
    {
        QTest::addColumn<bool>("memoFile");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("maxChanges");
        QTest::newRow("data header") << false << 0 << 0x250 << 3;
        QTest::newRow("data records") << false << 0x800 << 0x800 + 6 + 5 * 192 << 4;
        QTest::newRow("data anywhere") << false << 0 << 0x4800 << 16;
        QTest::newRow("memo slot table") << true << 0x1000 << 0x1160 << 3;
        QTest::newRow("memo image blocks") << true << 0x2000 << 0x5020 << 3;
        QTest::newRow("memo anywhere") << true << 0 << 0x6000 << 16;
    }

    void changedBytes()
    {
        QFETCH(bool, memoFile);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, maxChanges);
        // A fixed seed per row: a failure comes back on every run.
        QRandomGenerator random(quint32(qHash(QByteArray(QTest::currentDataTag()))));
        int refused = 0;
        constexpr int Copies = 3000;
        for (int copy = 0; copy < Copies; ++copy) {
            QByteArray changed = memoFile ? m_mb : m_db;
            const int changes = 1 + random.bounded(maxChanges);
            for (int i = 0; i < changes; ++i) {
                const int at = from + random.bounded(to - from);
                // Half the time a value a length or count is likely to take.
                static const char likely[] = {0x00, 0x01, 0x7F, char(0x80), char(0xFF), 0x3F, 0x10};
                changed[at] = random.bounded(2) ? likely[random.bounded(int(sizeof likely))] : char(random.bounded(256));
            }
            timed(memoFile ? m_db : changed, memoFile ? changed : m_mb, &refused);
        }
        qInfo("%d of %d copies refused", refused, Copies);
        QVERIFY(refused > 0);
    }

    void cleanupTestCase()
    {
        // No copy takes long: nothing loops on a damaged chain.
        QVERIFY2(m_slowest < 1000, qPrintable(QString::number(m_slowest)));
    }
};

QTEST_APPLESS_MAIN(TstParadoxFuzz)
#include "tst_paradox_fuzz.moc"
