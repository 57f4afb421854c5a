// Another program with the same catalogue open: its locks and its changes.

#include "CatalogueFixture.h"
#include "CatalogueTable.h"

#include <QElapsedTimer>
#include <QTest>
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

// Lets another program take its lock just as the table starts a statement whose text
// holds `needle`: every connection opened meanwhile is traced.
class LockAtStatement
{
public:
    LockAtStatement(Locker &locker, const QByteArray &needle)
    {
        s_locker = &locker;
        s_needle = needle;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&traceConnection));
    }
    ~LockAtStatement()
    {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&traceConnection));
        s_locker = nullptr;
    }
    LockAtStatement(const LockAtStatement &) = delete;
    LockAtStatement &operator=(const LockAtStatement &) = delete;

private:
    static int traceConnection(sqlite3 *db, char **, const sqlite3_api_routines *)
    {
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &statementStarts, nullptr);
        return SQLITE_OK;
    }
    static int statementStarts(unsigned, void *, void *stmt, void *)
    {
        const char *sql = sqlite3_sql(static_cast<sqlite3_stmt *>(stmt));
        if (s_locker && sql && QByteArray(sql).contains(s_needle)) {
            s_locker->lock();
            s_locker = nullptr;
        }
        return 0;
    }
    static inline Locker *s_locker = nullptr;
    static inline QByteArray s_needle;
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
        std::optional<LockAtStatement> lockAtCheck;
        if (locked && atOpen)
            lockAtCheck.emplace(other, "FROM sqlite_master");
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
};

QTEST_APPLESS_MAIN(TstCatalogueSharing)
#include "tst_catalogue_sharing.moc"
