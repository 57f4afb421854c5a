#include "widgets/grid/DBGrid.h"

#include "catalogue/DataSource.h"
#include "widgets/data/DataSourceLink.h"
#include "widgets/data/TableAction.h"
#include "widgets/grid/CatalogueGridModel.h"
#include "widgets/grid/FlagDelegate.h"
#include "widgets/grid/GridIndicatorHeader.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent),
      m_source(new DataSourceLink(this)),
      m_model(new CatalogueGridModel(this)),
      m_delegate(new FlagDelegate(this)),
      m_indicator(new GridIndicatorHeader(this))
{
    setVerticalHeader(m_indicator);
    setModel(m_model);
    setItemDelegate(m_delegate);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);

    // Rows one picture high plus the grid line; never measured one by one.
    const int rowHeight = std::max(fontMetrics().height() + 4, FlagDelegate::PictureSize + 1);
    m_indicator->setMinimumSectionSize(1);
    m_indicator->setDefaultSectionSize(rowHeight);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_model->setWindow(0, std::max(1, viewport()->height() / rowHeight + 2));

    QHeaderView *titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setSortIndicatorShown(false);
    for (int c = 0; c < gridColumnCount(); ++c)
        setColumnWidth(c, defaultColumnWidth(m_model->columnField(c)));

    connect(titles, &QHeaderView::sectionClicked, this, [this](int column) {
        emit titleClicked(column, m_model->columnField(column));
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit recordDoubleClicked();
    });
    connect(m_model, &CatalogueGridModel::errorRaised, this, &DBGrid::errorRaised);
    connect(m_source, &DataSourceLink::activeChanged, this, &DBGrid::followTable);
    connect(m_source, &DataSourceLink::stateChanged, this, &DBGrid::followTable);
    connect(m_source, &DataSourceLink::recordChanged, this, &DBGrid::followTable);
    connect(m_source, &DataSourceLink::dataSetChanged, this, &DBGrid::followTable);
    // The rows shown at provisional places stay on their screen rows at their true ones.
    connect(m_source, &DataSourceLink::renumbered, this, [this](int shift) {
        if (m_current >= 0)
            m_current += shift;
        setTop(firstWhole() + shift);
    });
}

void DBGrid::setDataSource(DataSource *source)
{
    if (source == dataSource())
        return;
    // The model binds first, so on every change it refreshes before the current
    // row follows the table.
    m_model->setDataSource(source);
    m_source->setDataSource(source);
    followTable();
}

DataSource *DBGrid::dataSource() const
{
    return m_source->dataSource();
}

bool DBGrid::setColumn(int column, int fieldPos, int width)
{
    if (!m_model->setColumnField(column, fieldPos))
        return false;
    setColumnWidth(column, std::max(0, width));
    return true;
}

bool DBGrid::setColumnField(int column, int fieldPos)
{
    return m_model->setColumnField(column, fieldPos);
}

int DBGrid::columnField(int column) const
{
    return m_model->columnField(column);
}

int DBGrid::gridColumnCount() const
{
    return CatalogueGridModel::ColumnCount;
}

int DBGrid::defaultColumnWidth(int fieldPos) const
{
    if (fieldPos < 0 || fieldPos >= CatalogueSchema::FieldCount)
        return 64;
    const CatalogueSchema::FieldDef &def = CatalogueSchema::fields()[size_t(fieldPos)];
    const QFontMetrics fm = fontMetrics();
    const QString title = CatalogueSchema::displayLabel(fieldPos);
    int chars = 0;
    switch (def.kind) {
    case CatalogueSchema::FieldKind::String: chars = def.size; break;
    case CatalogueSchema::FieldKind::Boolean: chars = 5; break;   // "False"
    case CatalogueSchema::FieldKind::Memo: chars = 10; break;
    case CatalogueSchema::FieldKind::Graphic: chars = 10; break;
    }
    const int contents = chars * fm.averageCharWidth();
    const int titleWidth = fm.horizontalAdvance(title) + 8;
    return std::max({contents + 4, titleWidth, FlagDelegate::PictureSize + 4});
}

void DBGrid::setFlagPictures(const QPixmap &checked, const QPixmap &unchecked)
{
    m_delegate->setPictures(checked, unchecked);
    viewport()->update();
}

int DBGrid::recordRows() const
{
    return m_model->recordRows();
}

int DBGrid::currentRecord() const
{
    return m_current;
}

int DBGrid::topRecord() const
{
    return m_model->recordRows() > 0 ? firstWhole() : -1;
}

