#include "tests/app/MainWindowFixture.h"

#include "catalogue/CatalogueTable.h"
#include "settings/Recent.h"
#include "widgets/data/DBEdit.h"

#include <QAction>
#include <QMenu>
#include <QStackedWidget>
#include <QTest>
#include <sqlite3.h>

namespace S = CatalogueSchema;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int countIn(const QString &path)
{
    CatalogueTable t;
    const QFileInfo info(path);
    t.setDatabaseName(info.absolutePath());
    t.setTableName(info.fileName());
    t.open();
    return t.recordCount();
}

// Record view, with every task's folder in the program folder.
QByteArray ini(bool keepPaths = true)
{
    return QByteArray("[Program]\nKeepPaths=") + (keepPaths ? "1" : "0")
         + "\nInitPaths=0\nSaveInterface=1\nSaveRecNo=1\n[View]\nGrid=0\n";
}

} // namespace

class TstFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void openCancelChangesNothing()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip");
        table(w).edit();
        table(w).field(S::Guide).setAsString("typed");
        w.testSeam().commands.ShowModified(true);
        f.dialogs.answers = {QString()};
        command(w, "ItmOpen")->trigger();
        QVERIFY(isModified(w));
        QCOMPARE(table(w).state(), DataSetState::Edit);
        QCOMPARE(f.dialogs.asked.size(), 1);
        const FileDialogRequest &r = f.dialogs.asked[0];
        QCOMPARE(r.title, QString("Open a MOX database"));
        QCOMPARE(r.filters, QStringList{"Paradox databases (*.db *.DB *.Db *.dB)"});
        QCOMPARE(r.defaultSuffix, QString("db"));
        QCOMPARE(r.fileName, QString("contents.db"));
        QCOMPARE(r.folder, f.folder());
        QVERIFY(!r.confirmCreate);
    }

    void openBadFilesShowsNoticeAndKeepsPrevious_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("Archive;Product\nnot a catalogue at all, just some words in a text file that is long\n");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("truncated") << QByteArray("truncate");
        QTest::newRow("other program") << QByteArray("sqlite");
        QTest::newRow("catalogue with a trigger") << QByteArray("trigger");
    }

    void openBadFilesShowsNoticeAndKeepsPrevious()
    {
        QFETCH(QByteArray, content);
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip");
        const QString bad = f.dir.filePath("bad.db");
        if (content == "truncate") {
            CatalogueTable other;
            other.setDatabaseName(f.folder());
            other.setTableName("whole.db");
            other.createTable();
            other.open();
            for (int i = 0; i < 50; ++i)
                addRecord(other, QString("r%1").arg(i), QString(30, 'x'));
            other.close();
            const QByteArray whole = bytesOf(f.dir.filePath("whole.db"));
            QFile out(bad);
            out.open(QIODevice::WriteOnly);
            out.write(whole.left(whole.size() / 2));
        } else if (content == "trigger") {
            CatalogueTable other;
            other.setDatabaseName(f.folder());
            other.setTableName("bad.db");
            other.createTable();
            other.open();
            addRecord(other, "b.zip");
            addRecord(other, "c.zip");
            other.close();
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(bad).constData(), &db);
            sqlite3_exec(db, "CREATE TRIGGER wipe AFTER UPDATE ON catalogue BEGIN DELETE FROM catalogue WHERE rowid <> new.rowid; END",
                         nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else if (content == "sqlite") {
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(bad).constData(), &db);
            sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else {
            QFile out(bad);
            out.open(QIODevice::WriteOnly);
            out.write(content);
        }
        const QByteArray before = bytesOf(bad);
        ModalAnswer boxes;
        boxes.answer("OK");
        f.dialogs.answers = {bad};
        command(w, "ItmOpen")->trigger();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith("Can't open database: Sorry, MOX can't open this database."), qPrintable(boxes.texts[0]));
        QVERIFY2(boxes.texts[0].contains("bad.db"), qPrintable(boxes.texts[0]));
        if (content == "trigger")
            QVERIFY2(boxes.texts[0].contains("contains a trigger, \"wipe\", that this program will not run"), qPrintable(boxes.texts[0]));
        QCOMPARE(bytesOf(bad), before);
        QVERIFY(table(w).active());
        QCOMPARE(table(w).tableName(), QString("contents.db"));
        QCOMPARE(panel(w, 3), QString("contents"));
        QCOMPARE(table(w).recordCount(), 1);
    }

    void openAddsToRecentAndRemembersFolder()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        QDir(f.dir.path()).mkdir("other");
        {
            CatalogueTable t;
            t.setDatabaseName(f.dir.filePath("other"));
            t.setTableName("second.db");
            t.createTable();
            t.open();
            addRecord(t, "s.zip");
        }
        QVERIFY(!child<QMenu>(w, "ItmReopen")->menuAction()->isEnabled());
        f.dialogs.answers = {f.dir.filePath("other/second.db")};
        command(w, "ItmOpen")->trigger();
        QCOMPARE(table(w).tableName(), QString("second.db"));
        QCOMPARE(panel(w, 3), QString("second"));
        QCOMPARE(w.testSeam().recentList.entries(), QStringList{f.dir.filePath("other/second.db")});
        QVERIFY(child<QMenu>(w, "ItmReopen")->menuAction()->isEnabled());
        QCOMPARE(w.testSeam().settings.CurrentPaths[PathTask::OpenDatabase], f.dir.filePath("other") + "/");
        QVERIFY(!isModified(w));

        // Reopen the first through the list: it moves to the top, the list is numbered again.
        w.testSeam().recentList.AddFile(f.dir.filePath("contents.db"));
        w.testSeam().recentList.AddFile(f.dir.filePath("third.db"));
        QCOMPARE(child<QMenu>(w, "ItmReopen")->actions().size(), 3);
        child<QMenu>(w, "ItmReopen")->actions().at(1)->trigger(); // &2 contents.db
        QCOMPARE(table(w).tableName(), QString("contents.db"));
        QCOMPARE(w.testSeam().recentList.entries().first(), f.dir.filePath("contents.db"));
        QVERIFY(child<QMenu>(w, "ItmReopen")->actions().at(0)->text().startsWith("&1 "));
        // Open of a path already listed keeps its place.
        f.dialogs.answers = {f.dir.filePath("other/second.db")};
        command(w, "ItmOpen")->trigger();
        QCOMPARE(w.testSeam().recentList.entries().indexOf(f.dir.filePath("other/second.db")), 2);
    }

    void keepPathsOffLeavesFolders()
    {
        MainWindowFixture f;
        f.writeIni(ini(false));
        TfrmMain &w = f.start();
        const PathTable before = w.testSeam().settings.CurrentPaths;
        QDir(f.dir.path()).mkdir("x");
        f.dialogs.answers = {f.dir.filePath("x/new.db"), f.dir.filePath("x/missing.db")};
        addRecord(table(w), "a.zip");
        command(w, "ItmSaveAs")->trigger();
        ModalAnswer boxes;
        boxes.answer("OK");
        command(w, "ItmOpen")->trigger();
        QVERIFY(w.testSeam().settings.CurrentPaths == before);
    }

    void saveAsUntitledMovesIntoChosenFolder()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        command(w, "ItmNew")->trigger();
        QCOMPARE(table(w).tableName(), QString("untitled.db"));
        QCOMPARE(panel(w, 3), QString("untitled"));
        // An edit that was not posted yet goes along.
        table(w).edit();
        table(w).field(S::Archive).setAsString("u.zip");
        table(w).field(S::Product).setAsString("U");
        table(w).field(S::Type).setAsString("Unit");
        table(w).field(S::Status).setAsString("In use");
        QDir(f.dir.path()).mkdir("chosen");
        f.dialogs.answers = {f.dir.filePath("chosen/mine.db")};
        command(w, "ItmSaveAs")->trigger();
        QCOMPARE(f.dialogs.asked.last().title, QString("Save with a new name"));
        QVERIFY(f.dialogs.asked.last().confirmCreate);
        QVERIFY(QFile::exists(f.dir.filePath("chosen/mine.db")));
        QVERIFY(!QFile::exists(f.dir.filePath("untitled.db")));
        QCOMPARE(table(w).fullPath(), f.dir.filePath("chosen/mine.db"));
        QCOMPARE(panel(w, 3), QString("mine"));
        QCOMPARE(w.testSeam().recentList.entries(), QStringList{f.dir.filePath("chosen/mine.db")});
        QCOMPARE(table(w).recordCount(), 1);
        QVERIFY(!command(w, "ItmSave")->isEnabled());
        QCOMPARE(w.testSeam().settings.CurrentPaths[PathTask::SaveDatabase], f.dir.filePath("chosen") + "/");
    }

    void saveAsUntitledFailedMoveReopensIt()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        command(w, "ItmNew")->trigger();
        ModalAnswer boxes;
        boxes.answer("OK");
        f.dialogs.answers = {f.dir.filePath("no/such/folder/x.db")};
        command(w, "ItmSaveAs")->trigger();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(table(w).active());
        QCOMPARE(table(w).tableName(), QString("untitled.db"));
    }

    void saveAsNamedKeepsBothAndCarriesTheEdit()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip");
        table(w).edit();
        table(w).field(S::Guide).setAsString("seen");
        f.dialogs.answers = {f.dir.filePath("second.db")};
        command(w, "ItmSaveAs")->trigger();
        QCOMPARE(table(w).tableName(), QString("second.db"));
        QCOMPARE(table(w).field(S::Guide).asString(), QString("seen"));
        QVERIFY(QFile::exists(f.dir.filePath("contents.db")));
        QCOMPARE(countIn(f.dir.filePath("contents.db")), 1);
        QCOMPARE(w.testSeam().recentList.entries(), QStringList{f.dir.filePath("second.db")});
        // A copy that fails says so and keeps the catalogue open.
        ModalAnswer boxes;
        boxes.answer("OK");
        f.dialogs.answers = {f.dir.filePath("gone/third.db")};
        command(w, "ItmSaveAs")->trigger();
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(table(w).tableName(), QString("second.db"));
        QCOMPARE(w.testSeam().recentList.entries().size(), 1);
    }

    void saveOfUntitledGoesOnToSaveAs()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        command(w, "ItmNew")->trigger();
        addRecord(table(w), "a.zip");
        f.dialogs.answers = {QString()};
        command(w, "ItmSave")->trigger();
        QCOMPARE(f.dialogs.asked.size(), 1);
        QCOMPARE(table(w).tableName(), QString("untitled.db"));
    }

    void saveOnEmptyCatalogueNeedsArchive()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        command(w, "ItmNew")->trigger();
        ModalAnswer boxes;
        boxes.answer("OK");
        command(w, "ItmSave")->trigger();
        QCOMPARE(boxes.texts, QStringList{"Moxarium: Field 'Archive' must have a value."});
        QCOMPARE(table(w).state(), DataSetState::Insert);
        QVERIFY(f.dialogs.asked.isEmpty());
    }

    void newNeverDestroysRecordsWithoutAsking()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        command(w, "ItmNew")->trigger();
        command(w, "ItmNew")->trigger(); // an empty one is replaced without a question
        QCOMPARE(table(w).tableName(), QString("untitled.db"));
        addRecord(table(w), "keep.zip");
        ModalAnswer boxes;
        boxes.answer("No");
        command(w, "ItmNew")->trigger();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].contains("untitled.db already holds records. Replace it with an empty catalogue?"));
        QCOMPARE(table(w).recordCount(), 1);
        boxes.answer("Yes");
        command(w, "ItmNew")->trigger();
        QCOMPARE(table(w).recordCount(), 0);
    }

    void packPostsFirst()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        for (int i = 0; i < 20; ++i)
            addRecord(table(w), QString("r%1.zip").arg(i, 2, 10, QChar('0')));
        table(w).setRecNo(7);
        table(w).edit();
        table(w).field(S::Comments).setAsString("not lost");
        command(w, "ItmPack")->trigger();
        QVERIFY(table(w).active());
        QCOMPARE(table(w).recordCount(), 20);
        QCOMPARE(table(w).recNo(), 1);
        table(w).setRecNo(7);
        QCOMPARE(table(w).field(S::Comments).asString(), QString("not lost"));
    }

    void readOnlyCatalogueBrowses()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip");
        table(w).close();
        QFile::setPermissions(f.dir.filePath("contents.db"), QFile::ReadOwner | QFile::ReadGroup);
        f.dialogs.answers = {f.dir.filePath("contents.db")};
        command(w, "ItmOpen")->trigger();
        QVERIFY(table(w).active());
        QVERIFY(table(w).readOnly());
        child<DBEdit>(w, "edtProduct")->setFocus();
        table(w).edit();
        table(w).field(S::Product).setAsString("Changed");
        ModalAnswer boxes;
        boxes.answer("OK");
        command(w, "ItmSave")->trigger();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("read-only"), qPrintable(boxes.texts[0]));
        QCOMPARE(table(w).state(), DataSetState::Edit);
        QCOMPARE(table(w).field(S::Product).asString(), QString("Changed"));
        table(w).cancel();
        QFile::setPermissions(f.dir.filePath("contents.db"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void exitOffersSaveAsForUntitled()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        command(w, "ItmNew")->trigger();
        addRecord(table(w), "a.zip");
        child<DBEdit>(w, "edtOrigin")->setFocus();
        QTest::keyClicks(child<DBEdit>(w, "edtOrigin"), "x");
        QVERIFY(isModified(w));
        f.dialogs.answers = {QString(), QString()};
        command(w, "ItmExit")->trigger();
        // Save runs Save As (cancelled), then Exit offers Save As once more.
        QCOMPARE(f.dialogs.asked.size(), 2);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TstFileCommands)
#include "tst_file_commands.moc"
