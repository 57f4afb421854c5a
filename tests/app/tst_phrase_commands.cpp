// The standard phrases on the main window: the Phrases command, the memo menu's
// "Standard phrases" submenu and inserting a phrase into Guide or Comments.

#include "tests/app/MainWindowFixture.h"
#include "tests/common/ModalScript.h"

#include "catalogue/CatalogueTable.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>

namespace S = CatalogueSchema;

namespace {

QByteArray recordViewIni(const QByteArray &phrases)
{
    return "[Program]\nSaveInterface=1\nSaveRecNo=1\n[View]\nGrid=0\n[TypeDefs]\nType0=Unit\n"
           "[StatusDefs]\nStatus0=In use\n[Phrases]\n" + phrases;
}

QMenu *phraseMenu(TfrmMain &w)
{
    return child<QMenu>(w, "Itm_Phrases");
}

QStringList captions(TfrmMain &w)
{
    QStringList texts;
    for (const QAction *item : phraseMenu(w)->actions())
        texts << item->text();
    return texts;
}

// Opens the memo menu on a control as the right mouse button does; the menu stays
// open until closed.
QMenu *openMemoMenu(TfrmMain &w, QWidget *on)
{
    // A memo's mouse events arrive at its viewport.
    if (auto *memo = qobject_cast<QPlainTextEdit *>(on))
        on = memo->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), on->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(on, &event);
    auto *menu = child<QMenu>(w, "mnuMemos");
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
        qWarning("the memo menu did not open");
    return menu;
}

QAction *phraseItem(TfrmMain &w, const QString &phrase)
{
    for (QAction *item : phraseMenu(w)->actions())
        if (item->data().toString() == phrase)
            return item;
    qFatal("no item for the phrase %s", qPrintable(phrase));
}

