// Another program with the same catalogue open: its locks and its changes.

#include "catalogue/CatalogueTable.h"
#include "tests/common/CatalogueFixture.h"

#include <QElapsedTimer>
#include <QTest>
#include <functional>
#include <optional>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

constexpr int ShortLock = 200; // ms a table waits for a lock in these tests

// Another program's connection that holds the catalogue locked until released.
struct Locker : RawDb {
    using RawDb::RawDb;
    bool lock() { return exec("BEGIN EXCLUSIVE") == SQLITE_OK; }
    void release() { exec("COMMIT"); }
};

// Lets another program take its lock just as the table prepares a statement that
// reads `table`: every connection opened meanwhile gets an authorizer that watches.
class LockAtRead
{
public:
    LockAtRead(Locker &locker, const QByteArray &table)
    {
        s_locker = &locker;
        s_table = table;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&watchConnection));
    }
    ~LockAtRead()
    {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&watchConnection));
        s_locker = nullptr;
    }
    LockAtRead(const LockAtRead &) = delete;
    LockAtRead &operator=(const LockAtRead &) = delete;

private:
    static int watchConnection(sqlite3 *db, char **, const sqlite3_api_routines *)
    {
        sqlite3_set_authorizer(db, &authorize, nullptr);
        return SQLITE_OK;
    }
    static int authorize(void *, int action, const char *table, const char *, const char *, const char *)
    {
        if (s_locker && action == SQLITE_READ && table && s_table == table) {
            s_locker->lock();
            s_locker = nullptr;
        }
        return SQLITE_OK;
    }
    static inline Locker *s_locker = nullptr;
    static inline QByteArray s_table;
};

// Passes the table's lock waits to what the test sets.
struct LockWaits : CatalogueTableHandler {
    std::function<void(bool)> told;
    void onLockWait(bool waiting) noexcept override { told(waiting); }
};

void expectLocked(const std::function<void()> &operation, const QString &file)
{
    try {
        operation();
        QFAIL("no error while the catalogue was locked");
    } catch (const EngineError &e) {
        QCOMPARE(e.kind(), EngineError::Kind::Locked);
        QVERIFY2(e.message().contains(file), qPrintable(e.message()));
    }
}

} // namespace

