// Start-up and shutdown: a first start, what is kept for the next start, the Exit
// command and the close box, and what the user is told about the settings.

#include "tests/app/MainWindowFixture.h"

#include "catalogue/CatalogueTable.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

namespace S = CatalogueSchema;

namespace {



} // namespace

class TstStartupShutdown : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWithoutSettings()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        QVERIFY(QFile::exists(f.ini()));
        QVERIFY(QFile::exists(f.dir.filePath("contents.db")));
        QVERIFY(table(w).active());
        QCOMPARE(currentPage(w), 0);
        QVERIFY(command(w, "ItmGrid")->isChecked());
        QVERIFY(!command(w, "ItmRecord")->isChecked());
        QVERIFY(!child<DBNavigator>(w, "navContents")->isEnabled());
        auto *grid = child<DBGrid>(w, "grdContents");
        QStringList titles;
        for (int c = 0; c < 10; ++c) {
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
            QCOMPARE(grid->columnWidth(c), 40);
        }
        QCOMPARE(titles, (QStringList{"Archive", "Product", "Type", "Origin", "Status", "D1", "D2", "D3", "CB", "Source"}));
        QCOMPARE(panel(w, 0), QString("Record 0 of 0"));
        QCOMPARE(panel(w, 1), QString());
        QCOMPARE(panel(w, 3), QString("contents"));
        QVERIFY(w.startupMessages().isEmpty());
        // The empty catalogue is not kept at exit; the settings still name it.
        f.stop();
        QVERIFY(!QFile::exists(f.dir.filePath("contents.db")));
        QVERIFY(f.readIni().contains("TableName=contents.db"));
        // The next start makes it again instead of greeting the user with an error.
        TfrmMain &again = f.start();
        QVERIFY(table(again).active());
        QVERIFY(again.startupMessages().isEmpty());
    }

    void editPostExitRestart()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        QCOMPARE(currentPage(w), 1);
        QVERIFY(child<DBNavigator>(w, "navContents")->isEnabled());
        addRecord(table(w), "a.zip", "Alpha", "Unit");
        addRecord(table(w), "b.zip", "Beta", "Component");
        table(w).setRecNo(1);
        // Typing into the record page writes the record.
        auto *origin = child<DBEdit>(w, "edtOrigin");
        origin->setFocus();
        QTest::keyClicks(origin, "www.a.org");
        QVERIFY(isModified(w));
        QVERIFY(command(w, "ItmSave")->isEnabled());
        child<DBNavigator>(w, "navContents")->run(DBNavigator::Next);
        QCOMPARE(panel(w, 0), QString("Record 2 of 2"));
        command(w, "ItmExit")->trigger();
        f.stop();

        TfrmMain &again = f.start();
        QCOMPARE(currentPage(again), 1);
        QCOMPARE(table(again).recNo(), 2);
        table(again).setRecNo(1);
        QCOMPARE(table(again).field(S::Origin).asString(), QString("www.a.org"));
    }

    void closeBoxPostsTheRecord()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip", "Alpha", "Unit");
        auto *origin = child<DBEdit>(w, "edtOrigin");
        origin->setFocus();
        QTest::keyClicks(origin, "kept");
        QVERIFY(w.close());
        f.window.reset();
        TfrmMain &again = f.start();
        table(again).first();
        QCOMPARE(table(again).field(S::Origin).asString(), QString("kept"));

        // A post that fails keeps the window open, with the message.
        auto *product = child<DBEdit>(again, "edtProduct");
        product->setFocus();
        QTest::keyClicks(product, "x");
        table(again).field(S::Status).clear();
        ModalAnswer boxes;
        boxes.answer("OK");
        again.show();
        QVERIFY(!again.close());
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(again.isVisible());
        table(again).cancel();
    }

    void exitWithoutCatalogueCloses()
    {
        MainWindowFixture f;
        // A folder that cannot hold the catalogue: start-up reports it, no catalogue is open.
        f.writeIni("[View]\nDatabaseName=" + f.dir.filePath("missing/folder/").toUtf8() + "\nTableName=x.db\n");
        TfrmMain &w = f.start();
        QVERIFY(!table(w).active());
        QVERIFY(w.startupMessages().contains("does not exist"));
        // The design-time texts stay: start-up ended before it set them.
        QCOMPARE(panel(w, 1), QString("Modified"));
        QVERIFY(isModified(w));
        QVERIFY(w.isVisible());
        command(w, "ItmExit")->trigger();
        QVERIFY(!w.isVisible());
    }

    void badSettingsAreReportedOnce()
    {
        MainWindowFixture f;
        f.writeIni("[View]\nWindowPosition=10,20,abc\nGrid=1\nIndexName=idx_Nothing\n[Grid]\nColumn0=3,120\n"
                   "Column1=44,10\n[TypeDefs]\nType0=Unit\n");
        TfrmMain &w = f.start();
        const QString told = w.startupMessages();
        QVERIFY(told.contains("WindowPosition"));
        QVERIFY(told.contains("Column1"));
        // The unknown order is told first, then the values that could not be used.
        QVERIFY2(told.indexOf("idx_Nothing") >= 0 && told.indexOf("idx_Nothing") < told.indexOf("WindowPosition"),
                 qPrintable(told));
        QVERIFY(table(w).active());
        auto *grid = child<DBGrid>(w, "grdContents");
        QCOMPARE(grid->columnField(0), int(S::Origin));
        QCOMPARE(grid->columnWidth(0), 120);
        QCOMPARE(child<DBComboBox>(w, "cbbType")->pickItems(), QStringList{"Unit"});
    }

    // A settings file written on Windows keeps its encoding; a pick-list entry it
    // cannot hold makes it UTF-8, and the user is told once.
    void settingsEncodingNoticeAtExit()
    {
        MainWindowFixture f;
        f.writeIni(QByteArray("[Program]\nSaveInterface=1\n[View]\nGrid=0\n[Phrases]\nPhrase0=Caf\xe9 cr\xe8me\n"
                              "[TypeDefs]\nType0=Unit\n"));
        TfrmMain &w = f.start();
        auto *type = child<DBComboBox>(w, "cbbType");
        type->setFocus();
        // A key the test keyboard has no name for, as a Greek layout types it.
        QTest::sendKeyEvent(QTest::Click, type->lineEdit(), Qt::Key_unknown, QString::fromUtf8("\u03a9"), Qt::NoModifier);
        QTest::keyClicks(type->lineEdit(), "mega");
        child<DBEdit>(w, "edtOrigin")->setFocus();
        QVERIFY(type->pickItems().contains(QString::fromUtf8("\u03a9mega")));
        table(w).cancel();
        QVERIFY(w.close());
        QVERIFY2(w.startupMessages().contains("was written in UTF-8"), qPrintable(w.startupMessages()));
        f.window.reset();
        const QByteArray written = f.readIni();
        QVERIFY2(written.contains(QString::fromUtf8("Caf\u00e9 cr\u00e8me").toUtf8()), written.constData());
        QVERIFY(written.contains(QString::fromUtf8("\u03a9mega").toUtf8()));
    }
};

QTEST_MAIN(TstStartupShutdown)
#include "tst_startup_shutdown.moc"
