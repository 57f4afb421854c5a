#include "app/StartupShutdown.h"

#include "app/BusyCursor.h"
#include "app/CommandState.h"
#include "app/ErrorReport.h"
#include "app/FileCommands.h"
#include "app/PhraseCommands.h"
#include "app/MainForm.h"
#include "app/ParadoxOffer.h"
#include "app/RecordEditing.h"
#include "app/SettingsBinding.h"
#include "app/ViewSwitch.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/session/CatalogueSession.h"
#include "catalogue/ui/MOXFind.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SortedTextList.h"
#include "settings/WindowPlacement.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBNavigator.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>

StartupShutdown::StartupShutdown(const Parts &parts) : m_parts(parts) {}

void StartupShutdown::FormCreate()
{
    if (const std::optional<ActionFailure> failure = runAction([this] { startUp(); }); failure && !failure->silent) {
        // The rest of the sequence is skipped; the user works with what was set up.
        m_startupMessages += (m_startupMessages.isEmpty() ? QString() : QStringLiteral("\n\n"))
                           + ErrorReport::withFullStop(failure->message);
    }
    // 15
    m_parts.window.show();
    m_parts.formResize();
    if (!m_startupMessages.isEmpty() && m_showStartupMessages) {
        QTimer::singleShot(0, this, [this] {
            QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"), m_startupMessages, QMessageBox::Ok,
                            &m_parts.window);
            box.exec();
        });
    }
}

void StartupShutdown::startUp()
{
    MainForm &form = m_parts.form;
    CatalogueTable &table = m_parts.table;
    CommandState &commands = m_parts.commands;
    ProgramSettings &settings = m_parts.settings;

    // 2-3: the lists start empty; the settings file fills them.
    m_parts.phrases.clear();
    QList<SettingsProblem> problems;
    {
        // What loading found wrong with the catalogue's order is told first, also
        // when loading then fails.
        const auto notices = qScopeGuard([this] { m_startupMessages += m_parts.binding.takeNotices(); });
        problems = m_parts.settingsFile.LoadSettings(settings, m_parts.binding);
    }
    form.cbbType->setPickItems(m_parts.typeList.items());
    form.cbbStatus->setPickItems(m_parts.statusList.items());
    if (!problems.isEmpty())
        m_startupMessages += describeSettingsProblems(problems);

    // 4
    ApplyWindowPlacement(m_parts.binding, settings.WindowPosition, settings.WindowState);

    // 5-6: hints reach the status bar through status-tip events (see TfrmMain::event);
    // Paste follows the clipboard.
    QClipboard *clipboard = QGuiApplication::clipboard();
    commands.setClipboard(clipboard);
    connect(clipboard, &QClipboard::dataChanged, this, [this] { m_parts.commands.UpdatePaste(); });

    // 7: a catalogue named in the settings that does not exist yet is made empty
    // at that place, so a first start has a catalogue to work in.
    if (!QFileInfo::exists(table.fullPath())) {
        const SessionOutcome outcome = m_parts.session.create(table.databaseName(), table.tableName());
        // Nothing was open before, so the only error can be the create's own.
        if (!outcome.succeeded)
            throw EngineError(outcome.errors.isEmpty() ? QStringLiteral("Sorry, couldn't create the new table for you.")
                                                       : outcome.errors.first());
    } else if (!convertedParadox()) {
        openShowingAnyWait();
    }

    // 8: a number the table cannot reach leaves it on its first record.
    table.setRecNo(settings.RecNo);

    // 9-11
    commands.ShowModified(false);
    commands.ShowTableName(table.tableName());
    commands.EnableUndo(false);
    commands.EnablePaste(false);
    commands.EnableSelectAll(true);

    // 12
    if (settings.Grid) {
        m_parts.views.showPage(0);
        form.ItmGrid->setChecked(true);
        form.ItmRecord->setChecked(false);
        form.navContents->setEnabled(false);
    } else {
        form.ItmGrid->setChecked(false);
        form.ItmRecord->setChecked(true);
        form.navContents->setEnabled(true);
        m_parts.editing.tblContentsAfterScroll();
    }

    // 13-14
    m_parts.phraseCommands.buildPhraseMenu();
    if (!settings.Grid)
        commands.RememberCommandStates();
}

// A catalogue named in the settings that is still a Paradox table is converted when
// the user says so; true when it is open now. Declined, the open refuses it as any
// file that is no catalogue.
bool StartupShutdown::convertedParadox()
{
    const ParadoxOffer::Result offered = ParadoxOffer(m_parts.window, m_parts.session).offer(m_parts.table.fullPath());
    switch (offered.answer) {
    case ParadoxOffer::Answer::NotParadox:
    case ParadoxOffer::Answer::Declined:
        return false;
    case ParadoxOffer::Answer::Converted:
        return true;
    case ParadoxOffer::Answer::Failed:
        break;
    }
    throw EngineError(offered.outcome.errors.isEmpty() ? offered.outcome.cantOpen : offered.outcome.errors.first());
}

// A catalogue that another program holds locked makes the open wait up to the lock
// time-out. The window is not left unseen meanwhile: a first try that does not wait
// tells, and then the window shows with the busy cursor before the open waits.
void StartupShutdown::openShowingAnyWait()
{
    if (m_parts.session.openUnlessLocked())
        return;
    const BusyCursor busy;
    m_parts.window.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_parts.table.open();
}

void StartupShutdown::FormDestroy()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    CatalogueTable &table = m_parts.table;
    const std::optional<ActionFailure> failure = runAction([&] {
        // 1: the find dialog's place, also when it was never shown.
        if (m_parts.form.frmFind)
            m_parts.settings.FindPosition = formatFindPosition(m_parts.form.frmFind->pos());
        // 2
        CaptureWindowPlacement(m_parts.binding, m_parts.settings);
        // 3
        m_parts.typeList.clear();
        for (const QString &item : m_parts.form.cbbType->pickItems())
            m_parts.typeList.add(item);
        m_parts.statusList.clear();
        for (const QString &item : m_parts.form.cbbStatus->pickItems())
            m_parts.statusList.add(item);
        const QString notice = m_parts.settingsFile.SaveSettings(m_parts.settings, m_parts.binding);
        if (!notice.isEmpty()) {
            // What the settings file could not keep as it was (its encoding, a file
            // that is not a regular one) is said once, as the program ends.
            if (m_showStartupMessages)
                QMessageBox::information(&m_parts.window, QStringLiteral("Moxarium"), notice);
            else
                m_startupMessages += notice;
        }
        // 4-5: a catalogue without records is not kept. The file is counted now, since
        // another program may have filled it; when nobody can tell, it stays.
        if (table.active()) {
            const int stored = table.storedRecordCount();
            table.close();
            if (stored == 0)
                table.deleteTable();
        }
    });
    if (failure)
        ErrorReport::show(&m_parts.window, *failure);
    table.close();
}

void StartupShutdown::ItmExitClick()
{
    // A catalogue that is not open has nothing to save.
    if (m_parts.session.recordChanged() && !m_parts.files.saveCommand())
        return;
    if (m_parts.commands.panelText(CommandState::NamePanel) == QLatin1String("untitled") && m_parts.table.active())
        m_parts.files.ItmSaveAsClick();
    m_closing = true;
    m_parts.window.close();
    m_closing = false;
}

bool StartupShutdown::closeRequested()
{
    if (!m_closing && m_parts.session.recordChanged()) {
        const bool posted = ErrorReport::guarded(&m_parts.window, [this] { m_parts.table.post(); });
        if (!posted)
            return false;
    }
    FormDestroy();
    return true;
}
