// What the user typed survives every way of leaving a record, the Exit rule never
// deletes records, and paths and panels follow what is really open.

#include "tests/app/MainWindowFixture.h"

#include "tests/common/CatalogueFixture.h"
#include "tests/common/FileSizeLimit.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace S = CatalogueSchema;

namespace {


// One field of the record with that archive, read straight from the file.
QString stored(const QString &path, const QString &column, const QString &archive)
{
    const fixture::RawDb db(path);
    const QStringList rows = db.rows(QStringLiteral("SELECT \"%1\" FROM catalogue WHERE Archive = '%2'").arg(column, archive));
    return rows.value(0, QStringLiteral("<no record>"));
}

int storedCount(const QString &path)
{
    const fixture::RawDb db(path);
    return db.rows(QStringLiteral("SELECT count(*) FROM catalogue")).value(0, QStringLiteral("-1")).toInt();
}

QByteArray recordView(const QByteArray &extra = {})
{
    return "[Program]\nSaveInterface=1\nSaveRecNo=1\nKeepPaths=1\nInitPaths=0\n[View]\nGrid=0\n" + extra
         + "[TypeDefs]\nType0=Component\nType1=Unit\n[StatusDefs]\nStatus0=In use\n";
}

void clickInto(QWidget *control)
{
    QWidget *target = control;
    if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        target = memo->viewport();
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
}


} // namespace

