#pragma once

#include <QObject>
#include <QString>
#include <functional>

class CatalogueSession;
class CatalogueTable;
class CommandState;
class FileCommands;
class PhraseCommands;
class PhraseList;
class PickList;
class QMainWindow;
class RecordEditing;
class SettingsBinding;
class SettingsFile;
class ViewSwitch;
struct MainForm;
struct ProgramSettings;

// The main window's life: the start-up sequence that brings up the settings, the
// catalogue and the first command state; the Exit command and closing; the shutdown
// sequence that stores the settings and lets an empty catalogue go.
class StartupShutdown : public QObject
{
public:
    struct Parts {
        QMainWindow &window;
        CatalogueTable &table;
        CatalogueSession &session;
        MainForm &form;
        CommandState &commands;
        ProgramSettings &settings;
        SettingsFile &settingsFile;
        SettingsBinding &binding;
        PickList &typeList;
        PickList &statusList;
        PhraseList &phrases;
        RecordEditing &editing;
        ViewSwitch &views;
        FileCommands &files;
        PhraseCommands &phraseCommands;
        std::function<void()> formResize;
    };
    explicit StartupShutdown(const Parts &parts);

    // The start-up sequence; ends by showing the window. A step that fails ends it,
    // and the user is told once the window shows.
    void FormCreate();
    // The shutdown sequence; runs once, before the dialogs are released.
    void FormDestroy();
    void ItmExitClick();
    // Whether the window may close: a close by the close box posts the record as
    // the Exit command would, and one that cannot be posted keeps the window open.
    // A close that goes ahead runs the shutdown sequence.
    bool closeRequested();

    // What start-up (and the settings write at exit) had to tell the user.
    const QString &startupMessages() const { return m_startupMessages; }
    // Tests read the start-up messages instead of answering a box.
    void setShowStartupMessages(bool show) { m_showStartupMessages = show; }

private:
    void startUp();
    void openShowingAnyWait();
    bool convertedParadox();

    Parts m_parts;
    QString m_startupMessages;
    bool m_showStartupMessages = true;
    bool m_shutDown = false;
    bool m_closing = false; // the Exit command's own close
};
