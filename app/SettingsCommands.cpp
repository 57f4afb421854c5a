#include "app/SettingsCommands.h"

#include "app/MainForm.h"
#include "settings/SortedTextList.h"
#include "settings/ui/MOXSettings.h"
#include "widgets/data/DBComboBox.h"

#include <QAction>

SettingsCommands::SettingsCommands(const Parts &parts) : m_parts(parts) {}

void SettingsCommands::connectControls()
{
    connect(m_parts.form.ItmSettings, &QAction::triggered, this, [this] { ItmSettingsClick(); });
}

void SettingsCommands::connectDialog()
{
    MainForm &f = m_parts.form;
    if (!f.frmSettings)
        return;
    connect(f.frmSettings, &TfrmSettings::definitionsSaved, this, [this] { showSavedDefinitions(); });
    f.ItmSettings->setEnabled(true);
}

void SettingsCommands::ItmSettingsClick()
{
    if (m_parts.form.frmSettings)
        m_parts.form.frmSettings->exec();
}

void SettingsCommands::showSavedDefinitions()
{
    // The boxes' own lists are what the settings file gets at exit.
    m_parts.form.cbbType->setPickItems(m_parts.typeList.items());
    m_parts.form.cbbStatus->setPickItems(m_parts.statusList.items());
}
