#pragma once

#include "catalogue/CatalogueTable.h"
#include "catalogue/DataSource.h"

class DataSourceLink;

#include <QAbstractTableModel>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

// The grid's rows: the table's stored records in its current order, read by
// position in blocks and kept in a small cache, so a catalogue of any size opens
// and scrolls at the cost of the rows on screen. Each column shows the field at a
// position of the table's field list. Read-only.
//
// The model shows a window of the records: row 0 is the record at windowTop(), and
// at most windowRows() rows follow. A view that lays out the rows itself keeps the
// window on the rows it shows, so nothing it holds grows with the catalogue; by
// default the window is the whole table. Positions are from 0 in the table's order.
class CatalogueGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role {
        ValueRole = Qt::UserRole + 1,  // the field's value: bool for a flag, null when empty
        FieldPosRole,                  // the field-list position the column shows
    };

    static constexpr int ColumnCount = 10;
    static constexpr int BlockRows = 128;
    static constexpr int MaxBlocks = 16;

    explicit CatalogueGridModel(QObject *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    CatalogueTable *table() const;

    static const std::array<int, ColumnCount> &defaultFields();
    int columnField(int column) const;
    bool setColumnField(int column, int fieldPos);   // false for a column or field out of range
    static bool isFlagField(int fieldPos);           // D1, D2, D3, Cb, Source

    // Reads the row count again and forgets the cached rows.
    void refresh();
    // Forgets the cached rows without a word to the views: the table numbered them anew.
    void forgetRows();

    // The records known so far, of which the window shows a part.
    int recordRows() const { return m_total; }
    int windowTop() const { return m_top; }
    int windowRows() const { return m_windowRows; }
    // Moves the window (top clamped to the records known, at least one row); its rows
    // read afresh as the records now under them, and only the rows past the last
    // record are inserted or removed, so a view keeps its columns and selection model.
    void setWindow(int top, int rows);
    // The record a row shows, and the row that shows a record (-1 outside the window).
    int recordAt(int row) const { return row >= 0 && row < rowCount() ? m_top + row : -1; }
    int rowOf(int record) const { return record >= m_top && record - m_top < rowCount() ? record - m_top : -1; }

    // How many rows were read from the table so far, and how many blocks are held.
    qint64 rowsRead() const { return m_rowsRead; }
    int cachedBlocks() const { return int(m_blocks.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A read failed; the rows concerned show empty until the next refresh.
    void errorRaised(const QString &message);

private:
    struct Block {
        int first = 0;
        std::vector<CatalogueRow> rows;
        quint64 lastUse = 0;
    };

    const CatalogueRow *row(int r) const;
    int tableRowCount() const;
    int windowRowsFor(int top) const { return std::max(0, std::min(m_windowRows, m_total - top)); }
    void resizeWindow(int rows);

    DataSourceLink *m_source;
    std::array<int, ColumnCount> m_fields;
    int m_total = 0;                   // records known
    int m_top = 0;                     // the record shown in row 0
    int m_windowRows = std::numeric_limits<int>::max();
    int m_rows = 0;                    // rows shown: the window's rows that hold a record
    mutable std::vector<Block> m_blocks;
    mutable int m_lastBlock = -1;
    mutable quint64 m_useClock = 0;
    mutable qint64 m_rowsRead = 0;
    mutable bool m_reportedFailure = false;
};
