#include "catalogue/engine/RowsAround.h"

#include <algorithm>

void RowsAround::begin(int place, CatalogueRow record, int low, int high)
{
    m_active = true;
    m_low = low;
    m_high = high;
    m_first = place;
    m_rows.clear();
    m_rows.push_back(std::move(record));
    m_startReached = m_endReached = false;
}

void RowsAround::clear()
{
    m_active = false;
    m_rows.clear();
    m_rows.shrink_to_fit();
}

void RowsAround::copy(int first, int count, std::vector<CatalogueRow> &out, const Reader &read)
{
    const int from = std::max(first, m_low);
    const int to = std::min(first + count, m_high);
    if (from < m_first && !m_startReached) {
        std::vector<CatalogueRow> before;
        const int wanted = m_first - from;
        read(m_rows.front(), CatalogueSql::Toward::Before, wanted, before);
        m_startReached = int(before.size()) < wanted;
        m_first -= int(before.size());
        m_rows.insert(m_rows.begin(), std::make_move_iterator(before.rbegin()), std::make_move_iterator(before.rend()));
    }
    const int end = m_first + int(m_rows.size());
    if (to > end && !m_endReached) {
        const int wanted = to - end;
        const size_t had = m_rows.size();
        const CatalogueRow anchor = m_rows.back(); // the reading appends to m_rows
        read(anchor, CatalogueSql::Toward::After, wanted, m_rows);
        m_endReached = int(m_rows.size() - had) < wanted;
    }
    for (int place = first; place < first + count; ++place) {
        const int i = place - m_first;
        out.push_back(place >= from && place < to && i >= 0 && i < int(m_rows.size()) ? m_rows[size_t(i)] : CatalogueRow{});
    }
}
