#pragma once

#include "app/FileDialogs.h"
#include "settings/ProgramSettings.h"

#include <QObject>

class CatalogueSession;
class CatalogueTable;
class CommandState;
class QWidget;
class TRecentlist;
struct MainForm;
struct SessionOutcome;

// The file commands New, Open, Reopen, Save, Save As and Pack, as the user meets
// them: the dialogs, the questions, the messages, the recent list and the remembered
// folders. The catalogue session does the work on the table.
class FileCommands : public QObject
{
public:
    struct Parts {
        QWidget &window;
        CatalogueTable &table;
        CatalogueSession &session;
        MainForm &form;
        CommandState &commands;
        ProgramSettings &settings;
        FileDialogs &fileDialogs;
        TRecentlist &recentList;
    };
    explicit FileCommands(const Parts &parts);

    void connectControls();

    void ItmNewClick();
    void ItmOpenClick();
    void mnuMRUClick();
    void ItmSaveClick();
    // The Save command; false when the record could not be posted.
    bool saveCommand();
    void ItmSaveAsClick();
    void ItmPackClick();

private:
    // Open and Reopen save a changed record first.
    bool saveFirst();
    void openChosen(const QString &path);
    void addToRecent(const QString &path);
    void showCantOpen(const QString &reason);
    void report(const SessionOutcome &outcome);
    FileDialogRequest databaseDialog(const QString &title, PathTask task) const;

    Parts m_parts;
};
