// The main window's command state, status bar, record editing and view switch.

#include "app/TfrmMain.h"

#include "app/ErrorReport.h"
#include "app/FileDialogs.h"
#include "app/MainLayout.h"
#include "app/StatusPanels.h"
#include "catalogue/FolderPath.h"
#include "catalogue/ui/MOXDeleteRecord.h"
#include "settings/NormalizeText.h"
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
#include <QClipboard>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QStackedWidget>
#include <QToolButton>

namespace S = CatalogueSchema;

// ---- status bar ---------------------------------------------------------------------

void TfrmMain::ShowRecordNumber()
{
    QString number;
    QString count;
    if (tblContents.active()) {
        if (tblContents.bof() && tblContents.eof()) {
            number = count = QStringLiteral("0");
        } else if (tblContents.state() != DataSetState::Insert) {
            number = QString::number(tblContents.recNo());
            count = QString::number(tblContents.recordCount()).left(6);
        }
    }
    if (!number.isEmpty() && !count.isEmpty()) {
        const QString text = QStringLiteral("Record ") + number + QStringLiteral(" of ") + count;
        stsMOX->setText(0, text);
        stsMOX->setPanelWidth(0, stsMOX->textWidth(text) + 10);
    } else {
        stsMOX->setText(0, QString());
        stsMOX->setPanelWidth(0, 100);
    }
    FitHintPanel();
}

void TfrmMain::ShowModified(bool modified)
{
    stsMOX->setPanelWidth(1, stsMOX->textWidth(QStringLiteral("Modified")) + 10);
    stsMOX->setText(1, modified ? QStringLiteral("Modified") : QString());
    FitHintPanel();
}

bool TfrmMain::IsModified() const
{
    return stsMOX->text(1) == QLatin1String("Modified");
}

void TfrmMain::ShowTableName(const QString &name)
{
    qsizetype cut = -1;
    for (const QChar sep : {QChar(u'/'), QChar(u'\\'), QChar(u':')})
        cut = std::max(cut, name.lastIndexOf(sep));
    QString shown = name.mid(cut + 1);
    const qsizetype at = shown.toLower().indexOf(QLatin1String(".db"));
    if (at >= 0)
        shown.remove(at, 3);
    stsMOX->setPanelWidth(3, stsMOX->textWidth(shown) + 10);
    stsMOX->setText(3, shown);
    FitHintPanel();
}

void TfrmMain::FitHintPanel()
{
    stsMOX->setPanelWidth(2, stsMOX->width() - stsMOX->panelWidth(0) - stsMOX->panelWidth(1) - stsMOX->panelWidth(3));
}

void TfrmMain::ShowHintText(const QString &hint)
{
    stsMOX->setText(2, hint);
}

// ---- command groups -------------------------------------------------------------------

void TfrmMain::EnableSave(bool on)
{
    ItmSave->setEnabled(on);
}

void TfrmMain::EnableUndo(bool on)
{
    ItmUndo->setEnabled(on);
    Itm_Undo->setEnabled(on);
}

void TfrmMain::EnableCutCopy(bool on)
{
    for (QAction *a : {ItmCut, Itm_Cut, ItmCopy, Itm_Copy})
        a->setEnabled(on);
}

void TfrmMain::EnablePaste(bool on)
{
    ItmPaste->setEnabled(on);
    Itm_Paste->setEnabled(on);
}

void TfrmMain::EnableSelectAll(bool on)
{
    for (QAction *a : {ItmSelectAll, Itm_SelectAll, ItmClearAll, Itm_ClearAll})
        a->setEnabled(on);
}

void TfrmMain::UpdatePaste()
{
    const QMimeData *data = m_clipboard ? m_clipboard->mimeData() : nullptr;
    EnablePaste(data && data->hasText());
}

void TfrmMain::RememberCommandStates()
{
    m_rememberedPaste = ItmPaste->isEnabled();
    m_rememberedCutCopy = ItmCut->isEnabled();
    m_rememberedSelectAll = ItmSelectAll->isEnabled();
}

void TfrmMain::EnableImageControls()
{
    setImageControlsEnabled(cbbType->text() == QLatin1String("Component"));
}

void TfrmMain::setImageControlsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(lblOriginal), static_cast<QWidget *>(imgOriginal),
                       static_cast<QWidget *>(sbCaptureOriginal), static_cast<QWidget *>(lblCurrent),
                       static_cast<QWidget *>(imgCurrent), static_cast<QWidget *>(sbCaptureCurrent)})
        w->setEnabled(on);
}

// ---- table events ---------------------------------------------------------------------

void TfrmMain::tblContentsNewRecord()
{
    // A new record starts with all five flags false, never empty.
    for (int field : {S::D1, S::D2, S::D3, S::Cb, S::Source})
        tblContents.field(field).setAsBoolean(false);
}

