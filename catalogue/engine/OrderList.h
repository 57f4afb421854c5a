#pragma once

#include "catalogue/engine/SortKey.h"

#include <QtGlobal>
#include <functional>
#include <vector>

// The row ids of the catalogue in the current order, so a record number is a position
// and a bookmark a row id. Opening reads only the first rows: the list itself is read
// on first need, and until then the count is known only when it was known before.
// Row ids are kept in four bytes each while every one fits, as in any catalogue of
// fewer than four thousand million rows written in order; a larger one widens the list.
class OrderList
{
public:
    // Not read; `knownCount` rows when that is known, -1 when not.
    void reset(qint64 knownCount = 0);
    void assign(const std::vector<qint64> &rowIds);
    bool isRead() const { return m_read; }

    // Filling: clears the list, appends the ids in order, then marks it read.
    void beginFill(qint64 expected);
    void append(qint64 rowId)
    {
        if (!m_wide && rowId >= 0 && rowId <= qint64(UINT32_MAX))
            m_narrow.push_back(quint32(rowId));
        else
            appendWide(rowId);
    }
    void endFill();

    // The rows: the list's length once read, else the count known (-1: not known).
    qint64 count() const { return m_read ? qint64(size()) : m_knownCount; }
    // Positions count from 0; these need the list read.
    int size() const { return int(m_wide ? m_wideIds.size() : m_narrow.size()); }
    bool empty() const { return size() == 0; }
    qint64 rowId(int pos) const { return m_wide ? m_wideIds[size_t(pos)] : qint64(m_narrow[size_t(pos)]); }
    // The row ids at positions [start, end), into `out`.
    void copyRowIds(int start, int end, std::vector<qint64> &out) const;
    // -1 when the row is not in the list.
    int positionOf(qint64 rowId) const;
    // Bytes held for the row ids.
    size_t bytesHeld() const { return m_narrow.capacity() * sizeof(quint32) + m_wideIds.capacity() * sizeof(qint64); }

    void removeAt(int pos);
    // Puts `rowId` at its place among the others, as `less` orders the keys that `keyOf`
    // reads, and returns that place. Reads about log2(size) keys.
    int insertSorted(qint64 rowId, const std::function<SortKey(qint64)> &keyOf, const SortKey::Less &less);

private:
    void appendWide(qint64 rowId);
    void widen();

    std::vector<quint32> m_narrow;
    std::vector<qint64> m_wideIds;
    bool m_wide = false;
    qint64 m_knownCount = 0;
    bool m_read = false;
};
