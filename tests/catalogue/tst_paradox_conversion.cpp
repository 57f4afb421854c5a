// Converting a Paradox catalogue: every record, memo and image lands in a catalogue of
// ours at the table's path, the Paradox files move into NAME-paradox beside it, and a
// failure at any step leaves the folder exactly as it was.

#include "catalogue/CatalogueTable.h"
#include "catalogue/EngineError.h"
#include "catalogue/session/CatalogueSession.h"
#include "catalogue/session/ParadoxConversion.h"
#include "tests/common/CatalogueFixture.h"
#include "tests/common/ParadoxFixture.h"
#include "tests/common/ParadoxWriter.h"

#include <QDirIterator>
#include <QTest>

namespace S = CatalogueSchema;
using paradox::bytesOf;
using paradox::dataDir;

namespace {

// Every file under `folder` with its bytes, by path relative to it.
QMap<QString, QByteArray> contentsOf(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(folder).relativeFilePath(path), QFileInfo(path).isDir() ? QByteArray("<dir>") : bytesOf(path));
    }
    return out;
}

// The catalogue's records in key order, as the Paradox table's dump writes them.
QStringList dumpOfCatalogue(const QString &folder, const QString &name)
{
    // The Paradox table's field order, by catalogue field position.
    static const int order[] = {S::Archive, S::Product, S::Type, S::D1, S::D2, S::D3, S::Cb,
                                S::Status, S::Source, S::Origin, S::Guide, S::Comments, S::OrigImg, S::CurrImg};
    CatalogueTable t;
    t.setDatabaseName(folder + u'/');
    t.setTableName(name);
    t.open();
    QStringList lines;
    for (t.first(); !t.eof(); t.next()) {
        QStringList values;
        for (const int pos : order) {
            const S::FieldKind kind = S::fields()[size_t(pos)].kind;
            QVariant v = t.field(pos).value();
            if (kind == S::FieldKind::Boolean && !v.isNull())
                v = QVariant(v.toBool());
            values << paradox::dumpValue(v, kind == S::FieldKind::Memo);
        }
        lines << values.join(u'|');
    }
    return lines;
}

