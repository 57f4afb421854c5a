#pragma once

#include "catalogue/CatalogueSchema.h"

// One order of the catalogue's rows: the key order (Archive, Product, Type, letter case
// counting), or a secondary index's (its field with only A to Z folded, ascending or
// descending, ties in key order).
struct CatalogueOrder {
    int index = -1; // position in CatalogueSchema::indexes(); -1 for the key order

    bool isKeyOrder() const { return index < 0; }
    // The field ordered by before the key; -1 in the key order.
    int sortField() const { return index < 0 ? -1 : CatalogueSchema::indexes()[size_t(index)].fieldPos; }
    bool descending() const { return index >= 0 && CatalogueSchema::indexes()[size_t(index)].descending; }

    friend bool operator==(CatalogueOrder, CatalogueOrder) = default;
};
