// After each file command the table is open again, on the chosen catalogue or on
// the previous one; the status bar names what is open.

#include "app/FileCommands.h"

#include "app/CommandState.h"
#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "app/ParadoxOffer.h"
#include "app/ProgressShown.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/FolderPath.h"
#include "catalogue/session/CatalogueSession.h"
#include "catalogue/ui/MOXCantOpen.h"
#include "settings/Recent.h"
#include "settings/TextCompare.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <optional>

namespace {

QString folderOf(const QString &path)
{
    return withTrailingSeparator(QFileInfo(path).absolutePath());
}

} // namespace

FileCommands::FileCommands(const Parts &parts) : m_parts(parts) {}

void FileCommands::connectControls()
{
    MainForm &f = m_parts.form;
    connect(f.ItmNew, &QAction::triggered, this, [this] { ItmNewClick(); });
    connect(f.ItmOpen, &QAction::triggered, this, [this] { ItmOpenClick(); });
    connect(f.ItmPack, &QAction::triggered, this, [this] { ItmPackClick(); });
    connect(&m_parts.recentList, &TRecentlist::OnClick, this, [this](QObject *) { mnuMRUClick(); });
    connect(f.ItmSave, &QAction::triggered, this, [this] { saveCommand(); });
    connect(f.ItmSaveAs, &QAction::triggered, this, [this] { ItmSaveAsClick(); });
}

FileDialogRequest FileCommands::databaseDialog(const QString &title, PathTask task) const
{
    FileDialogRequest request;
    request.title = title;
    request.folder = m_parts.settings.CurrentPaths[task];
    request.fileName = m_parts.table.tableName();
    request.defaultSuffix = QStringLiteral("db");
    request.filters = {QStringLiteral("Paradox databases (*.db)")};
    // Catalogues of the program's earlier versions, made on Windows or DOS, are often
    // spelled NAME.DB; a desktop's own dialog may match the pattern with its case.
    if (task == PathTask::OpenDatabase)
        request.filters = {QStringLiteral("Paradox databases (*.db *.DB *.Db *.dB)")};
    return request;
}

void FileCommands::addToRecent(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    for (const QString &entry : m_parts.recentList.entries()) {
        if (sameText(entry, shown))
            return; // an entry that is there keeps its place
    }
    m_parts.recentList.AddFile(shown);
}

void FileCommands::showCantOpen(const QString &reason)
{
    if (m_parts.form.frmCantOpen)
        m_parts.form.frmCantOpen->showFor(reason);
    else
        QMessageBox::warning(&m_parts.window, QStringLiteral("Can't open database"),
                             QStringLiteral("Sorry, MOX can't open this database.\n") + reason);
}

void FileCommands::report(const SessionOutcome &outcome)
{
    for (const QString &error : outcome.errors)
        ErrorReport::show(&m_parts.window, error);
}

// ---- New ------------------------------------------------------------------------------