void TfrmMain::tblContentsAfterInsert()
{
    ShowRecordNumber();
}

void TfrmMain::tblContentsAfterPost()
{
    ShowRecordNumber();
    ShowModified(false);
}

void TfrmMain::tblContentsAfterCancel()
{
    ShowRecordNumber();
    ShowModified(false);
}

void TfrmMain::tblContentsAfterDelete()
{
    if (tblContents.recordCount() == 0)
        tblContents.append();
    ShowRecordNumber();
}

void TfrmMain::tblContentsAfterScroll()
{
    ShowRecordNumber();
    ShowModified(false);
    if (programSettings.Grid)
        return;
    // Judged by the record's own Type: while the display is suspended the Type box
    // may still show an earlier record.
    const bool component = tblContents.field(S::Type).asString() == QLatin1String("Component");
    setImageControlsEnabled(component);
    if (!component) {
        tblContents.edit();
        // Only a picture that is there is taken away: clearing an empty field is no change.
        for (int field : {S::OrigImg, S::CurrImg}) {
            if (!tblContents.field(field).isNull())
                tblContents.field(field).clear();
        }
    }
    tblContents.edit();
}

void TfrmMain::tblContentsBeforeDelete()
{
    const bool yes = frmDelete ? frmDelete->confirm()
                               : QMessageBox::question(this, QStringLiteral("Delete record"),
                                                       QStringLiteral("Are you sure you want to delete this record?"))
                                     == QMessageBox::Yes;
    if (!yes)
        throw AbortError();
}

void TfrmMain::tblContentsPostError(const EngineError &, DataAction &action)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"),
                    QStringLiteral("Posting this record causes a key violation!\n\n"
                                   "Please make sure the combination of archivename,\n"
                                   "productname and type definition together make a\n"
                                   "unique key. Otherwise you can't post this record."),
                    QMessageBox::Ok, this);
    box.exec();
    action = DataAction::Abort;
    // The box cannot take the focus while the record page is hidden.
    if (edtArchive->isVisible())
        edtArchive->setFocus();
}

// ---- control events -------------------------------------------------------------------

bool TfrmMain::startEditing()
{
    return ErrorReport::guarded(this, [this] { tblContents.edit(); });
}

bool TfrmMain::recordChanged() const
{
    const DataSetState state = tblContents.state();
    return tblContents.active() && (state == DataSetState::Edit || state == DataSetState::Insert)
        && tblContents.modified();
}

void TfrmMain::edtArchiveChange(bool modified, bool canUndo)
{
    // A whole text set by the program (browse, Clear All, a phrase) leaves the control
    // unmodified, but a record changed before stays changed.
    ShowModified(modified || recordChanged());
    EnableUndo(canUndo);
    EnableSave(true);
}

void TfrmMain::cbbTypeChange()
{
    ShowModified(true);
    EnableUndo(true);
    EnableSave(true);
}

void TfrmMain::cbD1Click()
{
    ShowModified(true);
}

void TfrmMain::textKeyUp(int selectionLength)
{
    EnableCutCopy(selectionLength > 0);
}

void TfrmMain::edtArchiveMouseUp(int selectionLength)
{
    startEditing();
    EnableCutCopy(selectionLength > 0);
}

void TfrmMain::extendPickList(DBComboBox *box, PickList &list)
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

void TfrmMain::cbbTypeExit()
{
    extendPickList(cbbType, m_typeList);
    EnableImageControls();
}

void TfrmMain::cbbStatusExit()
{
    extendPickList(cbbStatus, m_statusList);
    EnableCutCopy(cbbStatus->selectionLength() > 0);
}

void TfrmMain::sbBrowseClick()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Select an archive");
    request.folder = programSettings.CurrentPaths[PathTask::OpenArchive];
    request.defaultSuffix = QStringLiteral("zip");
    request.filters = {QStringLiteral("All files (*)"), QStringLiteral("Zipped files (*.zip)")};
    request.filterIndex = 1;
    const QString chosen = m_fileDialogs->openFile(this, request);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    edtArchive->setFocus();
    edtArchive->setText(info.fileName());
    if (programSettings.KeepPaths)
        programSettings.CurrentPaths[PathTask::OpenArchive] = withTrailingSeparator(info.absolutePath());
}

// ---- edit commands --------------------------------------------------------------------

namespace {
EditCommandTarget *focusedTarget()
{
    return EditCommandTarget::forWidget(QApplication::focusWidget());
}
} // namespace

