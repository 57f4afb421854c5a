// The Settings and Phrases commands of the main window: their menu items and tool
// buttons, what the Settings dialog's Save changes for the record page and the file
// dialogs, and what survives a restart through mox.ini.

#include "tests/app/MainWindowFixture.h"
#include "tests/common/ModalScript.h"

#include "settings/ui/DefinitionListBox.h"
#include "settings/ui/MOXPhrases.h"
#include "settings/ui/MOXSettings.h"
#include "widgets/data/DBComboBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

namespace {

QByteArray settingsTestIni(bool initPaths = false)
{
    return QByteArray("[Program]\nKeepPaths=1\nInitPaths=") + (initPaths ? "1" : "0")
         + "\nSaveInterface=1\nSaveRecNo=1\n[View]\nGrid=0\n[TypeDefs]\nType0=Unit\n[StatusDefs]\nStatus0=In use\n"
           "[Phrases]\nPhrase0=Usage\n";
}

// In the Settings dialog: adds a type definition by its add button and typing.
void addType(QDialog &d, const QString &name)
{
    QTest::mouseClick(part<QToolButton>(d, "sbAddType"), Qt::LeftButton);
    QTest::keyClicks(part<QLineEdit>(d, "edtType"), name);
    QTest::keyClick(part<QLineEdit>(d, "edtType"), Qt::Key_Return);
}

void replaceText(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TstSettingsCommands : public QObject
{
    Q_OBJECT

private slots:
    void commandsOpenTheirDialogs_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("title");
        QTest::newRow("Settings") << "ItmSettings" << "sbSettings" << "&Settings..." << "Edit the program settings."
                                  << "Settings";
        QTest::newRow("Phrases") << "ItmPhrases" << "sbPhrases" << "&Phrases..." << "Edit the standard phrases."
                                 << "Phrases";
    }
    void commandsOpenTheirDialogs()
    {
        QFETCH(QString, item);
        QFETCH(QString, button);
        QFETCH(QString, hint);
        QFETCH(QString, title);
        MainWindowFixture f;
        f.writeIni(settingsTestIni());
        TfrmMain &w = f.start();
        QAction *action = command(w, qPrintable(item));
        auto *tool = child<QToolButton>(w, qPrintable(button));
        QVERIFY(action->isEnabled());
        QVERIFY(tool->isEnabled());
        QTEST(action->text(), "caption");
        QCOMPARE(action->statusTip(), hint);
        QCOMPARE(tool->toolTip(), title);
        QCOMPARE(tool->statusTip(), hint);
        // Each way shows the dialog modally, centred over the window.
        QStringList shown;
        ModalScript script;
        for (int i = 0; i < 2; ++i)
            script.then([&](QDialog &d) {
                const QRect main = w.frameGeometry(), own = d.frameGeometry();
                QCOMPARE(own.topLeft(), QPoint(main.left() + (main.width() - own.width()) / 2,
                                               main.top() + (main.height() - own.height()) / 2));
                shown << d.windowTitle();
                QTest::mouseClick(part<QPushButton>(d, "btnCancel"), Qt::LeftButton);
            });
        action->trigger();
        QTest::mouseClick(tool, Qt::LeftButton);
        QCOMPARE(shown, QStringList({title, title}));
    }

    // Saved definitions are what the Type and Status boxes offer; cancelled ones not.
    void savedDefinitionsReachTheRecordPage_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("save") << true;
        QTest::newRow("cancel") << false;
    }
    void savedDefinitionsReachTheRecordPage()
    {
        QFETCH(bool, save);
        MainWindowFixture f;
        f.writeIni(settingsTestIni());
        TfrmMain &w = f.start();
        auto *types = child<DBComboBox>(w, "cbbType");
        auto *statuses = child<DBComboBox>(w, "cbbStatus");
        // A type the record page added this run is in the dialog's list.
        types->setFocus();
        QTest::keyClicks(types->lineEdit(), "eXPERT");
        child<DBComboBox>(w, "cbbStatus")->setFocus();
        QCOMPARE(types->pickItems(), QStringList({"Expert", "Unit"}));
        QStringList listed;
        ModalScript script;
        script.then([&](QDialog &d) {
            auto *list = part<DefinitionListBox>(d, "lbTypes");
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
            addType(d, QStringLiteral("tool"));
            QTest::mouseClick(part<QToolButton>(d, "sbAddStatus"), Qt::LeftButton);
            QTest::keyClicks(part<QLineEdit>(d, "edtStatus"), QStringLiteral("retired"));
            QTest::mouseClick(part<QPushButton>(d, save ? "btnOK" : "btnCancel"), Qt::LeftButton);
        });
        command(w, "ItmSettings")->trigger();
        QCOMPARE(listed, QStringList({"Expert", "Unit"}));
        if (save) {
            QCOMPARE(types->pickItems(), QStringList({"Expert", "Tool", "Unit"}));
            QCOMPARE(statuses->pickItems(), QStringList({"In use", "Retired"}));
        } else {
            QCOMPARE(types->pickItems(), QStringList({"Expert", "Unit"}));
            QCOMPARE(statuses->pickItems(), QStringList({"In use"}));
        }
        // The record's own text stays as typed.
        QCOMPARE(types->text(), QStringLiteral("eXPERT"));
    }

