#pragma once

#include "catalogue/CatalogueSchema.h"
#include "catalogue/engine/CatalogueSql.h"

#include <functional>
#include <vector>

// The rows around one record of an order whose list is not read yet, numbered from a
// place the record is given until its true place is known. They are read by key from
// the record outwards, as far as they are asked for and no farther than the places
// known to hold rows.
class RowsAround
{
public:
    // Appends at most `limit` rows next to `anchor` in the direction given, nearest first.
    using Reader = std::function<void(const CatalogueRow &anchor, CatalogueSql::Toward toward, int limit,
                                      std::vector<CatalogueRow> &out)>;

    bool active() const { return m_active; }
    // `record` is shown at `place`; rows exist at the places [low, high).
    void begin(int place, CatalogueRow record, int low, int high);
    void clear();

    // The rows at places [first, first + count) into `out`, one for each place; a place
    // outside [low, high), or one the file no longer fills, comes as an empty row.
    void copy(int first, int count, std::vector<CatalogueRow> &out, const Reader &read);

private:
    bool m_active = false;
    int m_low = 0;
    int m_high = 0;
    int m_first = 0;                 // the place of m_rows.front()
    std::vector<CatalogueRow> m_rows;
    bool m_startReached = false;     // nothing more before m_rows.front()
    bool m_endReached = false;       // nothing more after m_rows.back()
};
