#include "tests/app/MainWindowFixture.h"

#include "app/MainLayout.h"
#include "app/StatusPanels.h"
#include "catalogue/CatalogueTable.h"
#include "settings/NormalizeText.h"
#include "widgets/data/DBCheckBox.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QGroupBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace S = CatalogueSchema;

namespace {

void addRecord(TfrmMain &w, const QString &archive, const QString &product, const QString &type,
               const QString &status = QStringLiteral("In use"))
{
    CatalogueTable &t = w.tblContents;
    t.append();
    t.field(S::Archive).setAsString(archive);
    t.field(S::Product).setAsString(product);
    t.field(S::Type).setAsString(type);
    t.field(S::Status).setAsString(status);
    t.post();
}

QByteArray recordViewIni(const QByteArray &extra = {})
{
    return "[Program]\nSaveInterface=1\nSaveRecNo=1\nKeepPaths=1\n[View]\nGrid=0\n" + extra
         + "[TypeDefs]\nType0=Component\nType1=Unit\n[StatusDefs]\nStatus0=In use\n";
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWithoutSettings()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        QVERIFY(QFile::exists(f.ini()));
        QVERIFY(QFile::exists(f.dir.filePath("contents.db")));
        QVERIFY(w.tblContents.active());
        QCOMPARE(w.notebook()->currentIndex(), 0);
        QVERIFY(w.ItmGrid->isChecked());
        QVERIFY(!w.ItmRecord->isChecked());
        QVERIFY(!w.navContents->isEnabled());
        QStringList titles;
        for (int c = 0; c < 10; ++c) {
            titles << w.grdContents->model()->headerData(c, Qt::Horizontal).toString();
            QCOMPARE(w.grdContents->columnWidth(c), 40);
        }
        QCOMPARE(titles, (QStringList{"Archive", "Product", "Type", "Origin", "Status", "D1", "D2", "D3", "CB", "Source"}));
        QCOMPARE(w.statusBarPanels()->text(0), QString("Record 0 of 0"));
        QCOMPARE(w.statusBarPanels()->text(1), QString());
        QCOMPARE(w.statusBarPanels()->text(3), QString("contents"));
        QVERIFY(w.startupMessages().isEmpty());
        // The empty catalogue is not kept at exit; the settings still name it.
        f.stop();
        QVERIFY(!QFile::exists(f.dir.filePath("contents.db")));
        QVERIFY(f.readIni().contains("TableName=contents.db"));
        // The next start makes it again instead of greeting the user with an error.
        TfrmMain &again = f.start();
        QVERIFY(again.tblContents.active());
        QVERIFY(again.startupMessages().isEmpty());
    }

    void editPostExitRestart()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        QCOMPARE(w.notebook()->currentIndex(), 1);
        QVERIFY(w.navContents->isEnabled());
        addRecord(w, "a.zip", "Alpha", "Unit");
        addRecord(w, "b.zip", "Beta", "Component");
        w.tblContents.setRecNo(1);
        // Typing into the record page writes the record.
        w.edtOrigin->setFocus();
        QTest::keyClicks(w.edtOrigin, "www.a.org");
        QVERIFY(w.IsModified());
        QVERIFY(w.ItmSave->isEnabled());
        w.navContents->run(DBNavigator::Next);
        QCOMPARE(w.statusBarPanels()->text(0), QString("Record 2 of 2"));
        w.ItmExitClick();
        f.stop();

