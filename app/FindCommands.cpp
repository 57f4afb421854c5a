#include "app/FindCommands.h"

#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "app/SearchBusyCursor.h"
#include "catalogue/ui/MOXFind.h"
#include "catalogue/ui/MOXNotFound.h"
#include "settings/ProgramSettings.h"
#include "settings/WindowPlacement.h"

#include <QAction>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <optional>

FindCommands::FindCommands(const Parts &parts) : m_parts(parts) {}

void FindCommands::connectControls()
{
    // The tool button follows the menu item and runs it.
    connect(m_parts.form.ItmFind, &QAction::triggered, this, [this] { ItmFindClick(); });
    m_parts.form.ItmFind->setEnabled(true);
}

void FindCommands::findDialogCreated()
{
    TfrmFind *dialog = m_parts.form.frmFind;
    connect(dialog, &TfrmFind::findClicked, this, [this] { btnFindClick(); });
    connect(dialog, &TfrmFind::nextClicked, this, [this] { btnNextClick(); });

    const std::optional<QPoint> stored = parseFindPosition(m_parts.settings.FindPosition);
    if (!stored)
        return; // loading told of it already; the dialog takes Qt's place for it
    // Where it was left, unless no screen shows its title bar any more (a screen that is
    // gone): then it moves the least that brings it back.
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QSize size = dialog->frameGeometry().size();
    const QRect placed = fitWindowGeometry(StoredGeometry{stored->x(), stored->y(), size.width(), size.height()},
                                           screens, size);
    dialog->move(placed.topLeft());
}

void FindCommands::ItmFindClick()
{
    TfrmFind *dialog = m_parts.form.frmFind;
    if (!dialog)
        return;
    // Shown where it stands, not waited for.
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void FindCommands::btnFindClick()
{
    search(SearchStart::First);
}

void FindCommands::btnNextClick()
{
    search(SearchStart::Next);
}

void FindCommands::search(SearchStart start)
{
    TfrmFind *dialog = m_parts.form.frmFind;
    if (!dialog)
        return;
    const QString text = dialog->findText();
    const std::vector<int> fields = dialog->checkedFields();
    if (text.isEmpty() || fields.empty())
        return;

    CatalogueTable &table = m_parts.table;
    table.disableControls();
    const auto resume = qScopeGuard([&table] { table.enableControls(); });
    ErrorReport::guarded(&m_parts.window, [&] {
        // The changed record is stored before anything moves; a refusal ends the search
        // here. Marked after that, so a new record is returned to as stored.
        table.checkBrowseMode();
        const std::optional<CatalogueTable::Bookmark> began =
            table.isEmpty() ? std::nullopt : std::optional(table.bookmark());
        {
            SearchBusyCursor busy(m_busyDelayMs);
            if (table.findText(text, fields, start, [&busy] { busy.tick(); }))
                return;
        }
        showNotFound(text);
        // Back where the search began: a change of record like any other.
        if (began)
            table.gotoBookmark(*began);
        else
            table.first();
    });
}

void FindCommands::showNotFound(const QString &text)
{
    if (m_notice)
        m_notice(text);
    else if (m_parts.form.frmNotFound)
        m_parts.form.frmNotFound->showFor(text);
}
