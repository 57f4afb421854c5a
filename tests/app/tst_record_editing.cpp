// Record editing on the record page: the table's events, the controls' handlers,
// the pick lists, the edit commands and the Type rule for the palette images.

#include "tests/app/MainWindowFixture.h"

#include "catalogue/CatalogueTable.h"
#include "settings/NormalizeText.h"
#include "widgets/data/DBCheckBox.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"

#include <QLineEdit>
#include <QTest>

namespace S = CatalogueSchema;

namespace {


DBNavigator *navigator(TfrmMain &w)
{
    return child<DBNavigator>(w, "navContents");
}

} // namespace

class TstRecordEditing : public QObject
{
    Q_OBJECT

private slots:
    void keyViolationAndRequiredField()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        CatalogueTable &t = table(w);
        auto *archive = child<DBEdit>(w, "edtArchive");
        addRecord(t, "a.zip", "Alpha", "Unit");
        ModalAnswer boxes;
        boxes.answer("OK");
        t.append();
        archive->setFocus();
        QTest::keyClicks(archive, "a.zip");
        t.field(S::Product).setAsString("Alpha");
        t.field(S::Type).setAsString("Unit");
        t.field(S::Status).setAsString("Testing");
        navigator(w)->run(DBNavigator::Post);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("Posting this record causes a key violation!"), qPrintable(boxes.texts[0]));
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.field(S::Status).asString(), QString("Testing"));
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(archive));

        boxes.answer("OK");
        t.field(S::Type).setAsString("Tool");
        t.field(S::Status).clear();
        navigator(w)->run(DBNavigator::Post);
        QTRY_COMPARE(boxes.texts.size(), 2);
        QCOMPARE(boxes.texts[1], QString("Moxarium: Field 'Status' must have a value."));
        QCOMPARE(t.state(), DataSetState::Insert);
    }

    void deleteAsksFirst()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        CatalogueTable &t = table(w);
        addRecord(t, "a.zip", "Alpha", "Unit");
        addRecord(t, "b.zip", "Beta", "Unit");
        ModalAnswer boxes;
        boxes.answer("No");
        navigator(w)->run(DBNavigator::Delete);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].startsWith("Delete record: "));
        QCOMPARE(t.recordCount(), 2);
        boxes.answer("Yes");
        navigator(w)->run(DBNavigator::Delete);
        QTRY_COMPARE(t.recordCount(), 1);
        // Deleting the only record leaves a blank new one being edited, flags false.
        boxes.answer("Yes");
        navigator(w)->run(DBNavigator::Delete);
        QTRY_COMPARE(t.recordCount(), 0);
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.field(S::D1).asString(), QString("False"));
        QCOMPARE(panel(w, 0), QString());
    }

    void imagesFollowTheType()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        CatalogueTable &t = table(w);
        auto *original = child<DBImage>(w, "imgOriginal");
        addRecord(t, "a.zip", "Alpha", "Component");
        addRecord(t, "b.zip", "Beta", "Tool");
        // Both get images behind the program's back.
        t.close();
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
        t.open();
        QVERIFY(original->isEnabled()); // a.zip, Component
        QCOMPARE(t.field(S::OrigImg).asBytes(), QByteArray("BM-picture"));
        navigator(w)->run(DBNavigator::Next);
        QVERIFY(!original->isEnabled());
        QVERIFY(t.field(S::OrigImg).isNull());
        navigator(w)->run(DBNavigator::Prior);
        QVERIFY(original->isEnabled());
        QCOMPARE(t.field(S::OrigImg).asBytes(), QByteArray("BM-picture"));
    }

    void pickListExtension()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        auto *type = child<DBComboBox>(w, "cbbType");
        auto *archive = child<DBEdit>(w, "edtArchive");
        QCOMPARE(type->pickItems(), (QStringList{"Component", "Unit"}));
        type->setFocus();
        type->lineEdit()->setText("  uNIT ");
        archive->setFocus();
        QCOMPARE(type->pickItems(), (QStringList{"Component", "Unit"}));
        type->setFocus();
        type->lineEdit()->setText(" property EDITOR");
        archive->setFocus();
        QCOMPARE(type->pickItems(), (QStringList{"Component", "Property editor", "Unit"}));
        QCOMPARE(table(w).field(S::Type).asString(), QString(" property EDITOR"));
        QVERIFY(!child<DBImage>(w, "imgOriginal")->isEnabled());
        table(w).cancel();
        command(w, "ItmExit")->trigger();
        f.stop();
        QVERIFY(f.readIni().contains("Type1=Property editor"));
    }

    void clearAllAndEditCommands()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        addRecord(table(w), "a.zip", "Alpha", "Unit");
        table(w).first();
        auto *guide = child<DBMemo>(w, "memGuide");
        auto *product = child<DBEdit>(w, "edtProduct");
        guide->setFocus();
        QTest::keyClicks(guide, "text");
        QVERIFY(isModified(w));
        QVERIFY(command(w, "ItmUndo")->isEnabled());
        w.testSeam().commands.EnableSave(false);
        command(w, "ItmClearAll")->trigger();
        QCOMPARE(guide->text(), QString());
        // The record holds the typing and now the cleared box: it stays changed.
        QVERIFY(isModified(w));
        QVERIFY(!command(w, "ItmUndo")->isEnabled());
        QVERIFY(command(w, "ItmSave")->isEnabled());
        product->setFocus();
        command(w, "ItmSelectAll")->trigger();
        QCOMPARE(product->selectedText(), QString("Alpha"));
        // Copy is offered once a key released in the box finds the selection.
        QTest::keyClick(product, Qt::Key_Shift);
        QVERIFY(command(w, "ItmCopy")->isEnabled());
        command(w, "ItmCopy")->trigger();
        QVERIFY(command(w, "ItmPaste")->isEnabled());
    }

    void movingAroundChangesNothing()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni());
        TfrmMain &w = f.start();
        auto *archive = child<DBEdit>(w, "edtArchive");
        auto *type = child<DBComboBox>(w, "cbbType");
        auto *status = child<DBComboBox>(w, "cbbStatus");
        archive->setFocus();
        QTest::keyClicks(archive, "alpha.zip");
        QTest::keyClicks(child<DBEdit>(w, "edtProduct"), "Alpha");
        type->setFocus();
        QTest::keyClicks(type->lineEdit(), "Unit");
        status->setFocus();
        QTest::keyClicks(status->lineEdit(), "In use");
        navigator(w)->run(DBNavigator::Post);
        QCOMPARE(panel(w, 0), QString("Record 1 of 1"));
        QVERIFY(!isModified(w));
        QTest::mouseClick(archive, Qt::LeftButton);
        QVERIFY2(!isModified(w), "after the click into Archive");
        for (const char *next : {"edtProduct", "cbbType", "edtOrigin", "cbbStatus", "cbD1"}) {
            child<QWidget>(w, next)->setFocus();
            QVERIFY2(!isModified(w), next);
        }
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

QTEST_MAIN(TstRecordEditing)
#include "tst_record_editing.moc"