void FileCommands::ItmNewClick()
{
    CatalogueSession &session = m_parts.session;
    if (const std::optional<ActionFailure> failure = session.postChanges()) {
        ErrorReport::show(&m_parts.window, *failure);
        return;
    }
    const QString folder = m_parts.settings.CurrentPaths[PathTask::SaveDatabase];
    // A catalogue of that name that holds records is replaced only when the user says so.
    if (session.recordsIn(folder, CatalogueSession::untitledName()) != 0) {
        const auto answer = QMessageBox::question(
            &m_parts.window, QStringLiteral("Moxarium"),
            QStringLiteral("untitled.db already holds records. Replace it with an empty catalogue?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }

    const SessionOutcome outcome = session.create(folder, CatalogueSession::untitledName());
    // Whatever happened, the status bar names the catalogue that is open now.
    m_parts.commands.ShowTableName(m_parts.table.tableName());
    m_parts.commands.ShowRecordNumber();
    if (!outcome.succeeded) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"),
                        QStringLiteral("Sorry, couldn't create the new table for you."), QMessageBox::Ok,
                        &m_parts.window);
        box.exec();
    }
    report(outcome);
}

// ---- Open and Reopen --------------------------------------------------------------------

bool FileCommands::saveFirst()
{
    if (!m_parts.session.recordChanged())
        return true;
    if (!saveCommand())
        return false;
    m_parts.commands.EnableSave(false);
    return true;
}

// Steps common to Open and Reopen: the chosen catalogue, or the previous one again.
void FileCommands::openChosen(const QString &path)
{
    // A Paradox catalogue is converted first when the user says so; declined, it is
    // refused as any other file that is no catalogue.
    const ParadoxOffer::Result offered = ParadoxOffer(m_parts.window, m_parts.session).offer(path);
    const bool asUsual = offered.answer == ParadoxOffer::Answer::NotParadox || offered.answer == ParadoxOffer::Answer::Declined;
    const SessionOutcome outcome = asUsual ? m_parts.session.open(path) : offered.outcome;
    if (!outcome.succeeded)
        showCantOpen(outcome.cantOpen);
    report(outcome);
}

void FileCommands::ItmOpenClick()
{
    const QString chosen = m_parts.fileDialogs.openFile(
        &m_parts.window, databaseDialog(QStringLiteral("Open a MOX database"), PathTask::OpenDatabase));
    if (chosen.isEmpty())
        return;
    if (!saveFirst())
        return;
    openChosen(chosen);
    if (m_parts.table.active())
        addToRecent(m_parts.table.fullPath());
    m_parts.commands.ShowTableName(m_parts.table.tableName());
    m_parts.commands.ShowRecordNumber();
    m_parts.commands.ShowModified(false);
    if (m_parts.settings.KeepPaths)
        m_parts.settings.CurrentPaths[PathTask::OpenDatabase] = folderOf(chosen);
}

void FileCommands::mnuMRUClick()
{
    const QString chosen = m_parts.recentList.FileName();
    if (!saveFirst())
        return;
    openChosen(QDir::fromNativeSeparators(chosen));
    m_parts.commands.ShowTableName(m_parts.table.tableName());
    m_parts.commands.ShowRecordNumber();
    m_parts.commands.ShowModified(false);
}

// ---- Save and Save As ---------------------------------------------------------------------

void FileCommands::ItmSaveClick()
{
    saveCommand();
}

bool FileCommands::saveCommand()
{
    if (const std::optional<ActionFailure> failure = m_parts.session.postCurrent()) {
        ErrorReport::show(&m_parts.window, *failure);
        return false;
    }
    if (m_parts.session.isUntitled())
        ItmSaveAsClick();
    return true;
}

void FileCommands::ItmSaveAsClick()
{
    FileDialogRequest request = databaseDialog(QStringLiteral("Save with a new name"), PathTask::SaveDatabase);
    request.confirmCreate = true;
    const QString chosen = m_parts.fileDialogs.saveFile(&m_parts.window, request);
    if (chosen.isEmpty())
        return;
    SessionOutcome outcome;
    {
        ProgressShown progress(&m_parts.window, QStringLiteral("Saving %1...").arg(QFileInfo(chosen).fileName()));
        outcome = m_parts.session.saveAs(chosen, progress.callback());
    }
    report(outcome);
    if (!outcome.wentAhead)
        return;
    m_parts.commands.ShowTableName(m_parts.table.tableName());
    if (!outcome.succeeded)
        return; // the message said why; the catalogue stays as it was
    if (m_parts.settings.KeepPaths)
        m_parts.settings.CurrentPaths[PathTask::SaveDatabase] = folderOf(chosen);
    m_parts.commands.EnableSave(false);
    m_parts.commands.ShowModified(false);
    m_parts.commands.ShowTableName(m_parts.table.tableName());
    if (!outcome.openPath.isEmpty())
        addToRecent(outcome.openPath);
}

// ---- Pack -----------------------------------------------------------------------------------

void FileCommands::ItmPackClick()
{
    SessionOutcome outcome;
    {
        ProgressShown progress(&m_parts.window, QStringLiteral("Packing %1...").arg(m_parts.table.tableName()));
        outcome = m_parts.session.pack(progress.callback());
    }
    report(outcome);
    if (outcome.wentAhead)
        m_parts.commands.ShowRecordNumber();
}
