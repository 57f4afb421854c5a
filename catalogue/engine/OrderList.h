#pragma once

#include "catalogue/engine/SortKey.h"

#include <QtGlobal>
#include <functional>
#include <span>
#include <vector>

// The row ids of the catalogue in the current order, so a record number is a position
// and a bookmark a row id. Opening reads only the number of rows: the list itself is
// read on first need, and until then only that count is known.
class OrderList
{
public:
    // Not read; `knownCount` rows, as far as anyone knows.
    void reset(qint64 knownCount = 0);
    void assign(std::vector<qint64> rowIds);
    bool isRead() const { return m_read; }

    // The rows: the list's length once read, else the count known.
    qint64 count() const { return m_read ? qint64(m_ids.size()) : m_knownCount; }
    // Positions count from 0; these need the list read.
    int size() const { return int(m_ids.size()); }
    bool empty() const { return m_ids.empty(); }
    qint64 rowId(int pos) const { return m_ids[size_t(pos)]; }
    // The row ids at positions [start, end).
    std::span<const qint64> rowIds(int start, int end) const
    {
        return std::span<const qint64>(m_ids).subspan(size_t(start), size_t(end - start));
    }
    // -1 when the row is not in the list.
    int positionOf(qint64 rowId) const;

    void removeAt(int pos);
    // Puts `rowId` at its place among the others, as `less` orders the keys that `keyOf`
    // reads, and returns that place. Reads about log2(size) keys.
    int insertSorted(qint64 rowId, const std::function<SortKey(qint64)> &keyOf, const SortKey::Less &less);

private:
    std::vector<qint64> m_ids;
    qint64 m_knownCount = 0;
    bool m_read = false;
};
