#include "app/RecordEditing.h"

#include "app/CommandState.h"
#include "app/ErrorReport.h"
#include "app/FileDialogs.h"
#include "app/MainForm.h"
#include "catalogue/FolderPath.h"
#include "catalogue/session/CatalogueSession.h"
#include "catalogue/ui/MOXDeleteRecord.h"
#include "settings/NormalizeText.h"
#include "settings/ProgramSettings.h"
#include "settings/SortedTextList.h"
#include "widgets/data/DBCheckBox.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/data/EditCommandTarget.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>

namespace S = CatalogueSchema;

RecordEditing::RecordEditing(const Parts &parts)
    : m_parts(parts), m_table(parts.table), m_form(parts.form), m_commands(parts.commands)
{
}

RecordEditing::~RecordEditing()
{
    if (m_table.handler() == this)
        m_table.setHandler(nullptr);
}

void RecordEditing::connectTable()
{
    m_table.setHandler(this);
}

void RecordEditing::onLockWait(bool waiting) noexcept
{
    if (waiting)
        m_lockWaitCursor.emplace();
    else
        m_lockWaitCursor.reset();
}

void RecordEditing::connectControls()
{
    MainForm &f = m_form;
    for (auto [menu, popup, handler] : {std::tuple{f.ItmUndo, f.Itm_Undo, &RecordEditing::ItmUndoClick},
                                        std::tuple{f.ItmCut, f.Itm_Cut, &RecordEditing::ItmCutClick},
                                        std::tuple{f.ItmCopy, f.Itm_Copy, &RecordEditing::ItmCopyClick},
                                        std::tuple{f.ItmPaste, f.Itm_Paste, &RecordEditing::ItmPasteClick},
                                        std::tuple{f.ItmSelectAll, f.Itm_SelectAll, &RecordEditing::ItmSelectAllClick},
                                        std::tuple{f.ItmClearAll, f.Itm_ClearAll, &RecordEditing::ItmClearAllClick}}) {
        connect(menu, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        connect(popup, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
    connect(f.sbBrowse, &QToolButton::clicked, this, [this] { sbBrowseClick(); });

    const auto reportTo = [this](const QString &message) { reportError(message); };
    for (DBEdit *edit : {f.edtArchive, f.edtProduct, f.edtOrigin}) {
        connect(edit, &DBEdit::changed, this, [this, edit](bool modified) { edtArchiveChange(modified, edit->isUndoAvailable()); });
        connect(edit, &DBEdit::keyReleased, this, [this, edit] { textKeyUp(edit->selectionLength()); });
        connect(edit, &DBEdit::mouseReleased, this, [this, edit] { edtArchiveMouseUp(edit->selectionLength()); });
        connect(edit, &DBEdit::errorRaised, this, reportTo);
    }
    for (DBMemo *memo : {f.memGuide, f.memComments}) {
        connect(memo, &DBMemo::changed, this, [this, memo](bool modified) { edtArchiveChange(modified, memo->isUndoAvailable()); });
        connect(memo, &DBMemo::keyReleased, this, [this, memo] { textKeyUp(memo->selectionLength()); });
        connect(memo, &DBMemo::mouseReleased, this, [this, memo] { edtArchiveMouseUp(memo->selectionLength()); });
        connect(memo, &DBMemo::errorRaised, this, reportTo);
    }
    for (DBComboBox *box : {f.cbbType, f.cbbStatus}) {
        connect(box, &DBComboBox::changed, this, [this] { cbbTypeChange(); });
        connect(box, &DBComboBox::keyReleased, this, [this, box] { textKeyUp(box->selectionLength()); });
        connect(box, &DBComboBox::errorRaised, this, reportTo);
    }
    connect(f.cbbType, &DBComboBox::exited, this, [this] { cbbTypeExit(); });
    connect(f.cbbStatus, &DBComboBox::exited, this, [this] { cbbStatusExit(); });
    for (DBCheckBox *box : {f.cbD1, f.cbD2, f.cbD3, f.cbCB, f.cbSource}) {
        connect(box, &QCheckBox::clicked, this, [this] { cbD1Click(); });
        connect(box, &DBCheckBox::errorRaised, this, reportTo);
    }
    for (DBImage *image : {f.imgOriginal, f.imgCurrent})
        connect(image, &DBImage::errorRaised, this, reportTo);
    connect(f.navContents, &DBNavigator::errorRaised, this, reportTo);
    connect(f.grdContents, &DBGrid::errorRaised, this, reportTo);
}

void RecordEditing::reportError(const QString &message)
{
    // Several controls may fail on one cause at once (a lock on the record's memos
    // and images): the box that shows it already says it.
    if (m_reportShowing == message)
        return;
    const QString before = std::exchange(m_reportShowing, message);
    ErrorReport::show(&m_parts.window, message);
    m_reportShowing = before;
}

// ---- the image rule ---------------------------------------------------------------------

void RecordEditing::EnableImageControls()
{
    setImageControlsEnabled(m_form.cbbType->text() == QLatin1String("Component"));
}

void RecordEditing::setImageControlsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(m_form.lblOriginal), static_cast<QWidget *>(m_form.imgOriginal),
                       static_cast<QWidget *>(m_form.sbCaptureOriginal), static_cast<QWidget *>(m_form.lblCurrent),
                       static_cast<QWidget *>(m_form.imgCurrent), static_cast<QWidget *>(m_form.sbCaptureCurrent)})
        w->setEnabled(on);
}

