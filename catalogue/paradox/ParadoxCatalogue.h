#pragma once

#include "catalogue/CatalogueSchema.h"
#include "catalogue/paradox/ParadoxTable.h"

#include <array>

// A Paradox table kept by the program's earlier versions: the catalogue's fourteen
// fields by name (in any letter case and order), as alpha fields no longer than the
// catalogue's, logical, memo and graphic fields. Nothing else, so nothing is lost.
namespace ParadoxCatalogue {

// Where each catalogue field (by field position) is among the table's fields.
using Layout = std::array<int, CatalogueSchema::FieldCount>;

// The table's layout; a table with other fields throws "<file>: it is a Paradox table,
// but not a catalogue: <what differs>.".
Layout match(const ParadoxTable &table);

// One record of the table as a catalogue record.
CatalogueSchema::Record record(const ParadoxTable::Values &values, const Layout &layout);

} // namespace ParadoxCatalogue
