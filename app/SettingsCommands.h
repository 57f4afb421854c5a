#pragma once

#include <QObject>

class PickList;
struct MainForm;

// The Settings command of the main window. The dialog changes the settings and
// the pick lists in memory; the record page's Type and Status boxes then offer the
// saved definitions.
class SettingsCommands : public QObject
{
public:
    struct Parts {
        MainForm &form;
        PickList &typeList;
        PickList &statusList;
    };
    explicit SettingsCommands(const Parts &parts);

    void connectControls();
    // The Settings dialog exists from here on: the command works.
    void connectDialog();

    void ItmSettingsClick();

private:
    void showSavedDefinitions();

    Parts m_parts;
};
