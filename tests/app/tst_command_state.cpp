// The command state alone: the groups, the remembered states and the status
// panels' texts, held as data and shown by the status bar.

#include "app/CommandState.h"
#include "app/StatusPanels.h"
#include "catalogue/CatalogueTable.h"
#include "tests/common/CatalogueFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <array>
#include <memory>

using namespace fixture;

namespace {

// A command state over its own actions, status bar and catalogue.
struct Commands {
    QTemporaryDir dir;
    CatalogueTable table;
    StatusPanels panels;
    std::array<QList<QAction *>, 5> groups;
    std::unique_ptr<CommandState> state;

    Commands()
    {
        panels.resize(620, 19);
        const int sizes[] = {1, 2, 4, 2, 4};
        for (size_t g = 0; g < groups.size(); ++g) {
            for (int i = 0; i < sizes[g]; ++i)
                groups[g] << new QAction(&panels);
        }
        state = std::make_unique<CommandState>(table, CommandState::Groups{groups[0], groups[1], groups[2], groups[3], groups[4]},
                                               panels);
    }

    bool groupShows(int group, bool on) const
    {
        for (QAction *a : groups[size_t(group)]) {
            if (a->isEnabled() != on)
                return false;
        }
        return true;
    }
    int hintWidthExpected() const
    {
        return panels.width() - panels.panelWidth(0) - panels.panelWidth(1) - panels.panelWidth(3);
    }
};

} // namespace

class TstCommandState : public QObject
{
    Q_OBJECT

private slots:
    void designTimeState()
    {
        Commands c;
        QVERIFY(c.state->IsModified());
        QCOMPARE(c.panels.text(1), QString("Modified"));
        QCOMPARE(c.panels.text(3), QString("contents.db"));
        QCOMPARE(c.state->panelText(CommandState::NamePanel), QString("contents.db"));
        QCOMPARE((QList<int>{c.panels.panelWidth(0), c.panels.panelWidth(1), c.panels.panelWidth(2),
                             c.panels.panelWidth(3)}),
                 (QList<int>{108, 49, 396, 41}));
        for (int g = 0; g < 5; ++g)
            QVERIFY(c.groupShows(g, true));
    }

    // The indicator is the command state's own: what the panel widget happens to
    // show does not change the answer.
    void modifiedIsHeldAsData()
    {
        Commands c;
        c.state->ShowModified(false);
        QVERIFY(!c.state->IsModified());
        QCOMPARE(c.panels.text(1), QString());
        QCOMPARE(c.panels.panelWidth(1), c.panels.textWidth("Modified") + 10);
        c.panels.setText(1, QStringLiteral("Modified"));
        QVERIFY(!c.state->IsModified());
        c.state->ShowModified(true);
        QVERIFY(c.state->IsModified());
        QCOMPARE(c.panels.text(1), QString("Modified"));
        QCOMPARE(c.panels.panelWidth(2), c.hintWidthExpected());
    }

