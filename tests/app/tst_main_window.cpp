// The main window as a whole: its views and the switch between them, sorting by a
// column title, the resize rule and the hints in the status bar.

#include "tests/app/MainWindowFixture.h"

#include "app/MainLayout.h"
#include "catalogue/CatalogueTable.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QDialog>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace S = CatalogueSchema;

namespace {



void clickTitle(TfrmMain &w, int column)
{
    QHeaderView *header = child<DBGrid>(w, "grdContents")->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT

private slots:
    // Tests and tools find every control and menu item by its design name, once.
    void everyControlCarriesItsDesignName()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        const QStringList names = QStringLiteral(
            "ItmFile ItmNew ItmOpen ItmReopen ItmSave ItmSaveAs ItmPack ItmExit ItmEdit ItmUndo ItmCut ItmCopy "
            "ItmPaste ItmSelectAll ItmClearAll ItmView ItmGrid ItmRecord ItmOptions ItmFind ItmPhrases ItmSettings "
            "ItmHelp ItmContents ItmAbout mnuMemos Itm_Phrases Itm_Undo Itm_Cut Itm_Copy Itm_Paste Itm_SelectAll "
            "Itm_ClearAll pnlToolbar sbNew sbOpen sbSave sbUndo sbCut sbCopy sbPaste sbPhrases sbSettings sbSearch "
            "sbHelp bvlSplitToolbar navContents nbContents grdContents pnlDetails grpDescription grpProperties "
            "grpBitmaps grpInfo pnlMOX btnMOX pnlBrowse sbBrowse lblArchive edtArchive lblProduct edtProduct lblType "
            "cbbType lblOrigin edtOrigin lblStatus cbbStatus cbD1 cbD2 cbD3 cbCB cbSource lblOriginal lblCurrent "
            "imgOriginal imgCurrent sbLoadOriginal sbLoadCurrent sbCaptureOriginal sbCaptureCurrent lblGuide memGuide "
            "lblComments memComments stsMOX").split(u' ');
        // The dialogs carry their own design names, some the same as the window's.
        const auto inDialog = [](const QObject *o) {
            for (const QObject *p = o->parent(); p; p = p->parent())
                if (qobject_cast<const QDialog *>(p))
                    return true;
            return false;
        };
        for (const QString &name : names) {
            QList<QObject *> found = w.findChildren<QObject *>(name);
            found.removeIf(inDialog);
            QVERIFY2(found.size() == 1, qPrintable(name));
        }
    }

