#include "app/SettingsBinding.h"

#include "app/MainLayout.h"
#include "catalogue/ActionFailure.h"
#include "catalogue/CatalogueTable.h"
#include "widgets/grid/DBGrid.h"

#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

SettingsBinding::SettingsBinding(const Parts &parts) : m_parts(parts) {}

QString SettingsBinding::takeNotices()
{
    return std::exchange(m_notices, QString());
}

// ---- SettingsHost ----------------------------------------------------------------------------

QString SettingsBinding::databaseName() const { return m_parts.table.databaseName(); }
void SettingsBinding::setDatabaseName(const QString &folder) { m_parts.table.setDatabaseName(folder); }
QString SettingsBinding::tableName() const { return m_parts.table.tableName(); }
void SettingsBinding::setTableName(const QString &fileName) { m_parts.table.setTableName(fileName); }
QString SettingsBinding::indexName() const { return m_parts.table.indexName(); }

void SettingsBinding::setIndexName(const QString &indexName)
{
    // An unknown order in the settings leaves the built-in order; the user is told.
    if (runAction([&] { m_parts.table.setIndexName(indexName); }))
        m_notices += QStringLiteral("The order \"%1\" in %2 is unknown; the catalogue keeps its own order.\n")
                         .arg(indexName, QDir::toNativeSeparators(m_parts.settingsFileName));
}

bool SettingsBinding::isTableOpen() const { return m_parts.table.active(); }
int SettingsBinding::recNo() const
{
    // The true place, not a provisional one; a failed reading keeps the one shown.
    if (m_parts.table.active() && !m_parts.table.placeKnown()) {
        try {
            m_parts.table.prepareOrder();
        } catch (const EngineError &) {
        }
    }
    return m_parts.table.recNo();
}

void SettingsBinding::setGridColumn(int column, int fieldIndex, int width)
{
    m_parts.grid.setColumn(column, fieldIndex, width);
}

int SettingsBinding::gridColumnField(int column) const { return m_parts.grid.columnField(column); }
int SettingsBinding::gridColumnWidth(int column) const { return m_parts.grid.columnWidth(column); }
PickList &SettingsBinding::typeList() { return m_parts.typeList; }
PickList &SettingsBinding::statusList() { return m_parts.statusList; }
PhraseList &SettingsBinding::phraseList() { return m_parts.phrases; }
TRecentlist &SettingsBinding::recentList() { return m_parts.recentList; }

// ---- PlacedWindow ----------------------------------------------------------------------------

void SettingsBinding::setPlacementGeometry(const QRect &geometry) { m_parts.window.setGeometry(geometry); }

QRect SettingsBinding::placementGeometry() const
{
    const QMainWindow &w = m_parts.window;
    return w.isVisible() || !w.normalGeometry().isEmpty() ? w.normalGeometry() : w.geometry();
}

PlacedWindow::State SettingsBinding::placementState() const
{
    if (m_parts.window.isMinimized())
        return State::Minimized;
    if (m_parts.window.isMaximized())
        return State::Maximized;
    return State::Normal;
}

void SettingsBinding::postMinimize()
{
    QMainWindow *window = &m_parts.window;
    QTimer::singleShot(0, window, [window] { window->showMinimized(); });
}

void SettingsBinding::maximize()
{
    m_parts.window.setWindowState(m_parts.window.windowState() | Qt::WindowMaximized);
}

QList<QRect> SettingsBinding::placementScreens() const
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

QSize SettingsBinding::placementMinimumSize() const
{
    // The window itself has no minimum; this is the client area below which the
    // resize rule stops shrinking the content (that of a 0 x 0 client area, with
    // the tool bar's margin on the far sides too), plus the menu bar above it.
    const MainLayout smallest = MainLayout::forClient(0, 0);
    const int margin = m_parts.toolbar.x();
    const QSize client(margin + smallest.toolbarWidth + margin, smallest.statusTop + m_parts.statusBar.height() + margin);
    return client + QSize(0, m_parts.window.menuBar()->sizeHint().height());
}
