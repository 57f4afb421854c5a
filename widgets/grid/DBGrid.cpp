#include "widgets/grid/DBGrid.h"

#include "catalogue/DataSource.h"
#include "widgets/data/DataSourceLink.h"
#include "widgets/data/TableAction.h"
#include "widgets/grid/CatalogueGridModel.h"
#include "widgets/grid/FlagDelegate.h"
#include "widgets/grid/GridIndicatorHeader.h"

#include <QHeaderView>
#include <QKeyEvent>

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
    return m_model->recordAt(currentIndex().row());
}

int DBGrid::topRecord() const
{
    const int row = rowAt(0);
    if (row < 0)
        return -1;
    // Scrolled to the end, the last row sits on the bottom edge and the top one is cut.
    return m_model->recordAt(rowViewportPosition(row) < 0 ? row + 1 : row);
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

void DBGrid::followTable()
{
    CatalogueTable *t = m_model->table();
    const int row = tableRow();
    const bool editing = row >= 0 && t->state() == DataSetState::Edit;
    m_indicator->setCurrentRow(row, editing ? GridIndicatorHeader::Mark::Edit : GridIndicatorHeader::Mark::Browse);
    if (row < 0 || row >= m_model->rowCount() || currentIndex().row() == row)
        return;
    m_following = true;
    setCurrentIndex(m_model->index(row, std::max(0, currentIndex().column())));
    m_following = false;
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    // Before a large catalogue is counted the grid holds only its first rows: a key that
    // goes down waits for the order list, so it lands where it would later.
    CatalogueTable *t = m_model->table();
    const int key = event->key();
    if (t && t->active() && t->knownRecordCount() < 0
        && (key == Qt::Key_Down || key == Qt::Key_PageDown || key == Qt::Key_End)) {
        QString message;
        if (!tryTableAction([&] {
                t->prepareOrder();
                t->takeReadOrder();
            }, message)) {
            if (!message.isEmpty())
                emit errorRaised(message);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    CatalogueTable *t = m_model->table();
    if (!t || !t->active() || current.row() == tableRow())
        return;
    QString message;
    if (tryTableAction([&] { t->setRecNo(current.row() + 1); }, message))
        return;
    // Refused (the record being edited could not be posted): go back to the table's
    // row and report once the view has finished handling the click or key.
    QMetaObject::invokeMethod(this, [this, message] {
        followTable();
        if (!message.isEmpty())
            emit errorRaised(message);
    }, Qt::QueuedConnection);
}