class TstKeepingEdits : public QObject
{
    Q_OBJECT

private slots:
    // The commands that leave the catalogue post what the record buffer holds,
    // whatever the modified indicator was made to show on the way.
    void leavingKeepsTheTyping_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("leave");
        for (const char *edit : {"guide, clear an empty box", "product, browse an archive"}) {
            for (const char *leave : {"close box", "Exit", "Open", "Reopen", "New"})
                QTest::addRow("%s; %s", edit, leave) << QString::fromLatin1(edit) << QString::fromLatin1(leave);
        }
    }

    void leavingKeepsTheTyping()
    {
        QFETCH(QString, edit);
        QFETCH(QString, leave);
        MainWindowFixture f;
        const QString contents = f.dir.filePath("contents.db");
        const QString other = f.dir.filePath("other.db");
        fixture::makeCatalogueFile(f.folder(), "contents.db", {{"a.zip", "Alpha", "Unit", "In use", ""}});
        fixture::makeCatalogueFile(f.folder(), "other.db", {{"o.zip", "Other", "Unit", "In use", ""}});
        f.writeIni(recordView("[History]\nFile0=" + other.toUtf8() + "\n"));
        TfrmMain &w = f.start();
        QCOMPARE(panel(w, 0), QString("Record 1 of 1"));

        if (edit.startsWith("guide")) {
            auto *guide = child<DBMemo>(w, "memGuide");
            clickInto(guide);
            QTest::keyClicks(guide, "typed guide");
            clickInto(child<DBMemo>(w, "memComments"));
            command(w, "ItmClearAll")->trigger();
        } else {
            auto *product = child<DBEdit>(w, "edtProduct");
            clickInto(product);
            QTest::keyClick(product, Qt::Key_End);
            QTest::keyClicks(product, "X");
            f.dialogs.answers = {f.dir.filePath("zips/tools.zip")};
            QTest::mouseClick(child<QToolButton>(w, "sbBrowse"), Qt::LeftButton);
            QCOMPARE(child<DBEdit>(w, "edtArchive")->text(), QString("tools.zip"));
        }
        // A whole text set by the program does not make the changed record unchanged.
        QCOMPARE(panel(w, 1), QString("Modified"));

        if (leave == "close box") {
            QVERIFY(w.close());
        } else if (leave == "Exit") {
            command(w, "ItmExit")->trigger();
            QVERIFY(!w.isVisible());
        } else if (leave == "Open") {
            f.dialogs.answers = {other};
            command(w, "ItmOpen")->trigger();
            QCOMPARE(panel(w, 3), QString("other"));
        } else if (leave == "Reopen") {
            QMenu *reopen = child<QMenu>(w, "ItmReopen");
            QVERIFY(!reopen->actions().isEmpty());
            reopen->actions().first()->trigger();
            QCOMPARE(panel(w, 3), QString("other"));
        } else {
            command(w, "ItmNew")->trigger();
            QCOMPARE(panel(w, 3), QString("untitled"));
        }

        if (edit.startsWith("guide")) {
            QCOMPARE(stored(contents, "Guide", "a.zip"), QString("typed guide"));
        } else {
            QCOMPARE(stored(contents, "Product", "tools.zip"), QString("AlphaX"));
            QCOMPARE(storedCount(contents), 1);
        }
    }

    // Clear All changes the record as typing does: what the box shows is stored.
    void clearAllIsStored()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "contents.db", {{"a.zip", "Alpha", "Unit", "In use", "www.a.org"}});
        f.writeIni(recordView());
        TfrmMain &w = f.start();
        auto *origin = child<DBEdit>(w, "edtOrigin");
        clickInto(origin);
        command(w, "ItmClearAll")->trigger();
        QCOMPARE(origin->text(), QString());
        QCOMPARE(panel(w, 1), QString("Modified"));
        QVERIFY(!command(w, "ItmUndo")->isEnabled());
        QVERIFY(w.close());
        QCOMPARE(stored(f.dir.filePath("contents.db"), "Origin", "a.zip"), QString());
    }

    // An archive name longer than the field is kept whole in the box and refused
    // when stored, naming the field; nothing is cut without a word.
    void longArchiveNameIsRefusedNotCut()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "contents.db", {{"a.zip", "Alpha", "Unit", "In use", ""}});
        f.writeIni(recordView());
        TfrmMain &w = f.start();
        const QString longName = QStringLiteral("a-rather-long-archive-name-for-a-product-123.zip");
        QCOMPARE(longName.size(), 48);
        f.dialogs.answers = {f.dir.filePath(longName)};
        QTest::mouseClick(child<QToolButton>(w, "sbBrowse"), Qt::LeftButton);
        QCOMPARE(child<DBEdit>(w, "edtArchive")->text(), longName);

        ModalAnswer boxes;
        boxes.answer("OK");
        QTest::mouseClick(child<DBNavigator>(w, "navContents")->button(DBNavigator::Post), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("'Archive' is 48 characters long"), qPrintable(boxes.texts[0]));
        QCOMPARE(child<DBEdit>(w, "edtArchive")->text(), longName);
        QCOMPARE(stored(f.dir.filePath("contents.db"), "Product", "a.zip"), QString("Alpha"));
        QTest::mouseClick(child<DBNavigator>(w, "navContents")->button(DBNavigator::Cancel), Qt::LeftButton);
    }

    // Two copies of the program change one record: the second store is refused with
    // its reason, the typing stays, and Cancel shows what the other copy stored.
    void storeOfARecordChangedElsewhereIsRefused()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "contents.db", {{"a.zip", "Alpha", "Unit", "In use", ""}});
        f.writeIni(recordView());
        TfrmMain &w = f.start();
        auto *comments = child<DBMemo>(w, "memComments");
        clickInto(comments);
        QTest::keyClicks(comments, "mine");
        {
            CatalogueTable other;
            other.setDatabaseName(f.folder());
            other.setTableName("contents.db");
            other.open();
            other.edit();
            other.field(S::Comments).setAsString("theirs");
            other.post();
        }
        ModalAnswer boxes;
        boxes.answer("OK");
        auto *nav = child<DBNavigator>(w, "navContents");
        QTest::mouseClick(nav->button(DBNavigator::Post), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], QString("Moxarium: The record was changed by another program since you began editing it."));
        QCOMPARE(comments->text(), QString("mine"));
        QCOMPARE(panel(w, 1), QString("Modified"));
        QCOMPARE(stored(f.dir.filePath("contents.db"), "Comments", "a.zip"), QString("theirs"));
        QTest::mouseClick(nav->button(DBNavigator::Cancel), Qt::LeftButton);
        QCOMPARE(comments->text(), QString("theirs"));
    }

    // The empty-catalogue rule at exit counts what the file holds then, and keeps
    // the file when it cannot tell.
    void exitKeepsRecordsAddedElsewhere_data()
    {
        QTest::addColumn<bool>("grid");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("record view, another program adds") << false << false;
        QTest::newRow("grid view, another program adds") << true << false;
        QTest::newRow("record view, count unreadable") << false << true;
    }

    void exitKeepsRecordsAddedElsewhere()
    {
        QFETCH(bool, grid);
        QFETCH(bool, unreadable);
        MainWindowFixture f;
        f.writeIni(grid ? QByteArray("[View]\nGrid=1\n") : recordView());
        TfrmMain &w = f.start();
        const QString contents = f.dir.filePath("contents.db");
        QCOMPARE(panel(w, 0), QString("Record 0 of 0"));
        QByteArray garbage;
        if (unreadable) {
            garbage = QByteArray("this is no longer a catalogue\n").repeated(40);
            fixture::writeFile(contents, garbage);
        } else {
            CatalogueTable elsewhere;
            elsewhere.setDatabaseName(f.folder());
            elsewhere.setTableName("contents.db");
            elsewhere.open();
            fixture::addRecord(elsewhere, {"e.zip", "Elsewhere", "Unit", "In use", ""});
        }
        command(w, "ItmExit")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(contents));
        if (unreadable)
            QCOMPARE(fixture::fileBytes(contents), garbage);
        else
            QCOMPARE(stored(contents, "Product", "e.zip"), QString("Elsewhere"));
    }

    // New asks before replacing an untitled.db with records, however the folder of
    // the Save DataBase task was written.
    void newAsksWhateverTheFolderSpelling()
    {
        MainWindowFixture f;
        QVERIFY(QDir(f.dir.path()).mkdir("saves"));
        const QString saves = f.dir.filePath("saves"); // no trailing separator, as typed
        fixture::makeCatalogueFile(saves, "untitled.db", {{"u.zip", "Kept", "Unit", "In use", ""}});
        f.writeIni(recordView("[Paths]\nSaveAs=" + saves.toUtf8() + "\n"));
        TfrmMain &w = f.start();
        ModalAnswer boxes;
        boxes.answer("No");
        command(w, "ItmNew")->trigger();
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("untitled.db already holds records"), qPrintable(boxes.texts[0]));
        QCOMPARE(storedCount(saves + "/untitled.db"), 1);
        QCOMPARE(panel(w, 3), QString("contents"));
    }

    // When New cannot make the catalogue but opens the untitled.db that is there,
    // the status bar names what is open.
    void failedNewNamesWhatIsOpen()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "untitled.db", {});
        f.writeIni(recordView());
        TfrmMain &w = f.start();
        QCOMPARE(panel(w, 3), QString("contents"));
        ModalAnswer boxes;
        boxes.answer("OK");
        {
            const FileSizeLimit limit(512); // the new file cannot be written
            command(w, "ItmNew")->trigger();
        }
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(panel(w, 3), QString("untitled"));
        QCOMPARE(panel(w, 0), QString("Record 0 of 0"));
    }

    // After a title click the panel shows where the current record now stands, and
    // the navigator offers the moves that exist from there.
    void sortShowsTheNewPosition()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "contents.db",
                      {{"a.zip", "Delta", "Unit", "In use", ""}, {"b.zip", "Alpha", "Unit", "In use", ""},
                       {"c.zip", "Charlie", "Unit", "In use", ""}, {"d.zip", "Bravo", "Unit", "In use", ""}});
        f.writeIni("[View]\nGrid=1\n");
        TfrmMain &w = f.start();
        auto *grid = child<DBGrid>(w, "grdContents");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(panel(w, 0), QString("Record 4 of 4")); // d.zip, Bravo

        QHeaderView *header = grid->horizontalHeader();
        const auto clickTitle = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickTitle(1); // Product, ascending: Alpha, Bravo, Charlie, Delta
        QCOMPARE(panel(w, 0), QString("Record 2 of 4"));
        clickTitle(1); // descending: Delta, Charlie, Bravo, Alpha
        QCOMPARE(panel(w, 0), QString("Record 3 of 4"));

        command(w, "ItmRecord")->trigger();
        QCOMPARE(child<DBEdit>(w, "edtProduct")->text(), QString("Bravo"));
        auto *nav = child<DBNavigator>(w, "navContents");
        for (DBNavigator::Button b : {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last})
            QVERIFY2(nav->button(b)->isEnabled(), QMetaEnum::fromType<DBNavigator::Button>().valueToKey(b));
        QTest::mouseClick(nav->button(DBNavigator::Next), Qt::LeftButton);
        QCOMPARE(child<DBEdit>(w, "edtProduct")->text(), QString("Alpha"));
        QCOMPARE(panel(w, 0), QString("Record 4 of 4"));
    }
};

QTEST_MAIN(TstKeepingEdits)
#include "tst_keeping_edits.moc"
