// The Settings dialog driven as a person would: clicks and keys on its controls.

#include "settings/ProgramSettings.h"
#include "settings/SortedTextList.h"
#include "settings/ui/DefinitionListBox.h"
#include "settings/ui/MOXInvalidPath.h"
#include "settings/ui/MOXSelectDir.h"
#include "settings/ui/MOXSettings.h"
#include "tests/settings/DialogDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class NoDrives : public DriveSource
{
public:
    QList<Drive> drives() const override { return {{QStringLiteral("/"), false}}; }
};

struct Fixture {
    QTemporaryDir dir;
    MainStandIn main;
    ProgramSettings settings;
    PickList types, statuses;
    TfrmSettings dialog{&main, settings, types, statuses, folder()};
    TfrmInvalidPath notice{&main};
    TfrmSelectDir chooser{&main, folder(), std::make_unique<NoDrives>()};

    Fixture(const QStringList &typeEntries = {"Application", "Component", "Unit"},
            const QStringList &statusEntries = {"In use", "Testing"})
    {
        dialog.setPathDialogs(&notice, &chooser);
        for (const QString &t : typeEntries)
            types.add(t);
        for (const QString &s : statusEntries)
            statuses.add(s);
        settings.KeepPaths = true;
        settings.InitPaths = true;
        settings.SaveInterface = true;
        settings.SaveRecNo = false;
        settings.SaveToCache = false;
        for (int task = 0; task < PathTaskCount; ++task) {
            settings.CurrentPaths[PathTask(task)] = folder();
            settings.SpecifiedPaths[PathTask(task)] = folder();
        }
    }
    ~Fixture() { dialog.hide(); }

    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString subfolder(const QString &name) const
    {
        QDir(dir.path()).mkpath(name);
        return dir.filePath(name);
    }

    void open()
    {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename T> T *get(const char *name) const
    {
        T *found = dialog.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("the settings dialog has no %s", name);
        return found;
    }
    QStringList entries(DefinitionListBox *list) const
    {
        QStringList all;
        for (int i = 0; i < list->count(); ++i)
            all << list->item(i)->text();
        return all;
    }
    void clickRow(DefinitionListBox *list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
};

// A step a person takes in a definition list: "add", "remove", "click:N", "type:TEXT"
// (replacing the editor's text), or "key:Down|Up|Enter|Escape|Tab".
void perform(Fixture &f, const QString &list, const QString &step)
{
    const QString suffix = list == QLatin1String("type") ? QStringLiteral("Type") : QStringLiteral("Status");
    auto *box = f.get<DefinitionListBox>(list == QLatin1String("type") ? "lbTypes" : "lbStatus");
    auto *edit = f.get<QLineEdit>(qPrintable(QStringLiteral("edt") + suffix));
    if (step == QLatin1String("add")) {
        f.click(f.get<QToolButton>(qPrintable(QStringLiteral("sbAdd") + suffix)));
    } else if (step == QLatin1String("remove")) {
        f.click(f.get<QToolButton>(qPrintable(QStringLiteral("sbDelete") + suffix)));
    } else if (step.startsWith(QLatin1String("click:"))) {
        f.clickRow(box, step.mid(6).toInt());
    } else if (step.startsWith(QLatin1String("type:"))) {
        QVERIFY2(edit->hasFocus(), "the in-place editor has no focus to type into");
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, step.mid(5));
    } else if (step.startsWith(QLatin1String("key:"))) {
        static const QHash<QString, Qt::Key> keys{{"Down", Qt::Key_Down}, {"Up", Qt::Key_Up},
                                                  {"Enter", Qt::Key_Return}, {"Escape", Qt::Key_Escape},
                                                  {"Tab", Qt::Key_Tab}};
        QTest::keyClick(QApplication::focusWidget(), keys.value(step.mid(4)));
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }
}

} // namespace

class TstSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void definitionEditing_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("editing"); // the open editor's text; empty: closed

        const QStringList abc{"Alpha", "Beta", "Gamma"};
        QTest::newRow("a new entry is trimmed and capitalised")
            << "type" << QStringList{"Application", "Unit"} << QStringList{"add", "type: dLL tools ", "key:Enter"}
            << QStringList{"Application", "Dll tools", "Unit"} << 1 << "";
        QTest::newRow("renamed to another entry in other case: the edited one goes")
            << "type" << QStringList{"Application", "Tool", "Unit"} << QStringList{"click:1", "type:uNIT", "key:Enter"}
            << QStringList{"Application", "Unit"} << 1 << "";
        QTest::newRow("emptied entry is removed")
            << "type" << QStringList{"Application", "Tool", "Unit"} << QStringList{"click:1", "type:", "key:Enter"}
            << QStringList{"Application", "Unit"} << -1 << "";
        QTest::newRow("a blank name is no name")
            << "status" << QStringList{"In use", "Testing"} << QStringList{"click:0", "type:   ", "key:Enter"}
            << QStringList{"Testing"} << -1 << "";
        QTest::newRow("add then Enter changes nothing")
            << "type" << QStringList{"Application", "Unit"} << QStringList{"add", "key:Enter"}
            << QStringList{"Application", "Unit"} << -1 << "";
        QTest::newRow("add a name that is there selects it")
            << "status" << QStringList{"In use", "Testing"} << QStringList{"add", "type:TESTING", "key:Enter"}
            << QStringList{"In use", "Testing"} << 1 << "";
        QTest::newRow("the same name in other case keeps its spelling")
            << "type" << QStringList{"Unit"} << QStringList{"click:0", "type:UNIT", "key:Enter"} << QStringList{"Unit"}
            << 0 << "";
        QTest::newRow("a renamed entry sorts into place")
            << "type" << abc << QStringList{"click:0", "type:zulu", "key:Enter"}
            << QStringList{"Beta", "Gamma", "Zulu"} << 2 << "";
        QTest::newRow("typing stops at twenty characters")
            << "type" << QStringList{} << QStringList{"add", "type:abcdefghijklmnopqrstuvwxyz", "key:Enter"}
            << QStringList{"Abcdefghijklmnopqrst"} << 0 << "";
        QTest::newRow("remove on the last entry selects the new last")
            << "type" << abc << QStringList{"click:2", "remove"} << QStringList{"Alpha", "Beta"} << 1 << "";
        QTest::newRow("remove in the middle selects the next")
            << "type" << abc << QStringList{"click:1", "remove"} << QStringList{"Alpha", "Gamma"} << 1 << "";
        QTest::newRow("remove on an empty list does nothing")
            << "status" << QStringList{} << QStringList{"remove"} << QStringList{} << -1 << "";
        QTest::newRow("remove with nothing selected does nothing")
            << "type" << abc << QStringList{"remove"} << abc << -1 << "";
        QTest::newRow("remove an addition never named")
            << "type" << abc << QStringList{"add", "remove"} << abc << 0 << "";
        // Remove while a changed name is pending: the entry being edited goes, never
        // a neighbour that the commit moved into its place.
        QTest::newRow("remove while renaming removes the renamed entry")
            << "type" << abc << QStringList{"click:0", "type:zed", "remove"} << QStringList{"Beta", "Gamma"} << 0
            << "";
        QTest::newRow("remove while renaming to a name that is there keeps that one")
            << "type" << abc << QStringList{"click:0", "type:GAMMA", "remove"} << QStringList{"Beta", "Gamma"} << 0
            << "";
        QTest::newRow("remove while emptying removes only the emptied one")
            << "type" << abc << QStringList{"click:1", "type:", "remove"} << QStringList{"Alpha", "Gamma"} << 1 << "";
        QTest::newRow("Down commits and edits the next")
            << "type" << abc << QStringList{"click:0", "type:alpha", "key:Down"} << abc << 1 << "Beta";
        QTest::newRow("Down on the last stays there")
            << "type" << abc << QStringList{"click:2", "key:Down"} << abc << 2 << "Gamma";
        QTest::newRow("Up on the first stays there")
            << "type" << abc << QStringList{"click:0", "key:Up"} << abc << 0 << "Alpha";
        QTest::newRow("Up after an unnamed addition edits the first")
            << "type" << abc << QStringList{"add", "key:Up"} << abc << 0 << "Alpha";
        QTest::newRow("Down after an unnamed addition edits the first")
            << "type" << abc << QStringList{"add", "key:Down"} << abc << 0 << "Alpha";
        QTest::newRow("Escape takes back the typing, then commits")
            << "type" << abc << QStringList{"click:1", "type:Omega", "key:Escape"} << abc << 1 << "";
        QTest::newRow("Tab commits")
            << "status" << QStringList{"In use"} << QStringList{"click:0", "type:retired", "key:Tab"}
            << QStringList{"Retired"} << 0 << "";
        QTest::newRow("clicking another entry commits the open one")
            << "type" << abc << QStringList{"click:1", "type:Delta", "click:2"}
            << QStringList{"Alpha", "Delta", "Gamma"} << 2 << "Gamma";
        QTest::newRow("the keyboard moves the selection and opens the editor")
            << "type" << abc << QStringList{"click:0", "key:Enter", "key:Down"} << abc << 1 << "Beta";
    }
    void definitionEditing()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, before);
        QFETCH(QStringList, steps);
        Fixture f(before, before);
        f.open();
        for (const QString &step : steps) {
            perform(f, list, step);
            if (QTest::currentTestFailed())
                return;
        }
        const bool types = list == QLatin1String("type");
        auto *box = f.get<DefinitionListBox>(types ? "lbTypes" : "lbStatus");
        auto *border = f.get<QFrame>(types ? "pnlBorderType" : "pnlBorderStatus");
        auto *edit = f.get<QLineEdit>(types ? "edtType" : "edtStatus");
        QTEST(f.entries(box), "after");
        QTEST(box->selectedRow(), "selected");
        QFETCH(QString, editing);
        QCOMPARE(border->isVisible(), !editing.isEmpty());
        if (!editing.isEmpty()) {
            QCOMPARE(edit->text(), editing);
            QVERIFY(edit->hasFocus());
        } else {
            QVERIFY(!edit->hasFocus());
        }
        // Escape in the editor is the editor's; the dialog stays.
        QVERIFY(f.dialog.isVisible());
    }

    // The editor lies on the entry's row: a black frame one pixel around it, the
    // white field inside, the edit one pixel in.
    void editorCoversTheRow()
    {
        Fixture f;
        f.open();
        auto *box = f.get<DefinitionListBox>("lbTypes");
        f.clickRow(box, 2);
        auto *border = f.get<QFrame>("pnlBorderType");
        auto *field = f.get<QFrame>("pnlBGType");
        auto *edit = f.get<QLineEdit>("edtType");
        const QRect row = box->visualItemRect(box->item(2));
        QCOMPARE(border->geometry(), QRect(box->pos() + QPoint(2, 2) + row.topLeft() - QPoint(0, 1),
                                           QSize(row.width(), row.height() + 2)));
        QCOMPARE(field->geometry(), QRect(1, 1, border->width() - 2, border->height() - 2));
        QCOMPARE(edit->geometry(), QRect(1, 0, field->width() - 1, field->height()));
        QCOMPARE(edit->maxLength(), 20);
        QCOMPARE(edit->text(), QStringLiteral("Unit"));
        QCOMPARE(border->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(field->palette().color(QPalette::Window), QColor(Qt::white));
        saveShot(f.dialog, QStringLiteral("settings-editing.png"));
    }

    void escapeCancelsOnlyWithoutAnEditor()
    {
        Fixture f;
        f.open();
        QSignalSpy rejected(&f.dialog, &QDialog::rejected);
        f.clickRow(f.get<DefinitionListBox>("lbStatus"), 0);
        QTest::keyClick(f.get<QLineEdit>("edtStatus"), Qt::Key_Escape);
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(rejected.count(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(rejected.count(), 1);
    }

    // Each show fills the dialog from memory: Cancel keeps the lists and the flags;
    // Save takes them all.
    void saveAndCancel_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("save") << true;
        QTest::newRow("cancel") << false;
    }
    void saveAndCancel()
    {
        QFETCH(bool, save);
        Fixture f;
        f.open();
        QVERIFY(f.get<QCheckBox>("cbSaveInterface")->isChecked());
        QVERIFY(!f.get<QCheckBox>("cbSaveRecPos")->isChecked());
        perform(f, "type", "add");
        perform(f, "type", "type:expert");
        perform(f, "status", "click:1");
        perform(f, "status", "remove");
        for (const char *box : {"cbRememberPaths", "cbSaveInterface", "cbSaveRecPos"})
            f.click(f.get<QCheckBox>(box));
        QSignalSpy saved(&f.dialog, &TfrmSettings::definitionsSaved);
        f.click(f.get<QPushButton>(save ? "btnOK" : "btnCancel"));
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(saved.count(), save ? 1 : 0);
        if (save) {
            QCOMPARE(f.types.items(), QStringList({"Application", "Component", "Expert", "Unit"}));
            QCOMPARE(f.statuses.items(), QStringList{"In use"});
            QVERIFY(!f.settings.KeepPaths);
            QVERIFY(!f.settings.SaveInterface);
            QVERIFY(f.settings.SaveRecNo);
        } else {
            QCOMPARE(f.types.items(), QStringList({"Application", "Component", "Unit"}));
            QCOMPARE(f.statuses.items(), QStringList({"In use", "Testing"}));
            QVERIFY(f.settings.KeepPaths);
            QVERIFY(f.settings.SaveInterface);
            QVERIFY(!f.settings.SaveRecNo);
        }
        // The next show starts from memory again.
        f.open();
        QCOMPARE(f.entries(f.get<DefinitionListBox>("lbTypes")), f.types.items());
        QCOMPARE(f.get<DefinitionListBox>("lbTypes")->selectedRow(), -1);
        QVERIFY(!f.get<QFrame>("pnlBorderType")->isVisible());
        QCOMPARE(f.get<QCheckBox>("cbSaveInterface")->isChecked(), f.settings.SaveInterface);
    }

    // The save flag is shown the other way round and can never change.
    void saveDirectIsInvertedAndDisabled_data()
    {
        QTest::addColumn<bool>("saveToCache");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }
    void saveDirectIsInvertedAndDisabled()
    {
        QFETCH(bool, saveToCache);
        Fixture f;
        f.settings.SaveToCache = saveToCache;
        f.open();
        auto *box = f.get<QCheckBox>("cbSaveDirect");
        QCOMPARE(box->isChecked(), !saveToCache);
        QVERIFY(!box->isEnabled());
        f.click(box);
        f.click(f.get<QPushButton>("btnOK"));
        QCOMPARE(f.settings.SaveToCache, saveToCache);
    }

    void startWithPathsEnablesTheTaskRows()
    {
        Fixture f;
        f.settings.InitPaths = false;
        f.open();
        auto *task = f.get<QComboBox>("cbbPathDefs");
        auto *edit = f.get<QLineEdit>("edtPaths");
        auto *browse = f.get<QToolButton>("sbBrowse");
        for (QWidget *w : {static_cast<QWidget *>(task), static_cast<QWidget *>(edit), static_cast<QWidget *>(browse)})
            QVERIFY(!w->isEnabled());
        f.click(f.get<QCheckBox>("cbStartWithPaths"));
        for (QWidget *w : {static_cast<QWidget *>(task), static_cast<QWidget *>(edit), static_cast<QWidget *>(browse)})
            QVERIFY(w->isEnabled());
        QCOMPARE(task->currentText(), QStringLiteral("Open Archive"));
        QCOMPARE(edit->text(), f.folder());
        QCOMPARE(task->count(), 5);
        QCOMPARE(task->itemText(2), QStringLiteral("Save DataBase"));
    }

    // Leaving the Directory edit commits its text to the task it shows.
    void directoryCommit_data()
    {
        QTest::addColumn<QString>("typed"); // "<sub>" stands for an existing folder
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("stored"); // "<sub>", "<program>" or "<unchanged>"
        QTest::newRow("an existing folder is stored as typed") << "<sub>" << false << "<sub>";
        QTest::newRow("empty stores the program folder") << "" << false << "<program>";
        QTest::newRow("a missing folder is refused") << "/no/such/folder" << true << "<unchanged>";
        QTest::newRow("a file is no folder") << "<file>" << true << "<unchanged>";
        QTest::newRow("a folder named relative to nothing is refused") << "." << true << "<unchanged>";
    }
    void directoryCommit()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        QFETCH(QString, stored);
        Fixture f;
        const QString sub = f.subfolder(QStringLiteral("zips"));
        const QString file = f.dir.filePath(QStringLiteral("a.txt"));
        QFile(file).open(QIODevice::WriteOnly);
        f.settings.SpecifiedPaths[PathTask::OpenArchive] = QStringLiteral("/old/");
        typed.replace(QLatin1String("<sub>"), sub).replace(QLatin1String("<file>"), file);
        f.open();
        auto *edit = f.get<QLineEdit>("edtPaths");
        QCOMPARE(edit->text(), QStringLiteral("/old/"));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        QStringList seen;
        ModalScript script;
        if (refused)
            script.then([&](QDialog &d) {
                seen << saying(d);
                pressButton(d, QStringLiteral("OK"));
            });
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(script.done());
        const QString expected = stored == QLatin1String("<sub>")       ? sub
                               : stored == QLatin1String("<program>") ? f.folder()
                                                                        : QStringLiteral("/old/");
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], expected);
        if (refused) {
            QCOMPARE(seen, QStringList{"Invalid path: Please enter a valid path."});
            QTRY_VERIFY(edit->hasFocus());
            QCOMPARE(edit->text(), typed);
        } else {
            QVERIFY(!edit->hasFocus());
            QCOMPARE(edit->text(), expected);
        }
        // Nothing else moved.
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::SaveBitmap], f.folder());
    }

    // A committed folder is not taken back by Cancel; the next show edits task 0.
    void committedFolderSurvivesCancel()
    {
        Fixture f;
        const QString zips = f.subfolder(QStringLiteral("zips"));
        const QString bitmaps = f.subfolder(QStringLiteral("bitmaps"));
        f.open();
        auto *edit = f.get<QLineEdit>("edtPaths");
        auto *task = f.get<QComboBox>("cbbPathDefs");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, zips);
        // Picking another task commits the pending text to the task shown before.
        task->setFocus();
        QTest::keyClick(task, Qt::Key_End);
        QCOMPARE(task->currentText(), QStringLiteral("Save Bitmap"));
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], zips);
        QCOMPARE(edit->text(), f.folder());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, bitmaps);
        task->setFocus();
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::SaveBitmap], bitmaps);
        f.click(f.get<QPushButton>("btnCancel"));
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], zips);
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::SaveBitmap], bitmaps);
        // Cancel applied nothing else: the files still start where they did.
        QCOMPARE(f.settings.CurrentPaths[PathTask::SaveBitmap], f.folder());

        f.open();
        QCOMPARE(task->currentText(), QStringLiteral("Open Archive"));
        QCOMPARE(edit->text(), zips);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        f.get<QCheckBox>("cbSaveRecPos")->setFocus();
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], f.folder());
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::SaveBitmap], bitmaps);
    }

    // Save fills empty folders and, when the program starts with the specified
    // folders, makes them the file dialogs' folders at once.
    void saveTakesTheFolders_data()
    {
        QTest::addColumn<bool>("startWith");
        QTest::newRow("start with specified paths") << true;
        QTest::newRow("remember the last paths") << false;
    }
    void saveTakesTheFolders()
    {
        QFETCH(bool, startWith);
        Fixture f;
        const QString zips = f.subfolder(QStringLiteral("zips"));
        f.settings.InitPaths = !startWith;
        f.settings.SpecifiedPaths[PathTask::OpenDatabase] = QString();
        f.settings.CurrentPaths[PathTask::OpenArchive] = QStringLiteral("/elsewhere/");
        f.open();
        f.click(f.get<QCheckBox>("cbStartWithPaths"));
        if (startWith) {
            auto *edit = f.get<QLineEdit>("edtPaths");
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, zips);
        }
        f.click(f.get<QPushButton>("btnOK"));
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.settings.InitPaths, startWith);
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenDatabase], f.folder());
        if (startWith) {
            QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], zips);
            QCOMPARE(f.settings.CurrentPaths, f.settings.SpecifiedPaths);
        } else {
            QCOMPARE(f.settings.CurrentPaths[PathTask::OpenArchive], QStringLiteral("/elsewhere/"));
        }
    }

    // Save commits a refused folder first: the notice comes once, the dialog stays
    // open with the focus in the edit, and nothing is saved; a good folder saves.
    void saveWithARefusedFolderStaysOpen_data()
    {
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("mouse") << false;
        QTest::newRow("keyboard shortcut") << true;
    }
    void saveWithARefusedFolderStaysOpen()
    {
        QFETCH(bool, byKeyboard);
        Fixture f;
        f.open();
        f.click(f.get<QCheckBox>("cbSaveRecPos"));
        auto *edit = f.get<QLineEdit>("edtPaths");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("/no/such/folder"));
        auto *save = f.get<QPushButton>("btnOK");
        const auto pressSave = [&] {
            if (byKeyboard) {
                QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
                QTest::qWait(250); // the button's pressed look comes first
            } else {
                f.click(save);
            }
        };
        {
            int notices = 0;
            ModalScript script;
            script.then([&](QDialog &d) {
                ++notices;
                pressButton(d, QStringLiteral("OK"));
            });
            pressSave();
            QTRY_VERIFY(script.done());
            // No second notice follows.
            QTest::qWait(50);
            QCOMPARE(notices, 1);
            QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == &f.dialog);
        }
        QVERIFY(f.dialog.isVisible());
        QTRY_VERIFY(edit->hasFocus());
        QVERIFY(!save->isDown());
        QVERIFY(!f.settings.SaveRecNo);
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], f.folder());

        edit->selectAll();
        QTest::keyClicks(edit, f.subfolder(QStringLiteral("zips")));
        pressSave();
        QTRY_VERIFY(!f.dialog.isVisible());
        QVERIFY(f.settings.SaveRecNo);
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], f.dir.filePath(QStringLiteral("zips")));
    }

    // Browse opens the chooser on the typed folder; its OK writes the folder into
    // the edit, which stores it when left.
    void browseWritesTheChosenFolder()
    {
        Fixture f;
        const QString zips = f.subfolder(QStringLiteral("zips"));
        f.open();
        auto *edit = f.get<QLineEdit>("edtPaths");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, zips);
        QString openedOn;
        ModalScript script;
        script.then([&](QDialog &d) {
            openedOn = qobject_cast<TfrmSelectDir *>(&d)->directory();
            qobject_cast<TfrmSelectDir *>(&d)->setDirectory(f.dir.path());
            pressButton(d, QStringLiteral("OK"));
        });
        f.click(f.get<QToolButton>("sbBrowse"));
        QVERIFY(script.done());
        QCOMPARE(openedOn, zips);
        QCOMPARE(edit->text(), f.dir.path());
        QTRY_VERIFY(edit->hasFocus());
        // Not stored until the edit is left.
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], f.folder());
        f.get<QCheckBox>("cbSaveRecPos")->setFocus();
        QCOMPARE(f.settings.SpecifiedPaths[PathTask::OpenArchive], f.dir.path());
    }

    // The design's sizes and captions; remove stands above add.
    void layout()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(f.dialog.size(), QSize(373, 401));
        QVERIFY(centredOver(f.dialog, f.main));
        const std::pair<const char *, QSize> sizes[] = {
            {"grpPaths", {361, 117}}, {"grpTypes", {176, 175}}, {"grpStatus", {176, 175}}, {"grpMisc", {237, 93}},
            {"lbTypes", {131, 149}},  {"lbStatus", {131, 149}}, {"sbAddType", {24, 25}},  {"sbDeleteType", {24, 25}},
            {"sbAddStatus", {24, 25}}, {"sbDeleteStatus", {24, 25}}, {"btnOK", {115, 25}}, {"btnHelp", {115, 25}},
            {"btnCancel", {115, 25}}};
        for (const auto &[name, size] : sizes) {
            QWidget *w = f.get<QWidget>(name);
            QVERIFY2(w->size() == size, name);
            QVERIFY2(f.dialog.rect().contains(QRect(w->mapTo(&f.dialog, QPoint()), w->size())), name);
        }
        const std::pair<const char *, const char *> captions[] = {
            {"cbRememberPaths", "   &Remember paths"}, {"cbStartWithPaths", "   Start &with specified paths"},
            {"cbSaveInterface", "Save &interface settings"}, {"cbSaveRecPos", "Save &position in database"},
            {"cbSaveDirect", "Save when position in &database changes"}, {"btnOK", "&Save"},
            {"btnHelp", "&Help"}, {"btnCancel", "&Cancel"}};
        for (const auto &[name, caption] : captions)
            QCOMPARE(f.get<QAbstractButton>(name)->text(), QString::fromLatin1(caption));
        QVERIFY(!f.get<QPushButton>("btnHelp")->isEnabled());
        QVERIFY(f.get<QPushButton>("btnOK")->y() < f.get<QPushButton>("btnHelp")->y());
        QVERIFY(f.get<QPushButton>("btnHelp")->y() < f.get<QPushButton>("btnCancel")->y());
        for (const char *list : {"Type", "Status"}) {
            auto *add = f.get<QToolButton>(qPrintable(QStringLiteral("sbAdd%1").arg(list)));
            auto *remove = f.get<QToolButton>(qPrintable(QStringLiteral("sbDelete%1").arg(list)));
            QVERIFY(remove->y() < add->y());
            QCOMPARE(add->toolTip(), QStringLiteral("Add definition"));
            QCOMPARE(remove->toolTip(), QStringLiteral("Remove definition"));
            QCOMPARE(add->focusPolicy(), Qt::NoFocus);
            QCOMPARE(remove->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(f.get<QToolButton>("sbBrowse")->toolTip(), QStringLiteral("Browse"));
        saveShot(f.dialog, QStringLiteral("settings.png"));
    }
};

QTEST_MAIN(TstSettingsDialog)
#include "tst_settings_dialog.moc"