void TfrmMain::ItmUndoClick()
{
    if (!QApplication::focusWidget() || !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editUndo();
}

void TfrmMain::ItmCutClick()
{
    if (!QApplication::focusWidget() || !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editCut();
}

void TfrmMain::ItmCopyClick()
{
    if (!QApplication::focusWidget())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editCopy();
    EnablePaste(true);
}

void TfrmMain::ItmPasteClick()
{
    if (!QApplication::focusWidget() || !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editPaste();
}

void TfrmMain::ItmSelectAllClick()
{
    if (EditCommandTarget *target = focusedTarget())
        target->editSelectAll();
}

void TfrmMain::ItmClearAllClick()
{
    // Clearing changes the record as typing does, so the empty box is what is stored.
    if (QApplication::focusWidget() && tblContents.active() && !startEditing())
        return;
    if (EditCommandTarget *target = focusedTarget())
        target->editClearAll();
}

// ---- sorting by a column title ----------------------------------------------------------

void TfrmMain::grdContentsTitleBtnClick(int, int fieldPos)
{
    tblContents.disableControls();
    ErrorReport::guarded(this, [&] {
        const int sortable[] = {S::Archive, S::Product, S::Type, S::Status, S::Origin};
        if (std::find(std::begin(sortable), std::end(sortable), fieldPos) == std::end(sortable))
            return;
        const QString label = tblContents.field(fieldPos).displayLabel();
        const QString next = tblContents.indexName().contains(label + QStringLiteral("_Up"))
            ? QStringLiteral("idx_%1_Down").arg(label)
            : QStringLiteral("idx_%1_Up").arg(label);
        tblContents.setIndexName(next);
    });
    tblContents.enableControls();
    // The current record stays current at its place in the new order.
    ShowRecordNumber();
}

// ---- views -----------------------------------------------------------------------------

void TfrmMain::ItmGridClick()
{
    showPage(0);
}

void TfrmMain::ItmRecordClick()
{
    showPage(1);
}

void TfrmMain::showPage(int page)
{
    if (nbContents->currentIndex() != page)
        nbContents->setCurrentIndex(page);
    else
        (page == 0 ? ItmGrid : ItmRecord)->setChecked(true); // a click on the checked item changes nothing
}

// Step 3 of the switch: what the user changed on the record page is written now.
void TfrmMain::commitForViewSwitch()
{
    if (!tblContents.active())
        return;
    if (tblContents.state() == DataSetState::Insert && !tblContents.modified()) {
        tblContents.cancel(); // an untouched new record is no record to write
        return;
    }
    if (tblContents.state() == DataSetState::Browse && tblContents.isEmpty()) {
        ShowRecordNumber();
        ShowModified(false);
        return;
    }
    tblContents.edit();
    tblContents.post();
}

void TfrmMain::nbContentsPageChanged(int page)
{
    if (m_revertingPage)
        return;
    const bool toGrid = page == 0;
    const auto setMarks = [this](bool grid) {
        ItmGrid->setChecked(grid);
        ItmRecord->setChecked(!grid);
        navContents->setEnabled(!grid);
    };
    tblContents.disableControls();
    setMarks(toGrid);
    const bool committed = ErrorReport::guarded(this, [this] { commitForViewSwitch(); });
    tblContents.enableControls();
    if (!committed) {
        // The record could not be written: back to the page it is being edited on.
        m_revertingPage = true;
        nbContents->setCurrentIndex(m_lastPage);
        setMarks(m_lastPage == 0);
        m_revertingPage = false;
        if (m_lastPage == 1)
            edtArchive->setFocus();
        return;
    }
    m_lastPage = page;
    if (toGrid) {
        RememberCommandStates();
        EnableUndo(false);
        EnablePaste(false);
        EnableCutCopy(false);
        EnableSelectAll(false);
        programSettings.Grid = true;
    } else {
        EnableUndo(false);
        EnablePaste(m_rememberedPaste);
        EnableCutCopy(m_rememberedCutCopy);
        EnableSelectAll(m_rememberedSelectAll);
        programSettings.Grid = false;
        EnableImageControls();
    }
}

void TfrmMain::FormResize()
{
    const MainLayout l = MainLayout::forClient(m_client->width(), m_client->height());
    pnlToolbar->resize(l.toolbarWidth, pnlToolbar->height());
    bvlSplitToolbar->move(l.dividerLeft, bvlSplitToolbar->y());
    navContents->move(l.navigatorLeft, navContents->y());
    nbContents->resize(l.notebookWidth, l.notebookHeight);
    grpInfo->resize(l.infoWidth, l.infoHeight);
    memGuide->setGeometry(memGuide->x(), 15, l.memoWidth, l.memoHeight);
    memComments->setGeometry(memComments->x(), l.commentsTop, l.memoWidth, l.memoHeight);
    lblComments->move(lblComments->x(), l.commentsTop);
    stsMOX->setGeometry(stsMOX->x(), l.statusTop, l.statusWidth, stsMOX->height());
    FitHintPanel();
}