QRect DBGrid::recordRect(int record, int column) const
{
    const int row = m_model->rowOf(record);
    return row < 0 ? QRect() : visualRect(m_model->index(row, column));
}

int DBGrid::tableRow() const
{
    CatalogueTable *t = m_model->table();
    if (!t || !t->active() || t->state() == DataSetState::Insert || t->isEmpty())
        return -1;
    return t->recNo() - 1;
}

int DBGrid::rowHeight() const
{
    return std::max(1, m_indicator->defaultSectionSize());
}

int DBGrid::wholeRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int DBGrid::firstWhole() const
{
    return m_model->windowTop() + (m_lift > 0 ? 1 : 0);
}

int DBGrid::lastTop() const
{
    return std::max(0, m_model->recordRows() - wholeRows());
}

int DBGrid::topShowing(int record) const
{
    const int top = firstWhole();
    if (record < top)
        return record;
    if (record >= top + wholeRows())
        return record - wholeRows() + 1;
    return top;
}

void DBGrid::setTop(int top)
{
    top = std::max(0, std::min(top, lastTop()));
    // The window's rows come and go at its end: the view would carry its current
    // cell to another row, which must not move the table.
    const bool following = m_following;
    const bool keepPlace = m_keepPlace;
    m_following = true;
    m_keepPlace = true;
    // At the end the last record sits on the bottom edge, as the view laid it, and the
    // record above the first whole one shows cut at the top.
    const int cut = viewport()->height() % rowHeight();
    m_lift = top > 0 && top == lastTop() && cut > 0 ? rowHeight() - cut : 0;
    // The rows in view, the one cut at the bottom (or top) and one more.
    m_model->setWindow(m_lift > 0 ? top - 1 : top, viewport()->height() / rowHeight() + 2);
    m_keepPlace = keepPlace;
    m_following = following;
    syncScrollBar();
    syncCurrent();
    viewport()->update();
}

void DBGrid::syncScrollBar()
{
    QScrollBar *bar = verticalScrollBar();
    const bool syncing = m_syncing;
    m_syncing = true;
    bar->setRange(0, lastTop());
    bar->setPageStep(wholeRows());
    bar->setSingleStep(1);
    bar->setValue(firstWhole());
    m_syncing = syncing;
    // Row 0 of the window is drawn at the top, or cut by the lift at the end.
    if (m_indicator->offset() != m_lift)
        m_indicator->setOffset(m_lift);
}

void DBGrid::syncCurrent()
{
    CatalogueTable *t = m_model->table();
    const bool editing = m_current >= 0 && t && t->state() == DataSetState::Edit;
    const int row = m_model->rowOf(m_current);
    m_indicator->setCurrentRow(row, editing ? GridIndicatorHeader::Mark::Edit : GridIndicatorHeader::Mark::Browse);
    if (m_current < 0)
        return;
    const bool following = m_following;
    const bool keepPlace = m_keepPlace;
    m_following = true;
    m_keepPlace = true;
    if (row < 0) {
        if (currentIndex().isValid())
            selectionModel()->clear();
    } else if (currentIndex().row() != row) {
        setCurrentIndex(m_model->index(row, m_column));
    }
    m_keepPlace = keepPlace;
    m_following = following;
}

void DBGrid::followTable()
{
    const int record = tableRow();
    if (record != m_current) {
        m_current = record;
        m_brought = false;
    }
    if (firstWhole() > lastTop())
        setTop(lastTop());
    syncScrollBar();
    // A record that became current comes into view once, as soon as its row is known:
    // a change of state or of the data leaves the rows where the user scrolled them,
    // and a row the user chose stays where it is, as the view leaves it.
    if (!m_brought && record >= 0 && record < m_model->recordRows()) {
        m_brought = true;
        if (!m_choosing) {
            setTop(topShowing(record));
            return;
        }
    }
    syncCurrent();
}

bool DBGrid::waitForOrder()
{
    CatalogueTable *t = m_model->table();
    QString message;
    if (tryTableAction([&] {
            t->prepareOrder();
            t->takeReadOrder();
        }, message))
        return true;
    if (!message.isEmpty())
        emit errorRaised(message);
    return false;
}

bool DBGrid::settleOrder()
{
    CatalogueTable *t = m_model->table();
    return !t || !t->active() || t->placeKnown() || waitForOrder();
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    // Before a large catalogue is counted the grid holds only its first rows: a key that
    // goes down waits for the order list, so it lands where it would later.
    CatalogueTable *t = m_model->table();
    const int key = event->key();
    if (t && t->active() && t->knownRecordCount() < 0
        && (key == Qt::Key_Down || key == Qt::Key_PageDown || key == Qt::Key_End) && !waitForOrder())
        return;
    if (!settleOrder())
        return;
    QTableView::keyPressEvent(event);
}

