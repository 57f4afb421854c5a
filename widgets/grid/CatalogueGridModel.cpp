#include "widgets/grid/CatalogueGridModel.h"

#include "catalogue/DataSource.h"
#include "widgets/data/DataSourceLink.h"
#include "widgets/data/TableAction.h"

using CatalogueSchema::FieldKind;

CatalogueGridModel::CatalogueGridModel(QObject *parent)
    : QAbstractTableModel(parent), m_source(new DataSourceLink(this)), m_fields(defaultFields())
{
    connect(m_source, &DataSourceLink::activeChanged, this, &CatalogueGridModel::refresh);
    connect(m_source, &DataSourceLink::dataSetChanged, this, &CatalogueGridModel::refresh);
    connect(m_source, &DataSourceLink::renumbered, this, &CatalogueGridModel::forgetRows);
}

const std::array<int, CatalogueGridModel::ColumnCount> &CatalogueGridModel::defaultFields()
{
    using namespace CatalogueSchema;
    static const std::array<int, ColumnCount> fields = {Archive, Product, Type, D1, D2, D3, Cb, Status, Source, Origin};
    return fields;
}

void CatalogueGridModel::setDataSource(DataSource *source)
{
    if (m_source->setDataSource(source))
        refresh();
}

DataSource *CatalogueGridModel::dataSource() const
{
    return m_source->dataSource();
}

CatalogueTable *CatalogueGridModel::table() const
{
    return m_source->table();
}

int CatalogueGridModel::columnField(int column) const
{
    return column >= 0 && column < ColumnCount ? m_fields[size_t(column)] : -1;
}

bool CatalogueGridModel::setColumnField(int column, int fieldPos)
{
    if (column < 0 || column >= ColumnCount || fieldPos < 0 || fieldPos >= CatalogueSchema::FieldCount)
        return false;
    if (m_fields[size_t(column)] == fieldPos)
        return true;
    m_fields[size_t(column)] = fieldPos;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (m_rows > 0)
        emit dataChanged(index(0, column), index(m_rows - 1, column));
    return true;
}

bool CatalogueGridModel::isFlagField(int fieldPos)
{
    return fieldPos >= CatalogueSchema::D1 && fieldPos <= CatalogueSchema::Source;
}

int CatalogueGridModel::tableRowCount() const
{
    CatalogueTable *t = table();
    if (!t || !t->active())
        return 0;
    // Not the count, which a large catalogue learns only once its order list is read:
    // the rows known so far, and the rest when the table tells that it knows them.
    return t->knownRowCount();
}

// The row count changes at the end only and the contents are announced as
// changed, so the view keeps its column widths, scroll place and current cell.
// The old rows stay cached while the count changes, so every row reads the
// same before and after each step.
void CatalogueGridModel::refresh()
{
    m_total = tableRowCount();
    m_top = std::max(0, std::min(m_top, m_total - 1));
    resizeWindow(windowRowsFor(m_top));
    m_blocks.clear();
    m_lastBlock = -1;
    m_reportedFailure = false;
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
}

void CatalogueGridModel::forgetRows()
{
    m_blocks.clear();
    m_lastBlock = -1;
}

void CatalogueGridModel::resizeWindow(int rows)
{
    if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    } else if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void CatalogueGridModel::setWindow(int top, int rows)
{
    top = std::max(0, std::min(top, m_total - 1));
    rows = std::max(1, rows);
    if (top == m_top && rows == m_windowRows)
        return;
    const bool moved = top != m_top;
    m_windowRows = rows;
    // Rows go before the window moves and come after it, so every row shown at any
    // step holds a record.
    const int shown = windowRowsFor(top);
    if (shown < m_rows)
        resizeWindow(shown);
    m_top = top;
    if (moved && m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
    resizeWindow(shown);
}

const CatalogueRow *CatalogueGridModel::row(int r) const
{
    // A view may ask for a row while the model tells it that the row goes.
    if (r < 0 || r >= m_total)
        return nullptr;
    const auto inside = [r](const Block &b) { return r >= b.first && r < b.first + int(b.rows.size()); };
    if (m_lastBlock >= 0 && inside(m_blocks[size_t(m_lastBlock)])) {
        Block &b = m_blocks[size_t(m_lastBlock)];
        b.lastUse = ++m_useClock;
        return &b.rows[size_t(r - b.first)];
    }
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        if (inside(m_blocks[i])) {
            m_lastBlock = int(i);
            m_blocks[i].lastUse = ++m_useClock;
            return &m_blocks[i].rows[size_t(r - m_blocks[i].first)];
        }
    }

    Block block;
    block.first = r - r % BlockRows;
    const int count = std::min(BlockRows, m_total - block.first);
    QString message;
    CatalogueTable *t = table();
    const bool ok = t && tryTableAction([&] { t->readRows(block.first, count, block.rows); }, message);
    if (ok)
        m_rowsRead += qint64(block.rows.size());
    // Rows gone since the count was read, or a failed read: show them empty rather
    // than asking again on every paint.
    block.rows.resize(size_t(count));
    if (!ok && !message.isEmpty() && !m_reportedFailure) {
        m_reportedFailure = true;
        // Not from inside a paint: the report may open a message box.
        auto *self = const_cast<CatalogueGridModel *>(this);
        QMetaObject::invokeMethod(self, [self, message] { emit self->errorRaised(message); }, Qt::QueuedConnection);
    }
    block.lastUse = ++m_useClock;

    size_t slot = m_blocks.size();
    if (m_blocks.size() >= size_t(MaxBlocks)) {
        slot = 0;
        for (size_t i = 1; i < m_blocks.size(); ++i) {
            if (m_blocks[i].lastUse < m_blocks[slot].lastUse)
                slot = i;
        }
        m_blocks[slot] = std::move(block);
    } else {
        m_blocks.push_back(std::move(block));
    }
    m_lastBlock = int(slot);
    const Block &b = m_blocks[slot];
    return r - b.first < int(b.rows.size()) ? &b.rows[size_t(r - b.first)] : nullptr;
}

int CatalogueGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CatalogueGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CatalogueGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int pos = m_fields[size_t(index.column())];
    if (role == FieldPosRole)
        return pos;
    if (role != Qt::DisplayRole && role != ValueRole && role != Qt::AccessibleTextRole)
        return {};
    const CatalogueRow *r = row(m_top + index.row());
    if (!r)
        return {};
    const QVariant &value = r->values[size_t(pos)];
    if (role == ValueRole)
        return value;
    // The grid reads neither images nor memos; their columns name the kind.
    switch (CatalogueSchema::fields()[size_t(pos)].kind) {
    case FieldKind::Boolean:
        return value.isNull() ? QString() : value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Memo:
        return QStringLiteral("(Memo)");
    case FieldKind::Graphic:
        return QStringLiteral("(Graphic)");
    case FieldKind::String:
        return value.toString();
    }
    return {};
}

QVariant CatalogueGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return CatalogueSchema::displayLabel(m_fields[size_t(section)]);
    if (role == FieldPosRole)
        return m_fields[size_t(section)];
    return {};
}

Qt::ItemFlags CatalogueGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
