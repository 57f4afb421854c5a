#pragma once

#include "catalogue/CatalogueSchema.h"
#include "catalogue/engine/CatalogueOrder.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// Every SQL text the program runs, built by pure functions, so a test can read each one
// and ask SQLite how it runs it. Positional parameters are written ?N as noted.
namespace CatalogueSql {

// Each field's column as the file spells it, by field position: names are matched
// without regard to case, so the field Cb reads the column CB.
using Columns = std::array<QString, CatalogueSchema::FieldCount>;
// The spelling of a catalogue this program creates.
Columns createdColumns();

// ---- the file ----------------------------------------------------------------------
// An empty catalogue, in one transaction: table, key, indexes and the file stamps.
QString createCatalogue();
// The catalogue table's columns: their names in result column 1.
QString tableColumns();
// The first trigger or view in the schema, as (type, name): code a catalogue never holds.
QString storedCode();
// One row when the index ?1 exists.
QString indexExists();
QString countRows();

// ---- rows in an order ----------------------------------------------------------------
QString orderBy(const Columns &cols, CatalogueOrder order);
// Every row id.
QString rowIdsInOrder(const Columns &cols, CatalogueOrder order);
// The first ?1 row ids.
QString firstRowIds(const Columns &cols, CatalogueOrder order);
// Row id and grid fields of ?1 rows from position ?2 on.
QString gridRowsInOrder(const Columns &cols, CatalogueOrder order);
// Which way a read goes from its anchor.
enum class Toward { After, Before };
// Row id and grid fields of at most ?5 rows next to an anchor row in `order`, nearest
// first: the anchor's sort value is ?1 (none when `anchorHasNoSortValue`), its key
// ?2, ?3, ?4 (none NULL). Read the statements one after the other, each for what the
// ones before left of ?5: rows with no sort value stand together at one end of the
// order, and each statement seeks in the order's index. For a file without rows
// lacking part of their key (see rowWithoutKey).
// `rowIdsOnly` reads the row ids alone, from the index.
QStringList gridRowsBeside(const Columns &cols, CatalogueOrder order, Toward toward, bool anchorHasNoSortValue,
                           bool rowIdsOnly = false);
// One row when a row lacks part of its key: such rows have no place in a keyset read.
QString rowWithoutKey(const Columns &cols);

// ---- search ------------------------------------------------------------------------
// The search's SQL function: HoldsText(needle, value, ...) is 1 when one of the values
// holds the needle, which comes folded, by the match rule of TextMatch. Each connection
// adds it; no file can call it.
inline constexpr char HoldsText[] = "mox_holds_text";

// The row ids, ascending, of the rows whose `fields` (positions) hold the folded text
// ?1: one pass over the table in its own order, the fastest way through it.
QString rowsHolding(const Columns &cols, const std::vector<int> &fields);
// A number that changes whenever another connection has changed the file.
QString dataVersion();

// ---- one row by its row id ?1 --------------------------------------------------------
QString selectRecord(const Columns &cols);      // every field, in field order
QString selectGridFields(const Columns &cols);  // the grid fields, in field order
QString selectLongFields(const Columns &cols);  // images and memos, in field order
QString selectSortKey(const Columns &cols);     // the fields up to Status: every sort field and the key

// ---- writing -----------------------------------------------------------------------
// Every field in field order, ?1 to ?14.
QString insertRecord(const Columns &cols);
// The given fields set to ?1, ?2, ... in that order, in the row whose row id follows them.
QString updateFields(const Columns &cols, const std::vector<int> &fieldPositions);
// The row with row id ?1 while its key still reads ?2, ?3, ?4.
QString deleteRecord(const Columns &cols);

// ---- transactions, settings, maintenance -------------------------------------------
QString begin();
// Takes the write lock at once.
QString beginWrite();
QString commit();
QString rollback();
// A read transaction that holds its lock from the start.
QString beginSnapshot();
// Every commit is on the disk when it returns.
QString durableWrites();
QString pageCache();
// For a file nobody sees until it is complete: journal in memory, no syncs.
QString unsyncedJournalInMemory();
QString rebuildIndexes();
QString compact();

} // namespace CatalogueSql