// ---- table events ---------------------------------------------------------------------

void RecordEditing::tblContentsNewRecord()
{
    // A new record starts with all five flags false, never empty.
    for (int field : {S::D1, S::D2, S::D3, S::Cb, S::Source})
        m_table.field(field).setAsBoolean(false);
}

void RecordEditing::tblContentsAfterInsert()
{
    m_commands.ShowRecordNumber();
}

void RecordEditing::tblContentsAfterPost()
{
    m_commands.ShowRecordNumber();
    m_commands.ShowModified(false);
}

void RecordEditing::tblContentsAfterCancel()
{
    m_commands.ShowRecordNumber();
    m_commands.ShowModified(false);
}

void RecordEditing::tblContentsAfterDelete()
{
    if (m_table.recordCount() == 0)
        m_table.append();
    m_commands.ShowRecordNumber();
}

void RecordEditing::tblContentsAfterScroll()
{
    m_commands.ShowRecordNumber();
    m_commands.ShowModified(false);
    if (m_parts.settings.Grid)
        return;
    // Judged by the record's own Type: while the display is suspended the Type box
    // may still show an earlier record.
    const bool component = m_table.field(S::Type).asString() == QLatin1String("Component");
    setImageControlsEnabled(component);
    if (!component) {
        m_table.edit();
        // Only a picture that is there is taken away: clearing an empty field is no change.
        for (int field : {S::OrigImg, S::CurrImg}) {
            if (!m_table.field(field).isNull())
                m_table.field(field).clear();
        }
    }
    m_table.edit();
}

void RecordEditing::tblContentsBeforeDelete()
{
    const bool yes = m_form.frmDelete
        ? m_form.frmDelete->confirm()
        : QMessageBox::question(&m_parts.window, QStringLiteral("Delete record"),
                                QStringLiteral("Are you sure you want to delete this record?"))
            == QMessageBox::Yes;
    if (!yes)
        throw AbortError();
}

void RecordEditing::tblContentsPostError(const EngineError &, DataAction &action)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"),
                    QStringLiteral("Posting this record causes a key violation!\n\n"
                                   "Please make sure the combination of archivename,\n"
                                   "productname and type definition together make a\n"
                                   "unique key. Otherwise you can't post this record."),
                    QMessageBox::Ok, &m_parts.window);
    box.exec();
    action = DataAction::Abort;
    // The box cannot take the focus while the record page is hidden.
    if (m_form.edtArchive->isVisible())
        m_form.edtArchive->setFocus();
}