class TstCatalogueSharing : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"a.zip", "Alpha", "Unit", "In use", ""},
        {"b.zip", "Beta", "Component", "Testing", ""},
        {"c.zip", "Gamma", "Tool", "Unseen", ""},
    };

    // Opens `t` on a new catalogue whose second record (Beta) holds a guide, with the
    // cursor on Beta and its memos not read yet.
    void openWithGuide(CatalogueTable &t, const QString &name)
    {
        makeCatalogue(t, m_dir, name, m_sample);
        RawDb(t.fullPath()).exec("UPDATE catalogue SET Guide = 'stored guide' WHERE Product = 'Beta'");
        t.setLockTimeout(ShortLock);
        t.close();
        t.open();
        t.next();
        QCOMPARE(t.field(S::Product).asString(), QString("Beta"));
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void twoProgramsShareOneCatalogue()
    {
        CatalogueTable a;
        makeCatalogue(a, m_dir, "shared.db", m_sample);
        CatalogueTable b;
        b.setDatabaseName(m_dir.path());
        b.setTableName("shared.db");
        b.open();
        addRecord(b, {"d.zip", "Delta", "Unit", "In use", ""});
        QCOMPARE(a.recordCount(), 3); // a sees it on refresh
        a.refresh();
        QCOMPARE(a.recordCount(), 4);

        // b edits the record a then tries to store: a's post notices and keeps the edit.
        a.setIndexName({});
        a.first();
        b.setIndexName({});
        b.first();
        b.edit();
        b.field(S::Product).setAsString("Renamed");
        b.post();
        a.edit();
        a.field(S::Guide).setAsString("mine");
        QVERIFY_THROWS_EXCEPTION(EngineError, a.post());
        QCOMPARE(a.state(), DataSetState::Edit);
        a.cancel();
        a.refresh();
        QCOMPARE(a.field(S::Product).asString(), QString("Renamed"));
    }

    void lockWaitsThenFailsClearly()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "locked.db", m_sample);
        t.setLockTimeout(200);
        RawDb other(t.fullPath());
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        t.edit();
        t.field(S::Guide).setAsString("waiting");
        QElapsedTimer timer;
        timer.start();
        try {
            t.post();
            QFAIL("posted");
        } catch (const EngineError &e) {
            QCOMPARE(e.kind(), EngineError::Kind::Locked);
            QVERIFY2(e.message().contains("locked"), qPrintable(e.message()));
        }
        QVERIFY(timer.elapsed() >= 150);
        QCOMPARE(t.state(), DataSetState::Edit);
        other.exec("COMMIT");
        t.post();
        QCOMPARE(t.field(S::Guide).asString(), QString("waiting"));
    }

    // A memo read while another program holds the file must fail as a lock and be
    // read again later, never show (and then store) an empty text.
    void memoReadUnderLockFailsAndIsReadAgain()
    {
        CatalogueTable t;
        openWithGuide(t, "memo.db");
        Locker other(t.fullPath());
        QVERIFY(other.lock());
        expectLocked([&] { t.field(S::Guide).asString(); }, "memo.db");
        other.release();
        QCOMPARE(t.field(S::Guide).asString(), QString("stored guide"));
    }

    void editUnderLockLeavesNoEmptyMemoToStore()
    {
        CatalogueTable t;
        openWithGuide(t, "edit.db");
        Locker other(t.fullPath());
        QVERIFY(other.lock());
        expectLocked([&] { t.edit(); }, "edit.db");
        QCOMPARE(t.state(), DataSetState::Browse);
        other.release();
        t.edit();
        QCOMPARE(t.field(S::Guide).asString(), QString("stored guide"));
        t.field(S::Comments).setAsString("typed");
        t.post();
        QCOMPARE(RawDb(t.fullPath()).rows("SELECT Guide, Comments FROM catalogue WHERE Product = 'Beta'"),
                 QStringList{"stored guide|typed"});
    }

    // Only an index that is really missing may be reported as missing; a lock is a lock.
    void indexCheckTellsLockFromMissingIndex_data()
    {
        QTest::addColumn<bool>("atOpen");
        QTest::addColumn<bool>("locked");
        QTest::newRow("switch, locked") << false << true;
        QTest::newRow("switch, missing") << false << false;
        QTest::newRow("open, locked") << true << true;
        QTest::newRow("open, missing") << true << false;
    }

    void indexCheckTellsLockFromMissingIndex()
    {
        QFETCH(bool, atOpen);
        QFETCH(bool, locked);
        CatalogueTable t;
        makeCatalogue(t, m_dir, "index.db", m_sample);
        t.setLockTimeout(ShortLock);
        t.close();
        Locker other(t.fullPath());
        if (!locked)
            QCOMPARE(other.exec("DROP INDEX idx_Type_Up"), SQLITE_OK);
        if (atOpen)
            t.setIndexName("idx_Type_Up");
        else
            t.open();
        // At open the lock comes just as the table looks for its index.
        std::optional<LockAtRead> lockAtCheck;
        if (locked && atOpen)
            lockAtCheck.emplace(other, "sqlite_master");
        else if (locked)
            QVERIFY(other.lock());
        try {
            atOpen ? t.open() : t.setIndexName("idx_Type_Up");
            QFAIL("no error");
        } catch (const EngineError &e) {
            QCOMPARE(e.kind() == EngineError::Kind::Locked, locked);
            QCOMPARE(e.message().contains("no index"), !locked);
            QVERIFY2(e.message().contains("index.db"), qPrintable(e.message()));
        }
        QCOMPARE(t.active(), !atOpen);
        if (!atOpen)
            QCOMPARE(t.indexName(), QString());
    }

    // The window shows a busy cursor while a statement waits for a lock: it is told
    // once when the wait begins and once when the statement is over, and the wait
    // still ends in the lock error after the timeout.
    void lockWaitIsToldBeginAndEnd_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("store") << "store";
        QTest::newRow("memo read") << "memo";
        QTest::newRow("copy") << "copy";
        QTest::newRow("stored count") << "count";
    }

    void lockWaitIsToldBeginAndEnd()
    {
        QFETCH(QString, operation);
        CatalogueTable t;
        openWithGuide(t, "wait.db");
        if (operation == "store") {
            t.edit();
            t.field(S::Comments).setAsString("waiting");
        }
        QList<bool> told;
        QElapsedTimer timer;
        qint64 beganAt = -1;
        LockWaits waits;
        t.setHandler(&waits);
        waits.told = [&](bool waiting) {
            told << waiting;
            if (waiting)
                beganAt = timer.elapsed();
        };
        Locker other(t.fullPath());
        QVERIFY(other.lock());
        timer.start();
        if (operation == "count") {
            QCOMPARE(t.storedRecordCount(), -1);
        } else {
            expectLocked([&] {
                if (operation == "store")
                    t.post();
                else if (operation == "memo")
                    t.field(S::Guide).asString();
                else
                    t.copyTable(m_dir.filePath("wait-copy.db"));
            }, "wait.db");
        }
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(told, (QList<bool>{true, false}));
        QVERIFY2(beganAt >= 0 && beganAt < ShortLock, qPrintable(QString::number(beganAt)));
        QVERIFY2(elapsed >= ShortLock * 9 / 10 && elapsed < ShortLock * 10, qPrintable(QString::number(elapsed)));

        // A wait that gets the lock: told the same, and the operation goes through.
        other.release();
        told.clear();
        waits.told = [&](bool waiting) {
            told << waiting;
            if (waiting)
                other.release();
        };
        QVERIFY(other.lock());
        if (operation == "count")
            QCOMPARE(t.storedRecordCount(), 3);
        else if (operation == "store")
            t.post();
        else if (operation == "memo")
            QCOMPARE(t.field(S::Guide).asString(), QString("stored guide"));
        else
            t.copyTable(m_dir.filePath("wait-copy.db"));
        QCOMPARE(told, (QList<bool>{true, false}));
    }

    // The exit rule asks the file, not the cache, whether a catalogue is empty.
    void storedCountAsksTheFile()
    {
        CatalogueTable a;
        makeCatalogue(a, m_dir, "count.db");
        a.setLockTimeout(ShortLock);
        CatalogueTable b;
        b.setDatabaseName(m_dir.path());
        b.setTableName("count.db");
        b.open();
        addRecord(b, m_sample[0]);
        QCOMPARE(a.storedRecordCount(), 1);
        QCOMPARE(a.recordCount(), 0); // the cache: not asked again
        Locker other(a.fullPath());
        QVERIFY(other.lock());
        QCOMPARE(a.storedRecordCount(), -1);
        other.release();
        a.close();
        QCOMPARE(a.storedRecordCount(), -1);
    }

    // Two copies of the program edit one record: the second store must not silently
    // replace what the first stored. The refused copy keeps its typing; Cancel shows
    // the record as the other program left it.
    void storeOfARecordChangedMeanwhileIsRefused_data()
    {
        QTest::addColumn<int>("otherField");
        QTest::addColumn<QVariant>("otherValue");
        QTest::newRow("same memo") << int(S::Comments) << QVariant("from B");
        QTest::newRow("the other memo") << int(S::Guide) << QVariant("guide from B");
        QTest::newRow("image") << int(S::CurrImg) << QVariant(QByteArray("BM") + QByteArray(70, 'b'));
        QTest::newRow("flag") << int(S::D3) << QVariant(true);
        QTest::newRow("key") << int(S::Product) << QVariant("Beta 2");
    }

    void storeOfARecordChangedMeanwhileIsRefused()
    {
        QFETCH(int, otherField);
        QFETCH(QVariant, otherValue);
        CatalogueTable a;
        openWithGuide(a, "conflict.db");
        CatalogueTable b;
        b.setDatabaseName(m_dir.path());
        b.setTableName("conflict.db");
        b.open();
        b.next();
        a.edit(); // what A read when its edit began is what its store must still find
        b.edit();
        b.field(otherField).setValue(otherValue);
        b.post();

        a.field(S::Comments).setAsString("from A");
        try {
            a.post();
            QFAIL("stored over the other program's change");
        } catch (const EngineError &e) {
            QCOMPARE(e.kind(), EngineError::Kind::EditConflict);
            QCOMPARE(e.message(), QString("The record was changed by another program since you began editing it."));
        }
        QCOMPARE(a.state(), DataSetState::Edit);
        QCOMPARE(a.field(S::Comments).asString(), QString("from A"));
        QVERIFY_THROWS_EXCEPTION(EngineError, a.post()); // still the old version: refused again
        QCOMPARE(RawDb(a.fullPath()).rows("SELECT count(*) FROM catalogue WHERE Comments = 'from A'"), QStringList{"0"});

        a.cancel();
        QCOMPARE(a.field(otherField).value(), otherValue);
        a.edit();
        a.field(S::Comments).setAsString("from A");
        a.post();
        if (otherField != S::Comments)
            QCOMPARE(a.field(otherField).value(), otherValue);
        QCOMPARE(RawDb(a.fullPath()).rows("SELECT count(*) FROM catalogue WHERE Comments = 'from A'"), QStringList{"1"});
    }

    void storeOfARecordDeletedMeanwhileIsRefused()
    {
        CatalogueTable a;
        openWithGuide(a, "deleted.db");
        a.edit();
        RawDb(a.fullPath()).exec("DELETE FROM catalogue WHERE Product = 'Beta'");
        a.field(S::Comments).setAsString("from A");
        try {
            a.post();
            QFAIL("stored a deleted record");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains("deleted"), qPrintable(e.message()));
        }
        QCOMPARE(a.field(S::Comments).asString(), QString("from A"));
        a.cancel();
        QCOMPARE(a.recordCount(), 2);
        QVERIFY(a.field(S::Product).asString() != QString("Beta"));
    }

    // Values another program stored in its own way ('' for no text, 2 for true) read
    // as ours do, and must not make every store of the record look like a conflict.
    void foreignSpellingsAreNoConflict()
    {
        CatalogueTable a;
        openWithGuide(a, "foreign.db");
        RawDb(a.fullPath()).exec("UPDATE catalogue SET Origin = '', Comments = '', D1 = 2 WHERE Product = 'Beta'");
        a.refresh();
        a.edit();
        a.field(S::Guide).setAsString("mine");
        a.post();
        QCOMPARE(RawDb(a.fullPath()).rows("SELECT Guide FROM catalogue WHERE Product = 'Beta'"), QStringList{"mine"});
    }
};

QTEST_APPLESS_MAIN(TstCatalogueSharing)
#include "tst_catalogue_sharing.moc"
