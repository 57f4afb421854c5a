#include "settings/SortedTextList.h"

#include <algorithm>

bool SortedTextList::add(const QString &text)
{
    if (m_repeats == Repeats::Ignore && contains(text))
        return false;
    const auto at = std::upper_bound(m_items.begin(), m_items.end(), text, m_order);
    m_items.insert(at, text);
    return true;
}

bool SortedTextList::contains(const QString &text) const
{
    return std::any_of(m_items.cbegin(), m_items.cend(),
                       [&](const QString &item) { return sameText(item, text); });
}