// ---- control events -------------------------------------------------------------------

bool RecordEditing::startEditing()
{
    return ErrorReport::guarded(&m_parts.window, [this] { m_table.edit(); });
}

void RecordEditing::edtArchiveChange(bool modified, bool canUndo)
{
    // A whole text set by the program (browse, Clear All, a phrase) leaves the control
    // unmodified, but a record changed before stays changed.
    m_commands.ShowModified(modified || m_parts.session.recordChanged());
    m_commands.EnableUndo(canUndo);
    m_commands.EnableSave(true);
}

void RecordEditing::cbbTypeChange()
{
    m_commands.ShowModified(true);
    m_commands.EnableUndo(true);
    m_commands.EnableSave(true);
}

void RecordEditing::cbD1Click()
{
    m_commands.ShowModified(true);
}

void RecordEditing::textKeyUp(int selectionLength)
{
    m_commands.EnableCutCopy(selectionLength > 0);
}

void RecordEditing::edtArchiveMouseUp(int selectionLength)
{
    startEditing();
    m_commands.EnableCutCopy(selectionLength > 0);
}

void RecordEditing::extendPickList(DBComboBox *box, PickList &list)
{
    const QString normalized = NormalizeText(TrimControls(box->text()));
    if (box->findPickItem(normalized, Qt::CaseInsensitive) >= 0)
        return;
    const QString trimmed = TrimControls(box->text());
    if (trimmed.isEmpty())
        return;
    // The pick list gets the normalised form; the record keeps the text as typed.
    box->addPickItem(NormalizeText(trimmed));
    list.add(NormalizeText(trimmed));
}

void RecordEditing::cbbTypeExit()
{
    extendPickList(m_form.cbbType, m_parts.typeList);
    EnableImageControls();
}

void RecordEditing::cbbStatusExit()
{
    extendPickList(m_form.cbbStatus, m_parts.statusList);
    m_commands.EnableCutCopy(m_form.cbbStatus->selectionLength() > 0);
}

void RecordEditing::sbBrowseClick()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Select an archive");
    request.folder = m_parts.settings.CurrentPaths[PathTask::OpenArchive];
    request.defaultSuffix = QStringLiteral("zip");
    request.filters = {QStringLiteral("All files (*)"), QStringLiteral("Zipped files (*.zip)")};
    request.filterIndex = 1;
    const QString chosen = m_parts.fileDialogs.openFile(&m_parts.window, request);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    m_form.edtArchive->setFocus();
    m_form.edtArchive->setText(info.fileName());
    if (m_parts.settings.KeepPaths)
        m_parts.settings.CurrentPaths[PathTask::OpenArchive] = withTrailingSeparator(info.absolutePath());
}

// ---- edit commands --------------------------------------------------------------------

namespace {
EditCommandTarget *focusedTarget()
{
    return EditCommandTarget::forWidget(QApplication::focusWidget());
}
} // namespace

void RecordEditing::ItmUndoClick()
{
    if (!QApplication::focusWidget() || !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editUndo();
}

void RecordEditing::ItmCutClick()
{
    if (!QApplication::focusWidget() || !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editCut();
}

void RecordEditing::ItmCopyClick()
{
    if (!QApplication::focusWidget())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editCopy();
    m_commands.EnablePaste(true);
}

void RecordEditing::ItmPasteClick()
{
    if (!QApplication::focusWidget() || !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editPaste();
}

void RecordEditing::ItmSelectAllClick()
{
    if (EditCommandTarget *target = focusedTarget())
        target->editSelectAll();
}

void RecordEditing::ItmClearAllClick()
{
    // Clearing changes the record as typing does, so the empty box is what is stored.
    if (QApplication::focusWidget() && m_table.active() && !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editClearAll();
}
