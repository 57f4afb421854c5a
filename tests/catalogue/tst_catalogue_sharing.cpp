// Another program with the same catalogue open: its locks and its changes.

#include "CatalogueFixture.h"
#include "CatalogueTable.h"

#include <QElapsedTimer>
#include <QTest>

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
};

QTEST_APPLESS_MAIN(TstCatalogueSharing)
#include "tst_catalogue_sharing.moc"