    // Saved with "Start with specified paths", the next Open starts in the folder
    // specified for it.
    void theNextOpenStartsInTheSpecifiedFolder()
    {
        MainWindowFixture f;
        f.writeIni(settingsTestIni(false));
        QDir(f.dir.path()).mkpath(QStringLiteral("catalogues"));
        const QString catalogues = f.dir.filePath(QStringLiteral("catalogues"));
        TfrmMain &w = f.start();
        ModalScript script;
        script.then([&](QDialog &d) {
            QTest::mouseClick(part<QCheckBox>(d, "cbStartWithPaths"), Qt::LeftButton);
            auto *task = part<QComboBox>(d, "cbbPathDefs");
            task->setFocus();
            QTest::keyClick(task, Qt::Key_Down);
            QCOMPARE(task->currentText(), QStringLiteral("Open Database"));
            replaceText(part<QLineEdit>(d, "edtPaths"), catalogues);
            QTest::mouseClick(part<QPushButton>(d, "btnOK"), Qt::LeftButton);
        });
        command(w, "ItmSettings")->trigger();
        QVERIFY(w.testSeam().settings.InitPaths);
        f.dialogs.answers = {QString()};
        command(w, "ItmOpen")->trigger();
        QCOMPARE(f.dialogs.asked.size(), 1);
        QCOMPARE(f.dialogs.asked[0].folder, catalogues);
    }

    // What the dialogs changed reaches mox.ini at exit and comes back at the next start.
    void restartKeepsWhatTheDialogsChanged()
    {
        MainWindowFixture f;
        f.writeIni(settingsTestIni(true));
        QDir(f.dir.path()).mkpath(QStringLiteral("bitmaps"));
        const QString bitmaps = f.dir.filePath(QStringLiteral("bitmaps"));
        TfrmMain &w = f.start();
        ModalScript script;
        script.then([&](QDialog &d) {
            addType(d, QStringLiteral(" dLL tools "));
            auto *task = part<QComboBox>(d, "cbbPathDefs");
            task->setFocus();
            QTest::keyClick(task, Qt::Key_End);
            replaceText(part<QLineEdit>(d, "edtPaths"), bitmaps);
            QTest::mouseClick(part<QCheckBox>(d, "cbSaveRecPos"), Qt::LeftButton);
            QTest::mouseClick(part<QPushButton>(d, "btnOK"), Qt::LeftButton);
        });
        script.then([&](QDialog &d) {
            auto *memo = part<QPlainTextEdit>(d, "memPhrases");
            QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(memo, Qt::Key_Return);
            QTest::keyClicks(memo, QStringLiteral("Tested on Delphi 3"));
            QTest::mouseClick(part<QPushButton>(d, "btnOK"), Qt::LeftButton);
        });
        command(w, "ItmSettings")->trigger();
        command(w, "ItmPhrases")->trigger();
        f.stop();

        QSettings ini(f.ini(), QSettings::IniFormat);
        QCOMPARE(ini.value("TypeDefs/Type0").toString(), QStringLiteral("Dll tools"));
        QCOMPARE(ini.value("TypeDefs/Type1").toString(), QStringLiteral("Unit"));
        QCOMPARE(ini.value("Phrases/Phrase0").toString(), QStringLiteral("Tested on Delphi 3"));
        QCOMPARE(ini.value("Phrases/Phrase1").toString(), QStringLiteral("Usage"));
        QCOMPARE(ini.value("Program/SaveRecNo").toString(), QStringLiteral("0"));
        QCOMPARE(ini.value("Paths/SaveBmp").toString(), bitmaps);

        TfrmMain &again = f.start();
        QCOMPARE(child<DBComboBox>(again, "cbbType")->pickItems(), QStringList({"Dll tools", "Unit"}));
        QStringList items;
        for (const QAction *a : child<QMenu>(again, "Itm_Phrases")->actions())
            items << a->text();
        QCOMPARE(items, QStringList({"Tested on Delphi 3", "Usage"}));
        QCOMPARE(again.testSeam().settings.SpecifiedPaths[PathTask::SaveBitmap], bitmaps);
        QCOMPARE(again.testSeam().settings.CurrentPaths[PathTask::SaveBitmap], bitmaps);
        QVERIFY(!again.testSeam().settings.SaveRecNo);
    }
};

QTEST_MAIN(TstSettingsCommands)
#include "tst_settings_commands.moc"
