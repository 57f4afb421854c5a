#include "catalogue/CatalogueTable.h"
#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/PendingFile.h"
#include "tests/common/CatalogueFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace fixture;
namespace S = CatalogueSchema;

class TstCatalogueFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"b.zip", "Beta", "Unit", "In use", "www.b.org"},
        {"a.zip", "Alpha", "Component", "Testing", ""},
        {"c.zip", "Gamma", "Tool", "Unseen", "www.c.org"},
    };

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A valid catalogue file with the sample records, closed.
    QString sampleFile(const QString &name)
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, name, m_sample);
        return t.fullPath();
    }

private slots:
    void badFilesFailNamingFileAndReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << "text.db" << "not a catalogue";
        QTest::newRow("zero bytes") << "zero.db" << "empty";
        QTest::newRow("truncated") << "truncated.db" << "truncated";
        QTest::newRow("other program") << "other.db" << "another program";
        QTest::newRow("our stamp, no table") << "notable.db" << "no catalogue table";
        QTest::newRow("missing field") << "nofield.db" << "no field Source";
        QTest::newRow("newer format") << "newer.db" << "newer version";
        QTest::newRow("folder") << "folder.db" << "folder";
        QTest::newRow("missing") << "missing.db" << "does not exist";
        QTest::newRow("unreadable") << "unreadable.db" << "cannot be read";
        // A catalogue holds its table and indexes only: code stored in the file would run on our edits.
        QTest::newRow("trigger") << "trigger.db" << "contains a trigger, \"wipe\", that this program will not run";
        QTest::newRow("view") << "view.db" << "contains a view, \"peek\", that this program will not run";
    }

    void badFilesFailNamingFileAndReason()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QString file = path(name);
        if (name == "text.db") {
            writeFile(file, "Archive;Product\nthis is plain text, long enough to hold a header of a hundred bytes or more........\n");
        } else if (name == "zero.db") {
            writeFile(file, {});
        } else if (name == "truncated.db") {
            const QByteArray whole = fileBytes(sampleFile("whole.db"));
            writeFile(file, whole.left(whole.size() / 2));
        } else if (name == "other.db") {
            RawDb raw(file);
            raw.exec("CREATE TABLE catalogue (Archive TEXT); INSERT INTO catalogue VALUES ('x')");
        } else if (name == "notable.db") {
            RawDb raw(file);
            raw.exec(QString("PRAGMA application_id = %1; PRAGMA user_version = 1; CREATE TABLE other (x)").arg(S::ApplicationId));
        } else if (name == "nofield.db") {
            RawDb raw(file);
            raw.exec(QString("PRAGMA application_id = %1; PRAGMA user_version = 1; CREATE TABLE catalogue "
                             "(Archive, Product, Type, D1, D2, D3, CB, Status, Origin, Guide, Comments, OrigImg, CurrImg)")
                         .arg(S::ApplicationId));
        } else if (name == "newer.db") {
            RawDb raw(sampleFile(name));
            raw.exec("PRAGMA user_version = 2");
        } else if (name == "folder.db") {
            QDir(m_dir.path()).mkdir(name);
        } else if (name == "unreadable.db") {
            sampleFile(name);
            QFile::setPermissions(file, {});
        } else if (name == "trigger.db") {
            RawDb(sampleFile(name)).exec("CREATE TRIGGER wipe AFTER UPDATE ON catalogue "
                                         "BEGIN DELETE FROM catalogue WHERE rowid <> new.rowid; END");
        } else if (name == "view.db") {
            RawDb(sampleFile(name)).exec("CREATE VIEW peek AS SELECT Archive FROM catalogue");
        }
        const QByteArray before = fileBytes(file);
        const QFileInfo infoBefore(file);
        const QDateTime changedBefore = infoBefore.lastModified();

        CatalogueTable t;
        t.setDatabaseName(m_dir.path());
        t.setTableName(name);
        try {
            t.open();
            QFAIL("opened");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(file)), qPrintable(e.message()));
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        }
        QVERIFY(!t.active());
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(QFileInfo(file).exists(), infoBefore.exists());
        QCOMPARE(QFileInfo(file).lastModified(), changedBefore);
        for (const QString &companion : CatalogueFile::companionPaths(file))
            QVERIFY(!QFileInfo::exists(companion));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }

    // Statistics from ANALYZE or a table of someone's own run no code: such a file opens.
    void harmlessExtrasOpen()
    {
        const QString file = sampleFile("extras.db");
        RawDb(file).exec("ANALYZE; CREATE TABLE notes (x)");
        CatalogueTable t;
        t.setDatabaseName(m_dir.path());
        t.setTableName("extras.db");
        t.open();
        t.edit();
        t.field(S::Comments).setAsString("stored");
        t.post();
        QCOMPARE(t.storedRecordCount(), 3);
    }

    // Code another program puts into the file while it is open does not run either.
    void triggerAddedWhileOpenDoesNotRun()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "late.db", m_sample);
        RawDb(t.fullPath()).exec("CREATE TRIGGER wipe AFTER UPDATE ON catalogue "
                                 "BEGIN DELETE FROM catalogue WHERE rowid <> new.rowid; END");
        t.edit();
        t.field(S::Comments).setAsString("stored");
        t.post();
        QCOMPARE(t.storedRecordCount(), 3);
        QCOMPARE(RawDb(t.fullPath()).rows("SELECT count(*) FROM catalogue"), QStringList{"3"});
    }

    void packRefusesCode()
    {
        const QString file = sampleFile("packed.db");
        RawDb(file).exec("CREATE TRIGGER wipe AFTER DELETE ON catalogue BEGIN DELETE FROM catalogue; END");
        const QByteArray before = fileBytes(file);
        CatalogueTable t;
        t.setDatabaseName(m_dir.path());
        t.setTableName("packed.db");
        try {
            t.packTable();
            QFAIL("packed");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains("trigger, \"wipe\""), qPrintable(e.message()));
        }
        QCOMPARE(fileBytes(file), before);
    }

    void readOnlyFileOpensForBrowsing()
    {
        const QString file = sampleFile("ro.db");
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QByteArray before = fileBytes(file);
        CatalogueTable t;
        t.setDatabaseName(m_dir.path());
        t.setTableName("ro.db");
        t.open();
        QVERIFY(t.readOnly());
        QCOMPARE(t.recordCount(), 3);
        t.edit();
        t.field(S::Guide).setAsString("typed");
        try {
            t.post();
            QFAIL("posted");
        } catch (const EngineError &e) {
            QCOMPARE(e.kind(), EngineError::Kind::ReadOnly);
            QVERIFY2(e.message().contains("read-only"), qPrintable(e.message()));
        }
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(t.field(S::Guide).asString(), QString("typed"));
        QVERIFY_THROWS_EXCEPTION(EngineError, t.remove());
        t.close();
        QCOMPARE(fileBytes(file), before);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }

    void readOnlyFolderOpensForBrowsing()
    {
        QDir(m_dir.path()).mkdir("locked");
        CatalogueTable t;
        t.setDatabaseName(m_dir.filePath("locked"));
        t.setTableName("in.db");
        t.createTable();
        t.open();
        addRecord(t, m_sample[0]);
        t.close();
        QFile::setPermissions(m_dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        t.open();
        QVERIFY(t.readOnly());
        t.append();
        setFields(t, m_sample[1]);
        QVERIFY_THROWS_EXCEPTION(EngineError, t.post());
        QCOMPARE(t.state(), DataSetState::Insert);
        t.close();
        QFile::setPermissions(m_dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void createReplacesExistingCatalogue()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "untitled.db", m_sample);
        t.close();
        writeFile(t.fullPath() + "-journal", "stale"); // must not be taken for the new file's journal
        t.createTable();
        QVERIFY(!t.active());
        QVERIFY(!QFileInfo::exists(t.fullPath() + "-journal"));
        t.open();
        QCOMPARE(t.recordCount(), 0);
        // No temporary files are left behind.
        QCOMPARE(QDir(m_dir.path()).entryList({".mox-*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void createInMissingFolderFails()
    {
        CatalogueTable t;
        t.setDatabaseName(m_dir.filePath("no/such/folder"));
        t.setTableName("x.db");
        try {
            t.createTable();
            QFAIL("created");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains("does not exist"), qPrintable(e.message()));
        }
    }

    void copyHoldsRecordsIndexesAndImages()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "src.db", m_sample);
        t.first(); // Alpha
        t.edit();
        t.field(S::CurrImg).setAsBytes(QByteArray("BM") + QByteArray(60, 'x'));
        t.post();
        writeFile(path("dest.db"), "old content");
        t.copyTable(path("dest.db"));
        QVERIFY(t.active());
        CatalogueTable copy;
        copy.setDatabaseName(m_dir.path());
        copy.setTableName("dest.db");
        copy.open();
        QCOMPARE(copy.recordCount(), 3);
        copy.setIndexName("idx_Product_Down");
        QCOMPARE(column(copy, S::Product), (QStringList{"Gamma", "Beta", "Alpha"}));
        copy.setIndexName({});
        copy.first();
        QCOMPARE(copy.field(S::Product).asString(), QString("Alpha"));
        QCOMPARE(copy.field(S::CurrImg).asBytes().size(), 62);
    }

    // Long copies and packs tell the window how far they are, so it can show progress.
    void copyAndPackReportProgress()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "big.db");
        RawDb(t.fullPath()).insertMany(600, "Archive, Product, Type, Status, OrigImg", [](int i) {
            return QString("'a%1', 'p', 'Unit', 'x', randomblob(3000)").arg(i);
        });
        t.refresh();
        QList<QPair<qint64, qint64>> steps;
        t.copyTable(path("big-copy.db"), [&](qint64 done, qint64 total) { steps.append({done, total}); });
        QVERIFY2(steps.size() >= 2, "a copy of several hundred pages reported once or never");
        for (int i = 1; i < steps.size(); ++i)
            QVERIFY(steps[i].first >= steps[i - 1].first);
        QVERIFY(steps.last().second > 256);
        QCOMPARE(steps.last().first, steps.last().second);

        t.close();
        int beats = 0;
        t.packTable([&](qint64 done, qint64 total) {
            QCOMPARE(done, 0);
            QCOMPARE(total, 0); // how far a pack is cannot be told, only that it goes on
            ++beats;
        });
        QVERIFY(beats > 0);
        t.open();
        QCOMPARE(t.recordCount(), 600);
    }

    // A progress handler that throws (the window giving up, out of memory) stops the pack:
    // the exception reaches the caller once SQLite has let go of the file, and the
    // catalogue is as it was, neither locked nor damaged.
    void interruptedPackLeavesCatalogue()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "stop-pack.db", m_sample);
        RawDb(t.fullPath()).insertMany(600, "Archive, Product, Type, Status, OrigImg", [](int i) {
            return QString("'a%1', 'p', 'Unit', 'x', randomblob(3000)").arg(i);
        });
        t.close();
        struct Stop {};
        QVERIFY_THROWS_EXCEPTION(Stop, t.packTable([](qint64, qint64) { throw Stop(); }));
        t.open();
        QCOMPARE(t.recordCount(), 603);
        QCOMPARE(RawDb(t.fullPath()).rows("PRAGMA integrity_check"), QStringList{"ok"});
        t.close();
        t.packTable();
        t.open();
        QCOMPARE(t.recordCount(), 603);
    }

    // A copy that stops half-way leaves nothing: the file gets its name only when complete.
    void interruptedCopyLeavesNothing_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("unnamed file") << false;
        QTest::newRow("hidden name, where unnamed files are not possible") << true;
    }

    void interruptedCopyLeavesNothing()
    {
        QFETCH(bool, named);
        PendingFile::setUnnamedAllowed(!named);
        const auto restore = qScopeGuard([] { PendingFile::setUnnamedAllowed(true); });
        QDir(m_dir.path()).mkdir(named ? "stop-named" : "stop");
        QTemporaryDir dir(m_dir.filePath(named ? "stop-named/XXXXXX" : "stop/XXXXXX"));
        CatalogueTable t;
        makeCatalogue(t, dir, "src.db");
        RawDb(t.fullPath()).insertMany(600, "Archive, Product, Type, Status, OrigImg", [](int i) {
            return QString("'a%1', 'p', 'Unit', 'x', randomblob(3000)").arg(i);
        });
        struct Stop {};
        QVERIFY_THROWS_EXCEPTION(Stop, t.copyTable(dir.filePath("copy.db"), [](qint64, qint64) { throw Stop(); }));
        const auto files = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); };
        QCOMPARE(files(), QStringList{"src.db"});

        t.copyTable(dir.filePath("copy.db"));
        QCOMPARE(files(), (QStringList{"copy.db", "src.db"}));
        CatalogueTable copy;
        copy.setDatabaseName(dir.path());
        copy.setTableName("copy.db");
        copy.open();
        QCOMPARE(copy.recordCount(), 600);
        QCOMPARE(RawDb(copy.fullPath()).rows("PRAGMA integrity_check"), QStringList{"ok"});
        // A new catalogue is made the same way.
        copy.close();
        copy.setTableName("new.db");
        copy.createTable();
        copy.open();
        QCOMPARE(files(), (QStringList{"copy.db", "new.db", "src.db"}));
    }

    // What a killed copy left is removed when a catalogue in that folder is next opened,
    // unless another running program still holds it.
    void leftoversAreRemovedUnlessHeld()
    {
        QDir(m_dir.path()).mkdir("leftovers");
        const QString folder = m_dir.filePath("leftovers");
        CatalogueTable t;
        t.setDatabaseName(folder);
        t.setTableName("cat.db");
        t.createTable();
        const QStringList left{".mox-copy-Ab3dE9", ".mox-new-q7W2zz", ".mox-new-q7W2zz-journal", ".mox-move-000000"};
        const QStringList others{".mox-copy-notes.txt", ".mox-copy-Ab3dE", "mox-copy-Ab3dE9", ".mox-settings"};
        for (const QString &name : left + others)
            writeFile(folder + "/" + name, "half a catalogue");
        writeFile(folder + "/.mox-copy-Held01", "still being written");
        const int held = ::open(QFile::encodeName(folder + "/.mox-copy-Held01").constData(), O_RDWR);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);

        t.open();
        const auto files = [&] { return QDir(folder).entryList(QDir::Files | QDir::Hidden); };
        for (const QString &name : left)
            QVERIFY2(!files().contains(name), qPrintable(name));
        for (const QString &name : others + QStringList{".mox-copy-Held01", "cat.db"})
            QVERIFY2(files().contains(name), qPrintable(name));
        ::close(held);
        t.close();
        t.open();
        QVERIFY(!files().contains(".mox-copy-Held01"));
    }

    // A move to another file system copies, and the copy too gets its name only when complete.
    void moveToAnotherFileSystem()
    {
        QTemporaryDir other(QStringLiteral("/dev/shm/mox-move-XXXXXX"));
        struct stat here {};
        struct stat there {};
        if (!other.isValid() || ::stat(QFile::encodeName(m_dir.path()).constData(), &here) != 0
            || ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 || here.st_dev == there.st_dev)
            QSKIP("no second file system at hand");
        CatalogueTable t;
        makeCatalogue(t, m_dir, "travels.db", m_sample);
        t.close();
        t.moveTable(other.filePath("arrived.db"));
        QVERIFY(!QFileInfo::exists(path("travels.db")));
        QCOMPARE(QDir(other.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"arrived.db"});
        t.open();
        QCOMPARE(t.recordCount(), 3);
    }

    void renameMoveDeleteAndPack()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db", m_sample);
        t.close();
        t.renameTable("second.db");
        QCOMPARE(t.tableName(), QString("second.db"));
        QVERIFY(!QFileInfo::exists(path("first.db")));
        t.open();
        QCOMPARE(t.recordCount(), 3);
        t.remove();
        t.close();

        QDir(m_dir.path()).mkdir("elsewhere");
        t.moveTable(path("elsewhere/third.db"));
        QCOMPARE(t.databaseName(), m_dir.filePath("elsewhere") + "/");
        QCOMPARE(t.tableName(), QString("third.db"));

        t.packTable();
        t.open();
        QCOMPARE(t.recordCount(), 2);
        QCOMPARE(t.recNo(), 1);
        {
            RawDb raw(t.fullPath());
            QCOMPARE(raw.rows("PRAGMA integrity_check"), QStringList{"ok"});
        }
        QVERIFY_THROWS_EXCEPTION(EngineError, t.deleteTable()); // open: refused
        t.close();
        writeFile(t.fullPath() + "-journal", "x");
        t.deleteTable();
        QVERIFY(!QFileInfo::exists(t.fullPath()));
        QVERIFY(!QFileInfo::exists(t.fullPath() + "-journal"));
    }
};

QTEST_APPLESS_MAIN(TstCatalogueFiles)
#include "tst_catalogue_files.moc"
