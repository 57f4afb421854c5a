#include "tests/app/MainWindowFixture.h"

#include "app/StatusPanels.h"
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

void addRecord(CatalogueTable &t, const QString &archive, const QString &product = QStringLiteral("P"))
{
    t.append();
    t.field(S::Archive).setAsString(archive);
    t.field(S::Product).setAsString(product);
    t.field(S::Type).setAsString(QStringLiteral("Unit"));
    t.field(S::Status).setAsString(QStringLiteral("In use"));
    t.post();
}

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
        addRecord(w.tblContents, "a.zip");
        w.tblContents.edit();
        w.tblContents.field(S::Guide).setAsString("typed");
        w.ShowModified(true);
        f.dialogs.answers = {QString()};
        w.ItmOpenClick();
        QVERIFY(w.IsModified());
        QCOMPARE(w.tblContents.state(), DataSetState::Edit);
        QCOMPARE(f.dialogs.asked.size(), 1);
        const FileDialogRequest &r = f.dialogs.asked[0];
        QCOMPARE(r.title, QString("Open a MOX database"));
        QCOMPARE(r.filters, QStringList{"Paradox databases (*.db)"});
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
        addRecord(w.tblContents, "a.zip");
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
        w.ItmOpenClick();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith("Can't open database: Sorry, MOX can't open this database."), qPrintable(boxes.texts[0]));
        QVERIFY2(boxes.texts[0].contains("bad.db"), qPrintable(boxes.texts[0]));
        if (content == "trigger")
            QVERIFY2(boxes.texts[0].contains("contains a trigger, \"wipe\", that this program will not run"), qPrintable(boxes.texts[0]));
        QCOMPARE(bytesOf(bad), before);
        QVERIFY(w.tblContents.active());
        QCOMPARE(w.tblContents.tableName(), QString("contents.db"));
        QCOMPARE(w.statusBarPanels()->text(3), QString("contents"));
        QCOMPARE(w.tblContents.recordCount(), 1);
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
        QVERIFY(!w.ItmReopen->menuAction()->isEnabled());
        f.dialogs.answers = {f.dir.filePath("other/second.db")};
        w.ItmOpenClick();
        QCOMPARE(w.tblContents.tableName(), QString("second.db"));
        QCOMPARE(w.statusBarPanels()->text(3), QString("second"));
        QCOMPARE(w.recentList().entries(), QStringList{f.dir.filePath("other/second.db")});
        QVERIFY(w.ItmReopen->menuAction()->isEnabled());
        QCOMPARE(w.programSettings.CurrentPaths[PathTask::OpenDatabase], f.dir.filePath("other") + "/");
        QVERIFY(!w.IsModified());

        // Reopen the first through the list: it moves to the top, the list is numbered again.
        w.recentList().AddFile(f.dir.filePath("contents.db"));
        w.recentList().AddFile(f.dir.filePath("third.db"));
        QCOMPARE(w.ItmReopen->actions().size(), 3);
        w.ItmReopen->actions().at(1)->trigger(); // &2 contents.db
        QCOMPARE(w.tblContents.tableName(), QString("contents.db"));
        QCOMPARE(w.recentList().entries().first(), f.dir.filePath("contents.db"));
        QVERIFY(w.ItmReopen->actions().at(0)->text().startsWith("&1 "));
        // Open of a path already listed keeps its place.
        f.dialogs.answers = {f.dir.filePath("other/second.db")};
        w.ItmOpenClick();
        QCOMPARE(w.recentList().entries().indexOf(f.dir.filePath("other/second.db")), 2);
    }

    void keepPathsOffLeavesFolders()
    {
        MainWindowFixture f;
        f.writeIni(ini(false));
        TfrmMain &w = f.start();
        const PathTable before = w.programSettings.CurrentPaths;
        QDir(f.dir.path()).mkdir("x");
        f.dialogs.answers = {f.dir.filePath("x/new.db"), f.dir.filePath("x/missing.db")};
        addRecord(w.tblContents, "a.zip");
        w.ItmSaveAsClick();
        ModalAnswer boxes;
        boxes.answer("OK");
        w.ItmOpenClick();
        QVERIFY(w.programSettings.CurrentPaths == before);
    }

    void saveAsUntitledMovesIntoChosenFolder()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        w.ItmNewClick();
        QCOMPARE(w.tblContents.tableName(), QString("untitled.db"));
        QCOMPARE(w.statusBarPanels()->text(3), QString("untitled"));
        // An edit that was not posted yet goes along.
        w.tblContents.edit();
        w.tblContents.field(S::Archive).setAsString("u.zip");
        w.tblContents.field(S::Product).setAsString("U");
        w.tblContents.field(S::Type).setAsString("Unit");
        w.tblContents.field(S::Status).setAsString("In use");
        QDir(f.dir.path()).mkdir("chosen");
        f.dialogs.answers = {f.dir.filePath("chosen/mine.db")};
        w.ItmSaveAsClick();
        QCOMPARE(f.dialogs.asked.last().title, QString("Save with a new name"));
        QVERIFY(f.dialogs.asked.last().confirmCreate);
        QVERIFY(QFile::exists(f.dir.filePath("chosen/mine.db")));
        QVERIFY(!QFile::exists(f.dir.filePath("untitled.db")));
        QCOMPARE(w.tblContents.fullPath(), f.dir.filePath("chosen/mine.db"));
        QCOMPARE(w.statusBarPanels()->text(3), QString("mine"));
        QCOMPARE(w.recentList().entries(), QStringList{f.dir.filePath("chosen/mine.db")});
        QCOMPARE(w.tblContents.recordCount(), 1);
        QVERIFY(!w.ItmSave->isEnabled());
        QCOMPARE(w.programSettings.CurrentPaths[PathTask::SaveDatabase], f.dir.filePath("chosen") + "/");
    }

    void saveAsUntitledFailedMoveReopensIt()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        w.ItmNewClick();
        ModalAnswer boxes;
        boxes.answer("OK");
        f.dialogs.answers = {f.dir.filePath("no/such/folder/x.db")};
        w.ItmSaveAsClick();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(w.tblContents.active());
        QCOMPARE(w.tblContents.tableName(), QString("untitled.db"));
    }

    void saveAsNamedKeepsBothAndCarriesTheEdit()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(w.tblContents, "a.zip");
        w.tblContents.edit();
        w.tblContents.field(S::Guide).setAsString("seen");
        f.dialogs.answers = {f.dir.filePath("second.db")};
        w.ItmSaveAsClick();
        QCOMPARE(w.tblContents.tableName(), QString("second.db"));
        QCOMPARE(w.tblContents.field(S::Guide).asString(), QString("seen"));
        QVERIFY(QFile::exists(f.dir.filePath("contents.db")));
        QCOMPARE(countIn(f.dir.filePath("contents.db")), 1);
        QCOMPARE(w.recentList().entries(), QStringList{f.dir.filePath("second.db")});
        // A copy that fails says so and keeps the catalogue open.
        ModalAnswer boxes;
        boxes.answer("OK");
        f.dialogs.answers = {f.dir.filePath("gone/third.db")};
        w.ItmSaveAsClick();
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(w.tblContents.tableName(), QString("second.db"));
        QCOMPARE(w.recentList().entries().size(), 1);
    }

    void saveOfUntitledGoesOnToSaveAs()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        w.ItmNewClick();
        addRecord(w.tblContents, "a.zip");
        f.dialogs.answers = {QString()};
        w.ItmSaveClick();
        QCOMPARE(f.dialogs.asked.size(), 1);
        QCOMPARE(w.tblContents.tableName(), QString("untitled.db"));
    }

    void saveOnEmptyCatalogueNeedsArchive()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        w.ItmNewClick();
        ModalAnswer boxes;
        boxes.answer("OK");
        w.ItmSaveClick();
        QCOMPARE(boxes.texts, QStringList{"Moxarium: Field 'Archive' must have a value."});
        QCOMPARE(w.tblContents.state(), DataSetState::Insert);
        QVERIFY(f.dialogs.asked.isEmpty());
    }

    void newNeverDestroysRecordsWithoutAsking()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        w.ItmNewClick();
        w.ItmNewClick(); // an empty one is replaced without a question
        QCOMPARE(w.tblContents.tableName(), QString("untitled.db"));
        addRecord(w.tblContents, "keep.zip");
        ModalAnswer boxes;
        boxes.answer("No");
        w.ItmNewClick();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].contains("untitled.db already holds records. Replace it with an empty catalogue?"));
        QCOMPARE(w.tblContents.recordCount(), 1);
        boxes.answer("Yes");
        w.ItmNewClick();
        QCOMPARE(w.tblContents.recordCount(), 0);
    }

    void packPostsFirst()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        for (int i = 0; i < 20; ++i)
            addRecord(w.tblContents, QString("r%1.zip").arg(i, 2, 10, QChar('0')));
        w.tblContents.setRecNo(7);
        w.tblContents.edit();
        w.tblContents.field(S::Comments).setAsString("not lost");
        w.ItmPackClick();
        QVERIFY(w.tblContents.active());
        QCOMPARE(w.tblContents.recordCount(), 20);
        QCOMPARE(w.tblContents.recNo(), 1);
        w.tblContents.setRecNo(7);
        QCOMPARE(w.tblContents.field(S::Comments).asString(), QString("not lost"));
    }

    void readOnlyCatalogueBrowses()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(w.tblContents, "a.zip");
        w.tblContents.close();
        QFile::setPermissions(f.dir.filePath("contents.db"), QFile::ReadOwner | QFile::ReadGroup);
        f.dialogs.answers = {f.dir.filePath("contents.db")};
        w.ItmOpenClick();
        QVERIFY(w.tblContents.active());
        QVERIFY(w.tblContents.readOnly());
        w.edtProduct->setFocus();
        w.tblContents.edit();
        w.tblContents.field(S::Product).setAsString("Changed");
        ModalAnswer boxes;
        boxes.answer("OK");
        w.ItmSaveClick();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("read-only"), qPrintable(boxes.texts[0]));
        QCOMPARE(w.tblContents.state(), DataSetState::Edit);
        QCOMPARE(w.tblContents.field(S::Product).asString(), QString("Changed"));
        w.tblContents.cancel();
        QFile::setPermissions(f.dir.filePath("contents.db"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void exitOffersSaveAsForUntitled()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        w.ItmNewClick();
        addRecord(w.tblContents, "a.zip");
        w.edtOrigin->setFocus();
        QTest::keyClicks(w.edtOrigin, "x");
        QVERIFY(w.IsModified());
        f.dialogs.answers = {QString(), QString()};
        w.ItmExitClick();
        // Save runs Save As (cancelled), then Exit offers Save As once more.
        QCOMPARE(f.dialogs.asked.size(), 2);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TstFileCommands)
#include "tst_file_commands.moc"