void DBGrid::mousePressEvent(QMouseEvent *event)
{
    if (settleOrder())
        QTableView::mousePressEvent(event);
}

void DBGrid::wheelEvent(QWheelEvent *event)
{
    if (settleOrder())
        QTableView::wheelEvent(event);
}

QModelIndex DBGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // A key moves from the current record, also when it is scrolled out of view.
    if (m_current >= 0 && m_current < m_model->recordRows() && m_model->rowOf(m_current) < 0)
        setTop(topShowing(m_current));
    const QModelIndex moved = QTableView::moveCursor(cursorAction, modifiers);
    const int records = m_model->recordRows();
    if (m_current < 0 || m_current >= records)
        return moved;
    const int column = moved.isValid() ? moved.column() : m_column;
    // Pages measured in pixels from the current row, as the view measures them.
    const int h = rowHeight();
    const qint64 top = qint64(m_current) * h;
    const int gridLine = showGrid() ? 1 : 0;
    int target = m_current;
    switch (cursorAction) {
    case MoveUp:
        target = std::max(0, m_current - 1);
        break;
    case MoveDown:
        target = std::min(records - 1, m_current + 1);
        break;
    case MovePageUp: {
        const qint64 y = top + h - gridLine - 1 - viewport()->height();
        target = y < 0 ? 0 : int(y / h);
        break;
    }
    case MovePageDown: {
        const qint64 y = top + viewport()->height();
        target = y >= qint64(records) * h ? records - 1 : int(y / h);
        break;
    }
    case MoveHome:
        if (modifiers & Qt::ControlModifier)
            target = 0;
        break;
    case MoveEnd:
        if (modifiers & Qt::ControlModifier)
            target = records - 1;
        break;
    default:
        return moved;
    }
    setTop(topShowing(target));
    return m_model->index(m_model->rowOf(target), column);
}

void DBGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const int record = m_model->recordAt(index.row());
    QModelIndex shown = index;
    if (!m_keepPlace && record >= 0) {
        int top = firstWhole();
        switch (hint) {
        case PositionAtTop: top = record; break;
        case PositionAtBottom: top = record - wholeRows() + 1; break;
        case PositionAtCenter: top = record - wholeRows() / 2; break;
        case EnsureVisible: top = topShowing(record); break;
        }
        if (top != firstWhole()) {
            setTop(top);
            shown = m_model->index(m_model->rowOf(record), index.column());
        }
    }
    if (!shown.isValid())
        return;
    // Across, the view scrolls as it always does; down, its rows are in place already.
    m_syncing = true;
    QTableView::scrollTo(shown, EnsureVisible);
    m_syncing = false;
    syncScrollBar();
}

void DBGrid::scrollContentsBy(int dx, int dy)
{
    if (dx)
        QTableView::scrollContentsBy(dx, 0);
    // The scroll bar counts records: the user moved it, or the wheel did. A move of the
    // bar while the rows show at provisional places first brings the true places, which
    // set the bar anew; the next move counts from there.
    if (dy && !m_syncing) {
        CatalogueTable *t = m_model->table();
        if (t && t->active() && !t->placeKnown()) {
            settleOrder();
            return;
        }
        setTop(verticalScrollBar()->value());
    }
}

void DBGrid::updateGeometries()
{
    // The view sets the scroll bar to its window's rows; it counts records here.
    m_syncing = true;
    QTableView::updateGeometries();
    m_syncing = false;
    syncScrollBar();
}

void DBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    setTop(firstWhole());
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The record before the view scrolls to it, which may move the window.
    const int record = m_model->recordAt(current.row());
    QTableView::currentChanged(current, previous);
    if (current.isValid() && !m_keepPlace)
        m_column = current.column();
    if (m_following || !current.isValid())
        return;
    CatalogueTable *t = m_model->table();
    if (!t || !t->active() || record < 0 || record == tableRow())
        return;
    QString message;
    m_choosing = true;
    const bool moved = tryTableAction([&] { t->setRecNo(record + 1); }, message);
    m_choosing = false;
    if (moved)
        return;
    // Refused (the record being edited could not be posted): go back to the table's
    // row and report once the view has finished handling the click or key.
    QMetaObject::invokeMethod(this, [this, message] {
        followTable();
        if (!message.isEmpty())
            emit errorRaised(message);
    }, Qt::QueuedConnection);
}
