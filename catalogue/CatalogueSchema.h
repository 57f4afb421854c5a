#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>

// The record layout of a catalogue, its key and its indexes.
namespace CatalogueSchema {

enum class FieldKind { String, Boolean, Memo, Graphic };

struct FieldDef {
    const char *name;          // field object name; matched to columns without regard to case
    FieldKind kind;
    int size;                  // characters for strings, 0 otherwise
    bool required;
    const char *displayLabel;  // nullptr: the field name
};

// Field-list order: positions 0 to 13.
enum FieldPos {
    Archive, Product, Type, Origin, Status, D1, D2, D3, Cb, Source,
    OrigImg, CurrImg, Guide, Comments, FieldCount
};

// Positions 0 to 9: every field but the images and memos; what the grid shows and what
// stepping through the catalogue reads ahead.
constexpr int GridFields = OrigImg;

// One record's values by field position; a null value is an empty field.
using Record = std::array<QVariant, FieldCount>;

const std::array<FieldDef, FieldCount> &fields();
QString displayLabel(int pos);

// Physical column order of a new catalogue table, with the column names as created.
struct ColumnDef { const char *name; int fieldPos; };
const std::array<ColumnDef, FieldCount> &columns();

struct IndexDef {
    const char *name;
    int fieldPos;
    bool descending;
};
constexpr int IndexCount = 10;
const std::array<IndexDef, IndexCount> &indexes();
// -1 when no secondary index has that name (case-sensitive, as stored).
int indexByName(const QString &name);

// Stamped into every catalogue file so the program tells its own files from other SQLite files.
constexpr std::uint32_t ApplicationId = 0x4D4F5831; // "MOX1"
constexpr int FormatVersion = 1;
constexpr const char *TableName = "catalogue";

} // namespace CatalogueSchema

// One stored row as the grid reads it: the grid fields only.
struct CatalogueRow {
    qint64 rowId = 0;
    CatalogueSchema::Record values;
};
