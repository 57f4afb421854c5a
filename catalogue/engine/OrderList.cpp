#include "catalogue/engine/OrderList.h"

#include <algorithm>

void OrderList::reset(qint64 knownCount)
{
    m_ids.clear();
    m_knownCount = knownCount;
    m_read = false;
}

void OrderList::assign(std::vector<qint64> rowIds)
{
    m_ids = std::move(rowIds);
    m_knownCount = qint64(m_ids.size());
    m_read = true;
}

int OrderList::positionOf(qint64 rowId) const
{
    const auto it = std::find(m_ids.cbegin(), m_ids.cend(), rowId);
    return it == m_ids.cend() ? -1 : int(it - m_ids.cbegin());
}

void OrderList::removeAt(int pos)
{
    m_ids.erase(m_ids.begin() + pos);
    m_knownCount = qint64(m_ids.size());
}

int OrderList::insertSorted(qint64 rowId, const std::function<SortKey(qint64)> &keyOf, const SortKey::Less &less)
{
    const SortKey target = keyOf(rowId);
    int lo = 0;
    int hi = size();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (less(keyOf(m_ids[size_t(mid)]), target))
            lo = mid + 1;
        else
            hi = mid;
    }
    m_ids.insert(m_ids.begin() + lo, rowId);
    m_knownCount = qint64(m_ids.size());
    return lo;
}
