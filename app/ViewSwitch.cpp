#include "app/ViewSwitch.h"

#include "app/CommandState.h"
#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "app/RecordEditing.h"
#include "catalogue/CatalogueTable.h"
#include "settings/ProgramSettings.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QStackedWidget>

namespace S = CatalogueSchema;

ViewSwitch::ViewSwitch(const Parts &parts) : m_parts(parts) {}

void ViewSwitch::connectControls()
{
    MainForm &f = m_parts.form;
    connect(f.ItmGrid, &QAction::triggered, this, [this] { ItmGridClick(); });
    connect(f.ItmRecord, &QAction::triggered, this, [this] { ItmRecordClick(); });
    connect(f.grdContents, &DBGrid::titleClicked, this,
            [this](int column, int fieldPos) { grdContentsTitleBtnClick(column, fieldPos); });
    connect(f.grdContents, &DBGrid::recordDoubleClicked, this, [this] { showPage(1); });
    connect(f.nbContents, &QStackedWidget::currentChanged, this, [this](int page) { nbContentsPageChanged(page); });
}

void ViewSwitch::ItmGridClick()
{
    showPage(0);
}

void ViewSwitch::ItmRecordClick()
{
    showPage(1);
}

void ViewSwitch::showPage(int page)
{
    MainForm &f = m_parts.form;
    if (f.nbContents->currentIndex() != page)
        f.nbContents->setCurrentIndex(page);
    else
        (page == 0 ? f.ItmGrid : f.ItmRecord)->setChecked(true); // a click on the checked item changes nothing
}

// Step 3 of the switch: what the user changed on the record page is written now.
void ViewSwitch::commitForViewSwitch()
{
    CatalogueTable &table = m_parts.table;
    if (!table.active())
        return;
    if (table.state() == DataSetState::Insert && !table.modified()) {
        table.cancel(); // an untouched new record is no record to write
        return;
    }
    if (table.state() == DataSetState::Browse && table.isEmpty()) {
        m_parts.commands.ShowRecordNumber();
        m_parts.commands.ShowModified(false);
        return;
    }
    table.edit();
    table.post();
}

void ViewSwitch::nbContentsPageChanged(int page)
{
    if (m_revertingPage)
        return;
    MainForm &f = m_parts.form;
    CommandState &commands = m_parts.commands;
    const bool toGrid = page == 0;
    const auto setMarks = [&f](bool grid) {
        f.ItmGrid->setChecked(grid);
        f.ItmRecord->setChecked(!grid);
        f.navContents->setEnabled(!grid);
    };
    m_parts.table.disableControls();
    setMarks(toGrid);
    const bool committed = ErrorReport::guarded(&m_parts.window, [this] { commitForViewSwitch(); });
    m_parts.table.enableControls();
    if (!committed) {
        // The record could not be written: back to the page it is being edited on.
        m_revertingPage = true;
        f.nbContents->setCurrentIndex(m_lastPage);
        setMarks(m_lastPage == 0);
        m_revertingPage = false;
        if (m_lastPage == 1)
            f.edtArchive->setFocus();
        return;
    }
    m_lastPage = page;
    if (toGrid) {
        commands.RememberCommandStates();
        commands.EnableUndo(false);
        commands.EnablePaste(false);
        commands.EnableCutCopy(false);
        commands.EnableSelectAll(false);
        m_parts.settings.Grid = true;
    } else {
        commands.EnableUndo(false);
        commands.RestoreCommandStates();
        m_parts.settings.Grid = false;
        m_parts.editing.EnableImageControls();
    }
}

void ViewSwitch::grdContentsTitleBtnClick(int, int fieldPos)
{
    CatalogueTable &table = m_parts.table;
    table.disableControls();
    ErrorReport::guarded(&m_parts.window, [&] {
        const int sortable[] = {S::Archive, S::Product, S::Type, S::Status, S::Origin};
        if (std::find(std::begin(sortable), std::end(sortable), fieldPos) == std::end(sortable))
            return;
        const QString label = table.field(fieldPos).displayLabel();
        const QString next = table.indexName().contains(label + QStringLiteral("_Up"))
            ? QStringLiteral("idx_%1_Down").arg(label)
            : QStringLiteral("idx_%1_Up").arg(label);
        table.setIndexName(next);
    });
    table.enableControls();
    // The current record stays current at its place in the new order.
    m_parts.commands.ShowRecordNumber();
}