        TfrmMain &again = f.start();
        QCOMPARE(again.notebook()->currentIndex(), 1);
        QCOMPARE(again.tblContents.recNo(), 2);
        again.tblContents.setRecNo(1);
        QCOMPARE(again.tblContents.field(S::Origin).asString(), QString("www.a.org"));
    }

    void keyViolationAndRequiredField()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(w, "a.zip", "Alpha", "Unit");
        ModalAnswer boxes;
        boxes.answer("OK");
        w.tblContents.append();
        w.edtArchive->setFocus();
        QTest::keyClicks(w.edtArchive, "a.zip");
        w.tblContents.field(S::Product).setAsString("Alpha");
        w.tblContents.field(S::Type).setAsString("Unit");
        w.tblContents.field(S::Status).setAsString("Testing");
        w.navContents->run(DBNavigator::Post);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("Posting this record causes a key violation!"), qPrintable(boxes.texts[0]));
        QCOMPARE(w.tblContents.state(), DataSetState::Insert);
        QCOMPARE(w.tblContents.field(S::Status).asString(), QString("Testing"));
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.edtArchive));

        boxes.answer("OK");
        w.tblContents.field(S::Type).setAsString("Tool");
        w.tblContents.field(S::Status).clear();
        w.navContents->run(DBNavigator::Post);
        QTRY_COMPARE(boxes.texts.size(), 2);
        QCOMPARE(boxes.texts[1], QString("Moxarium: Field 'Status' must have a value."));
        QCOMPARE(w.tblContents.state(), DataSetState::Insert);
    }

    void deleteAsksFirst()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(w, "a.zip", "Alpha", "Unit");
        addRecord(w, "b.zip", "Beta", "Unit");
        ModalAnswer boxes;
        boxes.answer("No");
        w.navContents->run(DBNavigator::Delete);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].startsWith("Delete record: "));
        QCOMPARE(w.tblContents.recordCount(), 2);
        boxes.answer("Yes");
        w.navContents->run(DBNavigator::Delete);
        QTRY_COMPARE(w.tblContents.recordCount(), 1);
        // Deleting the only record leaves a blank new one being edited, flags false.
        boxes.answer("Yes");
        w.navContents->run(DBNavigator::Delete);
        QTRY_COMPARE(w.tblContents.recordCount(), 0);
        QCOMPARE(w.tblContents.state(), DataSetState::Insert);
        QCOMPARE(w.tblContents.field(S::D1).asString(), QString("False"));
        QCOMPARE(w.statusBarPanels()->text(0), QString());
    }

    void viewSwitchCommandStates()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start(); // grid view
        addRecord(w, "a.zip", "Alpha", "Unit");
        for (QAction *a : {w.ItmUndo, w.ItmCut, w.ItmCopy, w.ItmSelectAll, w.ItmClearAll, w.ItmPaste})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        QVERIFY(!w.sbUndo->isEnabled());
        w.ItmRecordClick();
        QCOMPARE(w.notebook()->currentIndex(), 1);
        QVERIFY(w.ItmCut->isEnabled() && w.ItmCopy->isEnabled());
        QVERIFY(w.ItmSelectAll->isEnabled() && w.ItmClearAll->isEnabled());
        QVERIFY(!w.ItmUndo->isEnabled());
        QVERIFY(w.navContents->isEnabled());
        QVERIFY(!w.gridView());
        // Choosing the view that shows changes nothing.
        w.EnableCutCopy(false);
        w.ItmRecordClick();
        QVERIFY(!w.ItmCut->isEnabled());
        // A switch writes the record and clears the indicator.
        QTest::keyClicks(w.edtProduct, "X");
        QVERIFY(w.IsModified());
        w.ItmGridClick();
        QVERIFY(!w.IsModified());
        QVERIFY(w.gridView());
        w.tblContents.first();
        QCOMPARE(w.tblContents.field(S::Product).asString(), QString("AlphaX"));
    }

    void failedSwitchStaysOnRecordPage()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(w, "a.zip", "Alpha", "Unit");
        w.tblContents.edit();
        w.tblContents.field(S::Status).clear();
        ModalAnswer boxes;
        boxes.answer("OK");
        w.ItmGridClick();
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(w.notebook()->currentIndex(), 1);
        QVERIFY(w.ItmRecord->isChecked());
        QVERIFY(w.navContents->isEnabled());
        QVERIFY(!w.gridView());
        QVERIFY(!w.tblContents.controlsDisabled());
        QCOMPARE(w.tblContents.state(), DataSetState::Edit);
        // Once the record can be written the switch goes through.
        w.tblContents.field(S::Status).setAsString("In use");
        w.ItmGridClick();
        QCOMPARE(w.notebook()->currentIndex(), 0);
    }

    void imagesFollowTheType()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(w, "a.zip", "Alpha", "Component");
        addRecord(w, "b.zip", "Beta", "Tool");
        // Both get images behind the program's back.
        w.tblContents.close();
        {
            CatalogueTable raw;
            raw.setDatabaseName(f.folder());
            raw.setTableName("contents.db");
            raw.open();
            for (int i = 0; i < 2; ++i) {
                raw.edit();
                raw.field(S::OrigImg).setAsBytes("BM-picture");
                raw.post();
                raw.next();
            }
        }
        w.tblContents.open();
        QVERIFY(w.imgOriginal->isEnabled()); // a.zip, Component
        QCOMPARE(w.tblContents.field(S::OrigImg).asBytes(), QByteArray("BM-picture"));
        w.navContents->run(DBNavigator::Next);
        QVERIFY(!w.imgOriginal->isEnabled());
        QVERIFY(w.tblContents.field(S::OrigImg).isNull());
        w.navContents->run(DBNavigator::Prior);
        QVERIFY(w.imgOriginal->isEnabled());
        QCOMPARE(w.tblContents.field(S::OrigImg).asBytes(), QByteArray("BM-picture"));
    }

    void pickListExtension()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        QCOMPARE(w.cbbType->pickItems(), (QStringList{"Component", "Unit"}));
        w.cbbType->setFocus();
        w.cbbType->lineEdit()->setText("  uNIT ");
        w.edtArchive->setFocus();
        QCOMPARE(w.cbbType->pickItems(), (QStringList{"Component", "Unit"}));
        w.cbbType->setFocus();
        w.cbbType->lineEdit()->setText(" property EDITOR");
        w.edtArchive->setFocus();
        QCOMPARE(w.cbbType->pickItems(), (QStringList{"Component", "Property editor", "Unit"}));
        QCOMPARE(w.tblContents.field(S::Type).asString(), QString(" property EDITOR"));
        QVERIFY(!w.imgOriginal->isEnabled());
        w.tblContents.cancel();
        w.ItmExitClick();
        f.stop();
        QVERIFY(f.readIni().contains("Type1=Property editor"));
    }

    void clearAllAndEditCommands()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(w, "a.zip", "Alpha", "Unit");
        w.tblContents.first();
        w.memGuide->setFocus();
        QTest::keyClicks(w.memGuide, "text");
        QVERIFY(w.IsModified());
        QVERIFY(w.ItmUndo->isEnabled());
        w.EnableSave(false);
        w.ItmClearAllClick();
        QCOMPARE(w.memGuide->text(), QString());
        // The record holds the typing and now the cleared box: it stays changed.
        QVERIFY(w.IsModified());
        QVERIFY(!w.ItmUndo->isEnabled());
        QVERIFY(w.ItmSave->isEnabled());
        w.edtProduct->setFocus();
        w.ItmSelectAllClick();
        QCOMPARE(w.edtProduct->selectedText(), QString("Alpha"));
        w.ItmCopyClick();
        QVERIFY(w.ItmPaste->isEnabled());
    }

    void closeBoxPostsTheRecord()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(w, "a.zip", "Alpha", "Unit");
        w.edtOrigin->setFocus();
        QTest::keyClicks(w.edtOrigin, "kept");
        QVERIFY(w.close());
        f.window.reset();
        TfrmMain &again = f.start();
        again.tblContents.first();
        QCOMPARE(again.tblContents.field(S::Origin).asString(), QString("kept"));

        // A post that fails keeps the window open, with the message.
        again.edtProduct->setFocus();
        QTest::keyClicks(again.edtProduct, "x");
        again.tblContents.field(S::Status).clear();
        ModalAnswer boxes;
        boxes.answer("OK");
        again.show();
        QVERIFY(!again.close());
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(again.isVisible());
        again.tblContents.cancel();
    }

    void exitWithoutCatalogueCloses()
    {
        MainWindowFixture f;
        // A folder that cannot hold the catalogue: start-up reports it, no catalogue is open.
        f.writeIni("[View]\nDatabaseName=" + f.dir.filePath("missing/folder/").toUtf8() + "\nTableName=x.db\n");
        TfrmMain &w = f.start();
        QVERIFY(!w.tblContents.active());
        QVERIFY(w.startupMessages().contains("does not exist"));
        QVERIFY(w.isVisible());
        w.ItmExitClick();
        QVERIFY(!w.isVisible());
    }

    void badSettingsAreReportedOnce()
    {
        MainWindowFixture f;
        f.writeIni("[View]\nWindowPosition=10,20,abc\nGrid=1\n[Grid]\nColumn0=3,120\nColumn1=44,10\n"
                   "[TypeDefs]\nType0=Unit\n");
        TfrmMain &w = f.start();
        QVERIFY(w.startupMessages().contains("WindowPosition"));
        QVERIFY(w.startupMessages().contains("Column1"));
        QVERIFY(w.tblContents.active());
        QCOMPARE(w.grdContents->columnField(0), int(S::Origin));
        QCOMPARE(w.grdContents->columnWidth(0), 120);
        QCOMPARE(w.cbbType->pickItems(), QStringList{"Unit"});
    }

    // A settings file written on Windows keeps its encoding; a pick-list entry it
    // cannot hold makes it UTF-8, and the user is told once.
    void settingsEncodingNoticeAtExit()
    {
        MainWindowFixture f;
        f.writeIni(QByteArray("[Program]\nSaveInterface=1\n[View]\nGrid=0\n[Phrases]\nPhrase0=Caf\xe9 cr\xe8me\n"
                              "[TypeDefs]\nType0=Unit\n"));
        TfrmMain &w = f.start();
        w.cbbType->setFocus();
        // A key the test keyboard has no name for, as a Greek layout types it.
        QTest::sendKeyEvent(QTest::Click, w.cbbType->lineEdit(), Qt::Key_unknown, QString::fromUtf8("\u03a9"), Qt::NoModifier);
        QTest::keyClicks(w.cbbType->lineEdit(), "mega");
        w.edtOrigin->setFocus();
        QVERIFY(w.cbbType->pickItems().contains(QString::fromUtf8("\u03a9mega")));
        w.tblContents.cancel();
        QVERIFY(w.close());
        QVERIFY2(w.startupMessages().contains("was written in UTF-8"), qPrintable(w.startupMessages()));
        f.window.reset();
        const QByteArray written = f.readIni();
        QVERIFY2(written.contains(QString::fromUtf8("Caf\u00e9 cr\u00e8me").toUtf8()), written.constData());
        QVERIFY(written.contains(QString::fromUtf8("\u03a9mega").toUtf8()));
    }

    void statusBarTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dot db inside") << "/x/old.dbase.db" << "oldase.db";
        QTest::newRow("upper case") << "CONTENTS.DB" << "CONTENTS";
        QTest::newRow("untitled") << "untitled.db" << "untitled";
        QTest::newRow("no extension") << "C:notes" << "notes";
    }

    void statusBarTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        MainWindowFixture f;
        TfrmMain &w = f.start();
        w.ShowTableName(name);
        QCOMPARE(w.statusBarPanels()->text(3), shown);
        StatusPanels *p = w.statusBarPanels();
        QCOMPARE(p->panelWidth(3), p->textWidth(shown) + 10);
        QCOMPARE(p->panelWidth(2), p->width() - p->panelWidth(0) - p->panelWidth(1) - p->panelWidth(3));
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
                             l.memoHeight, l.commentsTop, l.statusTop}), expected);
        QCOMPARE(l.memoWidth, l.infoWidth - 87);
    }

    void windowFollowsResizeRule()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        w.centralWidget()->resize(632, 434);
        QCOMPARE(w.pnlToolbar->width(), 620);
        QCOMPARE(w.navContents->x(), 395);
        QCOMPARE(w.notebook()->height(), 365);
        QCOMPARE(w.memComments->geometry(), QRect(78, 108, 516, 90));
        QCOMPARE(w.statusBarPanels()->y(), 409);
        QDir().mkpath("artifacts");
        w.grab().save("artifacts/main-grid.png");
        w.ItmRecordClick();
        w.grab().save("artifacts/main-record.png");
        w.centralWidget()->resize(400, 300);
        QCOMPARE(w.pnlToolbar->width(), 526);
        QCOMPARE(w.notebook()->height(), 275);
    }

    void movingAroundChangesNothing()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        w.edtArchive->setFocus();
        QTest::keyClicks(w.edtArchive, "alpha.zip");
        QTest::keyClicks(w.edtProduct, "Alpha");
        w.cbbType->setFocus();
        QTest::keyClicks(w.cbbType->lineEdit(), "Unit");
        w.cbbStatus->setFocus();
        QTest::keyClicks(w.cbbStatus->lineEdit(), "In use");
        w.navContents->run(DBNavigator::Post);
        QCOMPARE(w.statusBarPanels()->text(0), QString("Record 1 of 1"));
        QVERIFY(!w.IsModified());
        QTest::mouseClick(w.edtArchive, Qt::LeftButton);
        QVERIFY2(!w.IsModified(), "after the click into Archive");
        for (QWidget *next : {static_cast<QWidget *>(w.edtProduct), static_cast<QWidget *>(w.cbbType),
                              static_cast<QWidget *>(w.edtOrigin), static_cast<QWidget *>(w.cbbStatus),
                              static_cast<QWidget *>(w.cbD1)}) {
            next->setFocus();
            QVERIFY2(!w.IsModified(), qPrintable(next->accessibleName()));
        }
    }

    void titleClicksSortUpAndDown()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        addRecord(w, "b.zip", "beta", "Unit");
        addRecord(w, "a.zip", "Gamma", "Unit");
        addRecord(w, "c.zip", "Alpha", "Unit");
        w.tblContents.setRecNo(2); // b.zip, beta
        w.grdContentsTitleBtnClick(1, S::Product);
        QCOMPARE(w.tblContents.indexName(), QString("idx_Product_Up"));
        QCOMPARE(w.tblContents.field(S::Product).asString(), QString("beta"));
        QCOMPARE(w.tblContents.recNo(), 2);
        w.grdContentsTitleBtnClick(1, S::Product);
        QCOMPARE(w.tblContents.indexName(), QString("idx_Product_Down"));
        w.grdContentsTitleBtnClick(1, S::Status);
        QCOMPARE(w.tblContents.indexName(), QString("idx_Status_Up"));
        w.grdContentsTitleBtnClick(5, S::D1);
        QCOMPARE(w.tblContents.indexName(), QString("idx_Status_Up"));
        QVERIFY(!w.tblContents.controlsDisabled());
    }

    void hintsReachTheStatusBar()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        QCOMPARE(w.sbNew->toolTip(), QString("New"));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(w.sbNew, &enter);
        QCOMPARE(w.statusBarPanels()->text(2), QString("Open a new MOX database."));
        w.ItmNew->showStatusText(&w);
        QCOMPARE(w.statusBarPanels()->text(2), QString("Create a new MOX database."));
        // A hint that begins with the bar has no tool tip.
        QCOMPARE(w.edtArchive->toolTip(), QString());
        QApplication::sendEvent(w.edtArchive, &enter);
        QCOMPARE(w.statusBarPanels()->text(2), QString("The name of the archive that contains the product."));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w.edtArchive, &leave);
        QCOMPARE(w.statusBarPanels()->text(2), QString());
    }

    void normalizeText_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("mixed, blanks") << "  hELLO wORLD \t" << "Hello world";
        QTest::newRow("empty") << "   " << "";
        QTest::newRow("not a letter first") << "1ST unit" << "1st unit";
        QTest::newRow("accents unchanged") << QString::fromUtf8("éCOLE") << QString::fromUtf8("école");
    }

    void normalizeText()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(NormalizeText(in), out);
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
