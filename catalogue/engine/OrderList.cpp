#include "catalogue/engine/OrderList.h"

#include <algorithm>

void OrderList::reset(qint64 knownCount)
{
    m_narrow = {};
    m_wideIds = {};
    m_wide = false;
    m_knownCount = knownCount;
    m_read = false;
}

void OrderList::assign(const std::vector<qint64> &rowIds)
{
    beginFill(qint64(rowIds.size()));
    for (const qint64 id : rowIds)
        append(id);
    endFill();
}

void OrderList::beginFill(qint64 expected)
{
    reset(m_knownCount);
    m_narrow.reserve(size_t(std::max<qint64>(expected, 0)) + 16);
}

void OrderList::endFill()
{
    m_read = true;
    m_knownCount = qint64(size());
}

void OrderList::appendWide(qint64 rowId)
{
    widen();
    m_wideIds.push_back(rowId);
}

void OrderList::widen()
{
    if (m_wide)
        return;
    m_wideIds.assign(m_narrow.cbegin(), m_narrow.cend());
    m_narrow = {};
    m_wide = true;
}

void OrderList::copyRowIds(int start, int end, std::vector<qint64> &out) const
{
    out.clear();
    for (int pos = start; pos < end; ++pos)
        out.push_back(rowId(pos));
}

int OrderList::positionOf(qint64 rowId) const
{
    if (m_wide) {
        const auto it = std::find(m_wideIds.cbegin(), m_wideIds.cend(), rowId);
        return it == m_wideIds.cend() ? -1 : int(it - m_wideIds.cbegin());
    }
    if (rowId < 0 || rowId > qint64(UINT32_MAX))
        return -1;
    const auto it = std::find(m_narrow.cbegin(), m_narrow.cend(), quint32(rowId));
    return it == m_narrow.cend() ? -1 : int(it - m_narrow.cbegin());
}

void OrderList::removeAt(int pos)
{
    if (m_wide)
        m_wideIds.erase(m_wideIds.begin() + pos);
    else
        m_narrow.erase(m_narrow.begin() + pos);
    m_knownCount = qint64(size());
}

int OrderList::insertSorted(qint64 rowId, const std::function<SortKey(qint64)> &keyOf, const SortKey::Less &less)
{
    const SortKey target = keyOf(rowId);
    int lo = 0;
    int hi = size();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (less(keyOf(this->rowId(mid)), target))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (!m_wide && (rowId < 0 || rowId > qint64(UINT32_MAX)))
        widen();
    if (m_wide)
        m_wideIds.insert(m_wideIds.begin() + lo, rowId);
    else
        m_narrow.insert(m_narrow.begin() + lo, quint32(rowId));
    m_knownCount = qint64(size());
    return lo;
}