// Types lines into the Phrases dialog and saves them.
void savePhrases(TfrmMain &w, const QStringList &lines, bool change = true)
{
    ModalScript script;
    script.then([&](QDialog &d) {
        auto *memo = part<QPlainTextEdit>(d, "memPhrases");
        if (change) {
            QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(memo, Qt::Key_Delete);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    QTest::keyClick(memo, Qt::Key_Return);
                QTest::keyClicks(memo, lines.at(i));
            }
        }
        QTest::mouseClick(part<QPushButton>(d, "btnOK"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QToolButton>(w, "sbPhrases"), Qt::LeftButton);
}

} // namespace

class TstPhraseCommands : public QObject
{
    Q_OBJECT

private slots:
    // The submenu has an item per phrase, sorted, its caption the phrase itself.
    void submenuFollowsThePhraseList()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni("Phrase0=zeta\nPhrase1=R&D notes\nPhrase2=Alpha\nPhrase3=ALPHA\n"));
        TfrmMain &w = f.start();
        QCOMPARE(captions(w), QStringList({"Alpha", "R&&D notes", "zeta"}));
        QCOMPARE(phraseItem(w, QStringLiteral("R&D notes"))->text(), QStringLiteral("R&&D notes"));

        savePhrases(w, {"usage", "Usage", "", "beta", "Gamma ray"});
        QCOMPARE(captions(w), QStringList({"beta", "Gamma ray", "usage"}));
        // The next show of the dialog has the same order.
        QString shown;
        ModalScript script;
        script.then([&](QDialog &d) {
            shown = part<QPlainTextEdit>(d, "memPhrases")->toPlainText();
            QTest::keyClick(part<QPlainTextEdit>(d, "memPhrases"), Qt::Key_Escape);
        });
        command(w, "ItmPhrases")->trigger();
        QCOMPARE(shown, QStringLiteral("beta\nGamma ray\nusage"));
    }

    void saveWithoutChangeKeepsTheSubmenu()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni("Phrase0=one\nPhrase1=two\n"));
        TfrmMain &w = f.start();
        const QList<QAction *> before = phraseMenu(w)->actions();
        savePhrases(w, {}, false);
        QCOMPARE(phraseMenu(w)->actions(), before);
    }

    // Every phrase gets its item, however long the list.
    void aLongListShowsEveryPhrase()
    {
        MainWindowFixture f;
        QByteArray phrases;
        for (int i = 0; i < 30; ++i)
            phrases += "Phrase" + QByteArray::number(i) + "=Phrase number " + QByteArray::number(100 + i) + "\n";
        f.writeIni(recordViewIni(phrases));
        TfrmMain &w = f.start();
        QCOMPARE(captions(w).size(), 30);
        QCOMPARE(captions(w).last(), QStringLiteral("Phrase number 129"));
    }

    void submenuEnabledOnTheMemosOnly_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("withPhrases");
        QTest::addColumn<bool>("enabled");
        for (const char *name : {"edtArchive", "edtProduct", "edtOrigin", "cbbType", "cbbStatus"})
            QTest::newRow(name) << name << true << false;
        QTest::newRow("memGuide") << "memGuide" << true << true;
        QTest::newRow("memComments") << "memComments" << true << true;
        QTest::newRow("memComments without phrases") << "memComments" << false << false;
    }
    void submenuEnabledOnTheMemosOnly()
    {
        QFETCH(QString, control);
        QFETCH(bool, withPhrases);
        MainWindowFixture f;
        f.writeIni(recordViewIni(withPhrases ? "Phrase0=See the guide\n" : ""));
        TfrmMain &w = f.start();
        QWidget *on = child<QWidget>(w, qPrintable(control));
        if (auto *box = qobject_cast<DBComboBox *>(on))
            on = box->lineEdit();
        QMenu *menu = openMemoMenu(w, on);
        QTEST(phraseMenu(w)->menuAction()->isEnabled(), "enabled");
        menu->hide();
    }

    // The phrase replaces the selection or goes in at the caret, nothing added, and
    // the record is changed as by typing.
    void insertingAPhrase_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end"); // the selection; start == end: the caret
        QTest::addColumn<QString>("result");
        QTest::newRow("replaces the selection") << "memComments" << 4 << 9 << "Use see manual, here last";
        QTest::newRow("in the middle of a word, no blank") << "memGuide" << 2 << 2 << "Ussee manuale quick here";
        QTest::newRow("at the end") << "memComments" << 20 << 20 << "Use quick, here lastsee manual";
    }
    void insertingAPhrase()
    {
        QFETCH(QString, memo);
        QFETCH(int, start);
        QFETCH(int, end);
        MainWindowFixture f;
        f.writeIni(recordViewIni("Phrase0=see manual\n"));
        TfrmMain &w = f.start();
        CatalogueTable &t = table(w);
        const QString text = memo == QLatin1String("memGuide") ? QStringLiteral("Use quick here")
                                                               : QStringLiteral("Use quick, here last");
        addRecord(t, "a.zip");
        t.edit();
        t.field(memo == QLatin1String("memGuide") ? S::Guide : S::Comments).setAsString(text);
        t.post();
        QVERIFY(!isModified(w));
        QVERIFY(!command(w, "ItmUndo")->isEnabled());
        auto *target = child<DBMemo>(w, qPrintable(memo));
        QTextCursor cursor = target->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        target->setTextCursor(cursor);
        // The focus is elsewhere: the item gives it to the memo the menu was opened on.
        child<DBEdit>(w, "edtArchive")->setFocus();
        QMenu *menu = openMemoMenu(w, target);
        menu->hide();
        phraseItem(w, QStringLiteral("see manual"))->trigger();
        QTEST(target->toPlainText(), "result");
        QVERIFY(target->hasFocus());
        QTEST(t.field(memo == QLatin1String("memGuide") ? S::Guide : S::Comments).asString(), "result");
        QVERIFY(isModified(w));
        QCOMPARE(panel(w, CommandState::ModifiedPanel), QStringLiteral("Modified"));
        QVERIFY(command(w, "ItmUndo")->isEnabled());
        QVERIFY(command(w, "ItmSave")->isEnabled());
        // Undo takes the phrase out again.
        command(w, "ItmUndo")->trigger();
        QCOMPARE(target->toPlainText(), text);
    }

    // On an empty catalogue the phrase starts the first record.
    void aPhraseStartsARecordOnAnEmptyCatalogue()
    {
        MainWindowFixture f;
        f.writeIni(recordViewIni("Phrase0=Installation\n"));
        TfrmMain &w = f.start();
        CatalogueTable &t = table(w);
        // The record view has started a record already; without it the table is idle.
        child<DBNavigator>(w, "navContents")->run(DBNavigator::Cancel);
        QCOMPARE(t.state(), DataSetState::Browse);
        QCOMPARE(t.recordCount(), 0);
        auto *guide = child<DBMemo>(w, "memGuide");
        openMemoMenu(w, guide)->hide();
        phraseItem(w, QStringLiteral("Installation"))->trigger();
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.field(S::Guide).asString(), QStringLiteral("Installation"));
        QCOMPARE(guide->toPlainText(), QStringLiteral("Installation"));
        QVERIFY(isModified(w));
        // Only the new record's flags are set: nothing else came with the phrase.
        QVERIFY(t.field(S::Archive).isNull());
    }
};

QTEST_MAIN(TstPhraseCommands)
#include "tst_phrase_commands.moc"
