#pragma once

#include "catalogue/engine/CatalogueOrder.h"

#include <QByteArray>
#include <array>

// A row's place in an order, compared exactly as SQLite's ORDER BY places it, so a row
// just stored is put into the order list without reading the whole order again: no
// value (NULL) first, the sort field as NOCASE compares (only A to Z folded, byte by
// byte), the key as BINARY does (by bytes), a shorter text before a longer one that
// starts with it. Descending reverses the sort field only, NULLs included. Rows alike in
// all of that (only possible with NULLs in the key) stand in the order of their row ids,
// as the indexes keep them.
class SortKey
{
public:
    // One stored value: its bytes (UTF-8 for a text), or none.
    struct Part {
        bool null = true;
        QByteArray bytes;
    };

    SortKey() = default;
    // `sortValue` is the order's sort field; the key order does not look at it.
    SortKey(qint64 rowId, Part sortValue, Part archive, Part product, Part type)
        : m_parts{std::move(sortValue), std::move(archive), std::move(product), std::move(type)}, m_rowId(rowId) {}

    static int compareBinary(const Part &a, const Part &b);
    static int compareNoCase(const Part &a, const Part &b);

    // Orders keys as `order` orders their rows.
    class Less
    {
    public:
        explicit Less(CatalogueOrder order) : m_order(order) {}
        bool operator()(const SortKey &a, const SortKey &b) const;

    private:
        CatalogueOrder m_order;
    };

private:
    std::array<Part, 4> m_parts;
    qint64 m_rowId = 0;
};
