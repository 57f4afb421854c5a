// The file commands: New, Open, Reopen, Save, Save As and Pack. After each of them
// the table is open again, on the chosen catalogue or on the previous one.

#include "app/TfrmMain.h"

#include "app/ErrorReport.h"
#include "app/StatusPanels.h"
#include "catalogue/CreateRoutine.h"
#include "catalogue/DataSource.h"
#include "catalogue/FolderPath.h"
#include "catalogue/ui/MOXCantOpen.h"
#include "settings/Recent.h"
#include "settings/TextCompare.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

const QString Untitled = QStringLiteral("untitled.db");

QString folderOf(const QFileInfo &info)
{
    return withTrailingSeparator(info.absolutePath());
}

// Shows a progress dialog when the work takes longer than half a second.
class ProgressShown
{
public:
    ProgressShown(QWidget *parent, const QString &label)
        : m_dialog(label, QString(), 0, 100, parent)
    {
        m_dialog.setWindowTitle(QStringLiteral("Moxarium"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setCancelButton(nullptr);
        m_dialog.setAutoClose(false);
        m_dialog.setValue(0);
    }
    CatalogueFile::Progress callback()
    {
        return [this](qint64 done, qint64 total) {
            if (total <= 0) {
                m_dialog.setRange(0, 0);
                m_dialog.setValue(0);
            } else {
                m_dialog.setRange(0, 1000);
                m_dialog.setValue(int(done * 1000 / total));
            }
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

FileDialogRequest TfrmMain::databaseDialog(const QString &title, PathTask task) const
{
    FileDialogRequest request;
    request.title = title;
    request.folder = programSettings.CurrentPaths[task];
    request.fileName = tblContents.tableName();
    request.defaultSuffix = QStringLiteral("db");
    request.filters = {QStringLiteral("Paradox databases (*.db)")};
    return request;
}

bool TfrmMain::postChangedRecord()
{
    return ErrorReport::guarded(this, [this] {
        if (tblContents.active() && tblContents.modified()
            && (tblContents.state() == DataSetState::Edit || tblContents.state() == DataSetState::Insert))
            tblContents.post();
    });
}

void TfrmMain::addToRecent()
{
    const QString path = QDir::toNativeSeparators(tblContents.fullPath());
    for (const QString &entry : mnuMRU->entries()) {
        if (sameText(entry, path))
            return; // an entry that is there keeps its place
    }
    mnuMRU->AddFile(path);
}

void TfrmMain::showCantOpen(const QString &reason)
{
    if (frmCantOpen)
        frmCantOpen->showFor(reason);
    else
        QMessageBox::warning(this, QStringLiteral("Can't open database"),
                             QStringLiteral("Sorry, MOX can't open this database.\n") + reason);
}

// ---- New ------------------------------------------------------------------------------

void TfrmMain::ItmNewClick()
{
    if (!postChangedRecord())
        return;
    const QString folder = programSettings.CurrentPaths[PathTask::SaveDatabase];
    const QString path = pathInFolder(folder, Untitled);

    // A catalogue of that name that holds records is replaced only when the user says so.
    if (QFileInfo::exists(path)) {
        int count = 0;
        if (tblContents.active() && QFileInfo(tblContents.fullPath()) == QFileInfo(path)) {
            count = tblContents.recordCount();
        } else {
            CatalogueTable probe;
            probe.setDatabaseName(folder);
            probe.setTableName(Untitled);
            try {
                probe.open();
                count = probe.recordCount();
            } catch (const EngineError &) {
                count = -1; // cannot tell: ask
            }
        }
        if (count != 0) {
            const auto answer = QMessageBox::question(
                this, QStringLiteral("Moxarium"),
                QStringLiteral("untitled.db already holds records. Replace it with an empty catalogue?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
        }
    }

    const CreateOutcome outcome = createNewTable(tblContents, folder, Untitled);
    // Whatever happened, the status bar names the catalogue that is open now.
    ShowTableName(tblContents.tableName());
    ShowRecordNumber();
    if (!outcome.opened) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"),
                        QStringLiteral("Sorry, couldn't create the new table for you."), QMessageBox::Ok, this);
        box.exec();
    }
    if (!outcome.createError.isEmpty())
        ErrorReport::show(this, outcome.createError);
    if (!outcome.restoreError.isEmpty())
        ErrorReport::show(this, outcome.restoreError);
}

// ---- Open and Reopen --------------------------------------------------------------------

bool TfrmMain::saveFirst()
{
    if (!recordChanged())
        return true;
    if (!saveCommand())
        return false;
    EnableSave(false);
    return true;
}

// Steps common to Open and Reopen: the chosen catalogue, or the previous one again.
void TfrmMain::openChosen(const QString &path)
{
    const QFileInfo chosen(path);
    const QString oldFolder = tblContents.databaseName();
    const QString oldName = tblContents.tableName();
    const bool wasOpen = tblContents.active();
    tblContents.close();
    tblContents.setDatabaseName(folderOf(chosen));
    tblContents.setTableName(chosen.fileName());
    try {
        tblContents.open();
    } catch (const EngineError &e) {
        showCantOpen(e.message());
        tblContents.close();
        tblContents.setDatabaseName(oldFolder);
        tblContents.setTableName(oldName);
        if (wasOpen)
            ErrorReport::guarded(this, [this] { tblContents.open(); });
    }
}

void TfrmMain::ItmOpenClick()
{
    const QString chosen = m_fileDialogs->openFile(this, databaseDialog(QStringLiteral("Open a MOX database"),
                                                                        PathTask::OpenDatabase));
    if (chosen.isEmpty())
        return;
    if (!saveFirst())
        return;
    openChosen(chosen);
    if (tblContents.active())
        addToRecent();
    ShowTableName(tblContents.tableName());
    ShowRecordNumber();
    ShowModified(false);
    if (programSettings.KeepPaths)
        programSettings.CurrentPaths[PathTask::OpenDatabase] = folderOf(QFileInfo(chosen));
}

void TfrmMain::mnuMRUClick()
{
    const QString chosen = mnuMRU->FileName();
    if (!saveFirst())
        return;
    openChosen(QDir::fromNativeSeparators(chosen));
    ShowTableName(tblContents.tableName());
    ShowRecordNumber();
    ShowModified(false);
}

// ---- Save and Save As ---------------------------------------------------------------------

void TfrmMain::ItmSaveClick()
{
    saveCommand();
}

bool TfrmMain::saveCommand()
{
    const bool posted = ErrorReport::guarded(this, [this] {
        tblContents.edit();
        tblContents.post();
    });
    if (!posted)
        return false;
    if (tblContents.tableName() == Untitled)
        ItmSaveAsClick();
    return true;
}

void TfrmMain::ItmSaveAsClick()
{
    const bool untitled = tblContents.tableName() == Untitled;
    FileDialogRequest request = databaseDialog(QStringLiteral("Save with a new name"), PathTask::SaveDatabase);
    request.confirmCreate = true;
    const QString chosen = m_fileDialogs->saveFile(this, request);
    if (chosen.isEmpty())
        return;
    // What the user sees is what the saved file holds.
    if (!postChangedRecord())
        return;
    const QFileInfo target(chosen);
    const QString oldFolder = tblContents.databaseName();
    const QString oldName = tblContents.tableName();

    if (untitled) {
        // The catalogue goes where the user chose, under the chosen name.
        tblContents.close();
        const bool moved = ErrorReport::guarded(this, [&] { tblContents.moveTable(target.absoluteFilePath()); });
        if (!moved) {
            tblContents.setDatabaseName(oldFolder);
            tblContents.setTableName(oldName);
            ErrorReport::guarded(this, [this] { tblContents.open(); });
            ShowTableName(tblContents.tableName());
            return;
        }
        ErrorReport::guarded(this, [this] { tblContents.open(); });
    } else {
        tblContents.disableControls();
        bool copied = false;
        {
            ProgressShown progress(this, QStringLiteral("Saving %1...").arg(target.fileName()));
            copied = ErrorReport::guarded(this, [&] { tblContents.copyTable(target.absoluteFilePath(), progress.callback()); });
        }
        ErrorReport::guarded(this, [this] { tblContents.refresh(); });
        tblContents.enableControls();
        if (!copied)
            return; // the message said why; the catalogue stays as it was
        tblContents.close();
        tblContents.setDatabaseName(folderOf(target));
        tblContents.setTableName(target.fileName());
        try {
            tblContents.open();
        } catch (const EngineError &) {
            tblContents.close();
            tblContents.setDatabaseName(oldFolder);
            tblContents.setTableName(oldName);
        }
        if (!tblContents.active())
            ErrorReport::guarded(this, [this] { tblContents.open(); });
        ShowTableName(tblContents.tableName());
    }
    if (programSettings.KeepPaths)
        programSettings.CurrentPaths[PathTask::SaveDatabase] = folderOf(target);
    EnableSave(false);
    ShowModified(false);
    ShowTableName(tblContents.tableName());
    if (tblContents.active())
        addToRecent();
}

// ---- Pack -----------------------------------------------------------------------------------

void TfrmMain::ItmPackClick()
{
    // Packing closes the table: a changed record is written first.
    if (!postChangedRecord())
        return;
    tblContents.close();
    QString failure;
    {
        ProgressShown progress(this, QStringLiteral("Packing %1...").arg(tblContents.tableName()));
        try {
            tblContents.packTable(progress.callback());
        } catch (const std::exception &e) {
            failure = ErrorReport::textOf(e);
        }
    }
    if (!tblContents.active())
        ErrorReport::guarded(this, [this] { tblContents.open(); });
    if (!failure.isEmpty())
        ErrorReport::show(this, failure);
    ShowRecordNumber();
}