QString refusal(const QString &path, const CatalogueFile::Progress &progress = {})
{
    try {
        ParadoxConversion::convert(path, progress);
    } catch (const EngineError &e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

class TstParadoxConversion : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void cleanup()
    {
        QDir dir(m_dir.path());
        dir.removeRecursively();
        dir.mkpath(QStringLiteral("."));
    }

    void everyRecordMemoAndImageComesOver()
    {
        paradox::copyTable(QStringLiteral("small"), m_dir.path());
        QList<qint64> steps;
        const QString kept = ParadoxConversion::convert(path("CONTENTS.DB"), [&](qint64 done, qint64 total) {
            QCOMPARE(total, 100);
            steps << done;
        });
        QCOMPARE(kept, path("CONTENTS-paradox"));
        QCOMPARE(dumpOfCatalogue(m_dir.path(), "CONTENTS.DB"), paradox::smallDump());

        // The images are the bitmaps, byte for byte.
        CatalogueTable t;
        t.setDatabaseName(m_dir.path() + u'/');
        t.setTableName("CONTENTS.DB");
        t.open();
        t.next();
        QCOMPARE(t.field(S::OrigImg).asBytes(), bytesOf(dataDir("images/rec1_OrigImg.bmp")));
        QCOMPARE(t.field(S::CurrImg).asBytes(), bytesOf(dataDir("images/rec1_CurrImg.bmp")));

        // The progress ends at its total and never goes back.
        QVERIFY(!steps.isEmpty());
        QCOMPARE(steps.last(), 100);
        QVERIFY(std::is_sorted(steps.begin(), steps.end()));
    }

    // Many data blocks in their chain, many memos sharing blocks of the .MB.
    void largerTableComesOverWhole()
    {
        paradox::writeCatalogueTable(path("BIG.DB"), path("BIG.MB"), 300, 100, 20);
        QList<qint64> steps;
        ParadoxConversion::convert(path("BIG.DB"), [&](qint64 done, qint64) { steps << done; });
        QVERIFY(steps.size() > 3);
        CatalogueTable t;
        t.setDatabaseName(m_dir.path() + u'/');
        t.setTableName("BIG.DB");
        t.open();
        QCOMPARE(t.recordCount(), 300);
        int memos = 0, images = 0;
        for (t.first(); !t.eof(); t.next()) {
            const QString product = t.field(S::Product).asString();
            const int i = product.right(6).toInt();
            QCOMPARE(product, QStringLiteral("Caf\u00e9 product %1").arg(i, 6, 10, QLatin1Char('0')));
            const QString guide = t.field(S::Guide).asString();
            if (i % 3 == 0) {
                ++memos;
                QVERIFY(guide.startsWith(QStringLiteral("Installed on %1.\r\nNotes \u20ac \u2013 \u00ab\u00bb\r\n").arg(i)));
                QCOMPARE(guide.size(), 30 + QString::number(i).size() + 120 + i % 200);
            } else {
                QVERIFY(guide.isEmpty());
            }
            if (i % 15 == 0) {
                ++images;
                QCOMPARE(t.field(S::OrigImg).asBytes(), paradox::bitmap(i));
                QCOMPARE(t.field(S::CurrImg).asBytes(), paradox::bitmap(i + 1));
            }
        }
        QCOMPARE(memos, 100);
        QCOMPARE(images, 20);
    }

    void paradoxFilesMoveUnchanged()
    {
        paradox::copyTable(QStringLiteral("small"), m_dir.path());
        // A file of another table stays.
        fixture::writeFile(path("OTHER.DB"), "other");
        ParadoxConversion::convert(path("CONTENTS.DB"));
        const QMap<QString, QByteArray> after = contentsOf(m_dir.path());
        QCOMPARE(QStringList(after.keys()),
                 QStringList({"CONTENTS-paradox", "CONTENTS-paradox/CONTENTS.DB", "CONTENTS-paradox/CONTENTS.MB",
                              "CONTENTS-paradox/CONTENTS.PX", "CONTENTS.DB", "OTHER.DB"}));
        for (const char *name : {"CONTENTS.DB", "CONTENTS.MB", "CONTENTS.PX"})
            QCOMPARE(after.value(QStringLiteral("CONTENTS-paradox/") + name), bytesOf(dataDir(QStringLiteral("small/") + name)));
        QCOMPARE(after.value("OTHER.DB"), QByteArray("other"));
    }

    void companionsInAnotherLetterCaseMoveToo()
    {
        paradox::copyTable(QStringLiteral("small"), m_dir.path());
        QFile::rename(path("CONTENTS.DB"), path("contents.db"));
        QFile::rename(path("CONTENTS.PX"), path("Contents.px"));
        ParadoxConversion::convert(path("contents.db"));
        QStringList moved = QDir(path("contents-paradox")).entryList(QDir::Files);
        moved.sort();
        QCOMPARE(moved, QStringList({"CONTENTS.MB", "Contents.px", "contents.db"}));
        QCOMPARE(dumpOfCatalogue(m_dir.path(), "contents.db").size(), 5);
    }

    void aTakenFolderNameGetsANumber_data()
    {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("folder") << QStringList{"CONTENTS-paradox/"} << "CONTENTS-paradox-2";
        QTest::newRow("plain file") << QStringList{"CONTENTS-paradox"} << "CONTENTS-paradox-2";
        QTest::newRow("two taken") << QStringList{"CONTENTS-paradox/", "CONTENTS-paradox-2"} << "CONTENTS-paradox-3";
    }

    void aTakenFolderNameGetsANumber()
    {
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        paradox::copyTable(QStringLiteral("small"), m_dir.path());
        for (const QString &name : taken) {
            if (name.endsWith(u'/')) {
                QDir().mkpath(path(name));
                fixture::writeFile(path(name + "CONTENTS.DB"), "kept");
            } else {
                fixture::writeFile(path(name), "kept");
            }
        }
        QCOMPARE(ParadoxConversion::keepingFolder(path("CONTENTS.DB")), path(expected));
        QCOMPARE(ParadoxConversion::convert(path("CONTENTS.DB")), path(expected));
        // Nothing taken is overwritten.
        for (const QString &name : taken)
            QCOMPARE(bytesOf(path(name.endsWith(u'/') ? name + "CONTENTS.DB" : name)), QByteArray("kept"));
        QVERIFY(QFileInfo::exists(path(expected + "/CONTENTS.MB")));
    }

    void aFailureLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("memoDamageAt"); // -1: none
        QTest::addColumn<bool>("failLate");    // fail while the new file is flushed
        QTest::addColumn<QString>("reason");
        QTest::newRow("truncated") << "bad/truncated" << -1 << false << "CONTENTS.DB: data block 1 is missing: the file ends at byte 1000.";
        QTest::newRow("truncated_data") << "bad/truncated_data" << -1 << false << "CONTENTS.DB: data block 1 is cut off at byte 2200.";
        QTest::newRow("no_mb") << "bad/no_mb" << -1 << false << "CONTENTS.DB: its memo and image file (.MB) is missing.";
        QTest::newRow("empty") << "bad/empty" << -1 << false << "CONTENTS.DB: the file is empty.";
        // Found only while the records are read: the last image's block.
        QTest::newRow("damaged image") << "small" << 0x5000 << false << "which is not a block of one blob";
        // After the Paradox files have moved: they come back.
        QTest::newRow("failing at the end") << "small" << -1 << true << "the disk is full";
    }

    void aFailureLeavesEverythingAsItWas()
    {
        QFETCH(QString, table);
        QFETCH(int, memoDamageAt);
        QFETCH(bool, failLate);
        QFETCH(QString, reason);
        paradox::copyTable(table, m_dir.path());
        if (memoDamageAt >= 0) {
            QByteArray mb = bytesOf(path("CONTENTS.MB"));
            mb[memoDamageAt] = 7;
            fixture::writeFile(path("CONTENTS.MB"), mb);
        }
        const QMap<QString, QByteArray> before = contentsOf(m_dir.path());
        const QString message = refusal(path("CONTENTS.DB"), [&](qint64 done, qint64) {
            if (failLate && done > 90)
                throw EngineError(QStringLiteral("the disk is full"));
        });
        QVERIFY2(message.contains(reason), qPrintable(message));
        QCOMPARE(contentsOf(m_dir.path()), before);
    }

    void probeTellsWhatTheFileIs_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QByteArray>("content"); // when no table
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("reason");
        using V = ParadoxConversion::Verdict;
        QTest::newRow("catalogue table") << "small" << QByteArray() << int(V::Convertible) << "";
        QTest::newRow("truncated") << "bad/truncated" << QByteArray() << int(V::Refused) << "data block 1 is missing";
        QTest::newRow("truncated_data") << "bad/truncated_data" << QByteArray() << int(V::Refused) << "data block 1 is cut off";
        QTest::newRow("no_mb") << "bad/no_mb" << QByteArray() << int(V::Refused) << "(.MB) is missing";
        QTest::newRow("empty file") << "bad/empty" << QByteArray() << int(V::NotParadox) << "";
        QTest::newRow("text") << "" << QByteArray(200, 'x') << int(V::NotParadox) << "";
        QTest::newRow("catalogue of ours") << "" << QByteArray("ours") << int(V::NotParadox) << "";
        QTest::newRow("missing") << "" << QByteArray() << int(V::NotParadox) << "";
    }

    void probeTellsWhatTheFileIs()
    {
        QFETCH(QString, table);
        QFETCH(QByteArray, content);
        QFETCH(int, verdict);
        QFETCH(QString, reason);
        if (!table.isEmpty())
            paradox::copyTable(table, m_dir.path());
        else if (content == "ours")
            fixture::makeCatalogueFile(m_dir.path() + u'/', "CONTENTS.DB");
        else if (!content.isEmpty())
            fixture::writeFile(path("CONTENTS.DB"), content);
        const QMap<QString, QByteArray> before = contentsOf(m_dir.path());
        const ParadoxConversion::Probe probe = ParadoxConversion::probe(path("CONTENTS.DB"));
        QCOMPARE(int(probe.verdict), verdict);
        QVERIFY2(probe.reason.contains(reason), qPrintable(probe.reason));
        QCOMPARE(contentsOf(m_dir.path()), before);
    }

    void sessionConvertsAndOpens()
    {
        CatalogueTable t;
        fixture::makeCatalogue(t, m_dir, "previous.db", {{"a.zip", "Alpha", "Component", "Testing", ""}});
        CatalogueSession session(t);
        paradox::copyTable(QStringLiteral("small"), m_dir.path());
        const SessionOutcome outcome = session.convertAndOpen(path("CONTENTS.DB"));
        QVERIFY(outcome.succeeded);
        QCOMPARE(outcome.openPath, path("CONTENTS.DB"));
        QCOMPARE(t.recordCount(), 5);
        QCOMPARE(fixture::column(t, S::Product),
                 QStringList({"Alpha Suite", "Alpha Suite", "Caf\u00e9 tools", "Caf\u00e9 tools", "Zeta"}));
    }

    void sessionFailureKeepsThePrevious()
    {
        CatalogueTable t;
        fixture::makeCatalogue(t, m_dir, "previous.db", {{"a.zip", "Alpha", "Component", "Testing", ""}});
        CatalogueSession session(t);
        paradox::copyTable(QStringLiteral("bad/truncated_data"), m_dir.path());
        const SessionOutcome outcome = session.convertAndOpen(path("CONTENTS.DB"));
        QVERIFY(!outcome.succeeded);
        QVERIFY2(outcome.cantOpen.contains("data block 1 is cut off at byte 2200"), qPrintable(outcome.cantOpen));
        QCOMPARE(outcome.openPath, path("previous.db"));
        QVERIFY(t.active());
        QCOMPARE(fixture::archiveOf(t), QStringLiteral("a.zip"));
    }
};

QTEST_MAIN(TstParadoxConversion)
#include "tst_paradox_conversion.moc"