    void viewSwitchCommandStates()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start(); // grid view
        addRecord(table(w), "a.zip", "Alpha", "Unit");
        for (const char *name : {"ItmUndo", "ItmCut", "ItmCopy", "ItmSelectAll", "ItmClearAll", "ItmPaste"})
            QVERIFY2(!command(w, name)->isEnabled(), name);
        QVERIFY(!child<QToolButton>(w, "sbUndo")->isEnabled());
        command(w, "ItmRecord")->trigger();
        QCOMPARE(currentPage(w), 1);
        QVERIFY(command(w, "ItmCut")->isEnabled() && command(w, "ItmCopy")->isEnabled());
        QVERIFY(command(w, "ItmSelectAll")->isEnabled() && command(w, "ItmClearAll")->isEnabled());
        QVERIFY(!command(w, "ItmUndo")->isEnabled());
        QVERIFY(child<DBNavigator>(w, "navContents")->isEnabled());
        QVERIFY(!w.testSeam().settings.Grid);
        // Choosing the view that shows changes nothing.
        w.testSeam().commands.EnableCutCopy(false);
        command(w, "ItmRecord")->trigger();
        QVERIFY(!command(w, "ItmCut")->isEnabled());
        QVERIFY(command(w, "ItmRecord")->isChecked());
        // A switch writes the record and clears the indicator.
        QTest::keyClicks(child<DBEdit>(w, "edtProduct"), "X");
        QVERIFY(isModified(w));
        command(w, "ItmGrid")->trigger();
        QVERIFY(!isModified(w));
        QVERIFY(w.testSeam().settings.Grid);
        table(w).first();
        QCOMPARE(table(w).field(S::Product).asString(), QString("AlphaX"));
    }

    void failedSwitchStaysOnRecordPage()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip", "Alpha", "Unit");
        table(w).edit();
        table(w).field(S::Status).clear();
        ModalAnswer boxes;
        boxes.answer("OK");
        command(w, "ItmGrid")->trigger();
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(currentPage(w), 1);
        QVERIFY(command(w, "ItmRecord")->isChecked());
        QVERIFY(!command(w, "ItmGrid")->isChecked());
        QVERIFY(child<DBNavigator>(w, "navContents")->isEnabled());
        QVERIFY(!w.testSeam().settings.Grid);
        QVERIFY(!table(w).controlsDisabled());
        QCOMPARE(table(w).state(), DataSetState::Edit);
        // Once the record can be written the switch goes through.
        table(w).field(S::Status).setAsString("In use");
        command(w, "ItmGrid")->trigger();
        QCOMPARE(currentPage(w), 0);
    }

    void titleClicksSortUpAndDown()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        addRecord(table(w), "b.zip", "beta", "Unit");
        addRecord(table(w), "a.zip", "Gamma", "Unit");
        addRecord(table(w), "c.zip", "Alpha", "Unit");
        table(w).setRecNo(2); // b.zip, beta
        clickTitle(w, 1);     // Product
        QCOMPARE(table(w).indexName(), QString("idx_Product_Up"));
        QCOMPARE(table(w).field(S::Product).asString(), QString("beta"));
        QCOMPARE(table(w).recNo(), 2);
        clickTitle(w, 1);
        QCOMPARE(table(w).indexName(), QString("idx_Product_Down"));
        clickTitle(w, 4); // Status
        QCOMPARE(table(w).indexName(), QString("idx_Status_Up"));
        clickTitle(w, 5); // D1 sorts nothing
        QCOMPARE(table(w).indexName(), QString("idx_Status_Up"));
        QVERIFY(!table(w).controlsDisabled());
    }

    void resizeRule_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<QList<int>>("expected"); // toolbar, divider, navigator, notebook h, info h, memo h, comments top, status top
        QTest::newRow("design") << 632 << 434 << QList<int>{620, 386, 395, 365, 207, 90, 108, 409};
        QTest::newRow("small") << 400 << 300 << QList<int>{526, 292, 301, 275, 117, 45, 63, 319};
        QTest::newRow("height 344") << 700 << 344 << QList<int>{688, 454, 463, 275, 117, 45, 63, 319};
        QTest::newRow("height 345") << 700 << 345 << QList<int>{688, 454, 463, 276, 118, 45, 63, 320};
    }

    void resizeRule()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(QList<int>, expected);
        const MainLayout l = MainLayout::forClient(w, h);
        QCOMPARE((QList<int>{l.toolbarWidth, l.dividerLeft, l.navigatorLeft, l.notebookHeight, l.infoHeight,
                             l.memoHeight, l.commentsTop, l.statusTop}),
                 expected);
        QCOMPARE(l.memoWidth, l.infoWidth - 87);
    }

    void windowFollowsResizeRule()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        w.centralWidget()->resize(632, 434);
        QCOMPARE(child<QFrame>(w, "pnlToolbar")->width(), 620);
        QCOMPARE(child<DBNavigator>(w, "navContents")->x(), 395);
        QCOMPARE(child<QStackedWidget>(w, "nbContents")->height(), 365);
        QCOMPARE(child<DBMemo>(w, "memComments")->geometry(), QRect(78, 108, 516, 90));
        QCOMPARE(child<StatusPanels>(w, "stsMOX")->y(), 409);
        QDir().mkpath("artifacts");
        w.grab().save("artifacts/main-grid.png");
        command(w, "ItmRecord")->trigger();
        w.grab().save("artifacts/main-record.png");
        w.centralWidget()->resize(400, 300);
        QCOMPARE(child<QFrame>(w, "pnlToolbar")->width(), 526);
        QCOMPARE(child<QStackedWidget>(w, "nbContents")->height(), 275);
    }

    void hintsReachTheStatusBar()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        auto *sbNew = child<QToolButton>(w, "sbNew");
        auto *archive = child<DBEdit>(w, "edtArchive");
        QCOMPARE(sbNew->toolTip(), QString("New"));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(sbNew, &enter);
        QCOMPARE(panel(w, 2), QString("Open a new MOX database."));
        command(w, "ItmNew")->showStatusText(&w);
        QCOMPARE(panel(w, 2), QString("Create a new MOX database."));
        // A hint that begins with the bar has no tool tip.
        QCOMPARE(archive->toolTip(), QString());
        QApplication::sendEvent(archive, &enter);
        QCOMPARE(panel(w, 2), QString("The name of the archive that contains the product."));
        QCOMPARE(w.testSeam().commands.panelText(CommandState::HintPanel), panel(w, 2));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(archive, &leave);
        QCOMPARE(panel(w, 2), QString());
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
