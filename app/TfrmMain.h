#pragma once

#include "app/MainForm.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/session/CatalogueSession.h"
#include "settings/ProgramFolders.h"
#include "settings/ProgramSettings.h"
#include "settings/SortedTextList.h"

#include <QMainWindow>

class QTimer;
#include <memory>

class CommandState;
class DataSource;
class FileCommands;
class FileDialogs;
class ImageCommands;
class OriginLink;
class PhraseCommands;
class FindCommands;
class RecordEditing;
class SettingsBinding;
class SettingsCommands;
class SettingsFile;
class StartupShutdown;
class TRecentlist;
class ViewSwitch;

// The main window: builds the window, wires its parts together and owns what lives
// for the run: the catalogue table and its data source, the settings, the lists, the
// controls and the dialogs. The work is done by its parts: the command state, record
// editing, the view switch, the file commands, start-up and shutdown, and the
// settings binding.
class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    // programFolder holds "mox.ini"; fileDialogs answers the open and save dialogs.
    TfrmMain(const QString &programFolder, FileDialogs *fileDialogs, QWidget *parent = nullptr);
    // folders.settingsFolder holds "mox.ini"; folders.dataFolder stands in for every
    // empty folder setting.
    TfrmMain(const ProgramFolders &folders, FileDialogs *fileDialogs, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The start-up sequence; ends by showing the window.
    void FormCreate();
    // The shutdown sequence; run once, before the dialogs are released.
    void FormDestroy();
    // The dialogs are made after the main window, in their fixed order.
    void createDialogs();

    // The folder that stands in for every empty folder setting.
    QString programFolder() const { return m_programFolder; }
    // What start-up (and the settings write at exit) had to tell the user.
    const QString &startupMessages() const;
    // Tests read the start-up messages instead of answering a box.
    void setShowStartupMessages(bool show);

    // What tests reach beside what a user does: the table, the command state with
    // the status panels' data, the settings and the recent list.
    struct TestSeam {
        CatalogueTable &table;
        CommandState &commands;
        ProgramSettings &settings;
        TRecentlist &recentList;
        FindCommands &find;
    };
    TestSeam testSeam();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFont();
    void connectControls();
    // The resize rule for the client area's size.
    void FormResize();
    void ItmAboutClick();

    QString m_programFolder;
    CatalogueTable tblContents;
    DataSource *dsContents = nullptr;
    QTimer *m_orderPoll = nullptr; // while the order list is read on its own thread
    bool m_painted = false;
    ProgramSettings programSettings;
    std::unique_ptr<SettingsFile> m_settingsFile;
    PickList m_typeList;
    PickList m_statusList;
    PhraseList m_phrases;
    TRecentlist *mnuMRU = nullptr;
    MainForm m_form;
    CatalogueSession m_session{tblContents};
    std::unique_ptr<CommandState> m_commands;
    std::unique_ptr<RecordEditing> m_editing;
    std::unique_ptr<ViewSwitch> m_views;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<SettingsCommands> m_settingsCommands;
    std::unique_ptr<PhraseCommands> m_phraseCommands;
    std::unique_ptr<FindCommands> m_find;
    std::unique_ptr<SettingsBinding> m_binding;
    std::unique_ptr<StartupShutdown> m_life;
    std::unique_ptr<ImageCommands> m_images;
    std::unique_ptr<OriginLink> m_originLink;
};