    void shownTableName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dot db inside") << "/x/old.dbase.db" << "oldase.db";
        QTest::newRow("upper case") << "CONTENTS.DB" << "CONTENTS";
        QTest::newRow("untitled") << "untitled.db" << "untitled";
        QTest::newRow("no extension") << "C:notes" << "notes";
        QTest::newRow("windows folder") << "C:\\data\\mine.db" << "mine";
    }

    void shownTableName()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        Commands c;
        c.state->ShowTableName(name);
        QCOMPARE(c.panels.text(3), shown);
        QCOMPARE(c.state->panelText(CommandState::NamePanel), shown);
        QCOMPARE(c.panels.panelWidth(3), c.panels.textWidth(shown) + 10);
        QCOMPARE(c.panels.panelWidth(2), c.hintWidthExpected());
    }

    void recordPositionText_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "3" << "10" << "Record 3 of 10";
        QTest::newRow("empty catalogue") << "0" << "0" << "Record 0 of 0";
        QTest::newRow("seven digits whole") << "1" << "1234567" << "Record 1 of 1234567";
        QTest::newRow("a million") << "1000000" << "1000000" << "Record 1000000 of 1000000";
        QTest::newRow("number unknown") << "" << "5" << "";
        QTest::newRow("count unknown") << "5" << "" << "";
    }

    void recordPositionText()
    {
        QFETCH(QString, number);
        QFETCH(QString, count);
        QFETCH(QString, text);
        QCOMPARE(CommandState::recordPositionText(number, count), text);
    }

    void recordNumberFollowsTheTable()
    {
        Commands c;
        c.state->ShowRecordNumber(); // closed
        QCOMPARE(c.panels.text(0), QString());
        QCOMPARE(c.panels.panelWidth(0), 100);
        makeCatalogue(c.table, c.dir, "contents.db");
        c.state->ShowRecordNumber();
        QCOMPARE(c.panels.text(0), QString("Record 0 of 0"));
        addRecord(c.table, {"a.zip", "A", "Unit", "In use", ""});
        addRecord(c.table, {"b.zip", "B", "Unit", "In use", ""});
        addRecord(c.table, {"c.zip", "C", "Unit", "In use", ""});
        c.table.setRecNo(2);
        c.state->ShowRecordNumber();
        QCOMPARE(c.panels.text(0), QString("Record 2 of 3"));
        QCOMPARE(c.state->panelText(CommandState::RecordPanel), QString("Record 2 of 3"));
        QCOMPARE(c.panels.panelWidth(0), c.panels.textWidth("Record 2 of 3") + 10);
        QCOMPARE(c.panels.panelWidth(2), c.hintWidthExpected());
        c.table.append(); // a new record has no position yet
        c.state->ShowRecordNumber();
        QCOMPARE(c.panels.text(0), QString());
        QCOMPARE(c.panels.panelWidth(0), 100);
        c.table.cancel();
    }

    void groups_data()
    {
        QTest::addColumn<int>("group");
        QTest::newRow("save") << int(CommandState::Group::Save);
        QTest::newRow("undo") << int(CommandState::Group::Undo);
        QTest::newRow("cut and copy") << int(CommandState::Group::CutCopy);
        QTest::newRow("paste") << int(CommandState::Group::Paste);
        QTest::newRow("select all and clear all") << int(CommandState::Group::SelectAll);
    }

    void groups()
    {
        QFETCH(int, group);
        Commands c;
        const std::array<void (CommandState::*)(bool), 5> setters = {
            &CommandState::EnableSave, &CommandState::EnableUndo, &CommandState::EnableCutCopy,
            &CommandState::EnablePaste, &CommandState::EnableSelectAll};
        (c.state.get()->*setters.at(size_t(group)))(false);
        for (int g = 0; g < 5; ++g) {
            QVERIFY2(c.groupShows(g, g != group), qPrintable(QString::number(g)));
            QCOMPARE(c.state->isEnabled(CommandState::Group(g)), g != group);
        }
        (c.state.get()->*setters.at(size_t(group)))(true);
        QVERIFY(c.groupShows(group, true));
    }

    // The remembered states are the command state's own, whatever a menu item shows.
    void rememberedStates()
    {
        Commands c;
        c.state->EnablePaste(false);
        c.state->EnableCutCopy(true);
        c.state->EnableSelectAll(true);
        c.groups[size_t(CommandState::Group::Paste)].first()->setEnabled(true);
        c.state->RememberCommandStates();
        c.state->EnablePaste(true);
        c.state->EnableCutCopy(false);
        c.state->EnableSelectAll(false);
        c.state->RestoreCommandStates();
        QVERIFY(!c.state->isEnabled(CommandState::Group::Paste));
        QVERIFY(c.groupShows(int(CommandState::Group::Paste), false));
        QVERIFY(c.groupShows(int(CommandState::Group::CutCopy), true));
        QVERIFY(c.groupShows(int(CommandState::Group::SelectAll), true));
    }

    void pasteFollowsTheClipboard()
    {
        Commands c;
        QClipboard *clipboard = QGuiApplication::clipboard();
        c.state->setClipboard(clipboard);
        clipboard->setText(QStringLiteral("words"));
        c.state->UpdatePaste();
        QVERIFY(c.state->isEnabled(CommandState::Group::Paste));
        clipboard->clear();
        c.state->UpdatePaste();
        QVERIFY(!c.state->isEnabled(CommandState::Group::Paste));
        QVERIFY(c.groupShows(int(CommandState::Group::Paste), false));
    }

    void hintText()
    {
        Commands c;
        c.state->ShowHintText(QStringLiteral("Open a MOX database."));
        QCOMPARE(c.panels.text(2), QString("Open a MOX database."));
        QCOMPARE(c.state->panelText(CommandState::HintPanel), QString("Open a MOX database."));
    }
};

QTEST_MAIN(TstCommandState)
#include "tst_command_state.moc"
