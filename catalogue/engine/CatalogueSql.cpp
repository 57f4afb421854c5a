#include "catalogue/engine/CatalogueSql.h"

#include <QStringList>

namespace Schema = CatalogueSchema;

namespace CatalogueSql {

namespace {

QString quoted(const QString &column)
{
    return QStringLiteral("\"%1\"").arg(column);
}

// The quoted columns of the fields [first, end), comma-separated.
QString columnList(const Columns &cols, int first, int end)
{
    QStringList out;
    for (int i = first; i < end; ++i)
        out << quoted(cols[size_t(i)]);
    return out.join(u',');
}

QString byRowId(const QString &columns)
{
    return QStringLiteral("SELECT %1 FROM catalogue WHERE rowid = ?1").arg(columns);
}

QString keyColumns(const Columns &cols)
{
    return QStringLiteral("\"%1\", \"%2\", \"%3\"").arg(cols[Schema::Archive], cols[Schema::Product], cols[Schema::Type]);
}

QString gridColumns(const Columns &cols)
{
    return columnList(cols, 0, Schema::GridFields);
}

} // namespace

Columns createdColumns()
{
    Columns cols;
    for (int i = 0; i < Schema::FieldCount; ++i)
        cols[size_t(i)] = QString::fromLatin1(Schema::fields()[size_t(i)].name);
    for (const Schema::ColumnDef &col : Schema::columns())
        cols[size_t(col.fieldPos)] = QString::fromLatin1(col.name);
    return cols;
}

QString createCatalogue()
{
    QString sql = QStringLiteral("BEGIN;\nCREATE TABLE catalogue (");
    for (const Schema::ColumnDef &col : Schema::columns()) {
        const Schema::FieldKind kind = Schema::fields()[size_t(col.fieldPos)].kind;
        const char *type = kind == Schema::FieldKind::Boolean ? "INTEGER"
                         : kind == Schema::FieldKind::Graphic ? "BLOB" : "TEXT";
        sql += QStringLiteral("\"%1\" %2, ").arg(QLatin1String(col.name), QLatin1String(type));
    }
    sql += QStringLiteral("PRIMARY KEY (Archive, Product, Type));\n");
    // Each secondary index carries the key columns after its own, so ties fall back to
    // key order and every order is read straight from its index.
    for (const Schema::IndexDef &idx : Schema::indexes()) {
        sql += QStringLiteral("CREATE INDEX %1 ON catalogue (\"%2\" COLLATE NOCASE%3, Archive, Product, Type);\n")
                   .arg(QLatin1String(idx.name), QLatin1String(Schema::fields()[size_t(idx.fieldPos)].name),
                        idx.descending ? QStringLiteral(" DESC") : QString());
    }
    sql += QStringLiteral("PRAGMA application_id = %1;\nPRAGMA user_version = %2;\nCOMMIT;")
               .arg(qint64(Schema::ApplicationId)).arg(Schema::FormatVersion);
    return sql;
}

QString tableColumns()
{
    return QStringLiteral("PRAGMA table_info(\"catalogue\")");
}

QString storedCode()
{
    return QStringLiteral("SELECT type, name FROM sqlite_master WHERE type IN ('trigger', 'view') "
                          "ORDER BY rowid LIMIT 1");
}

QString indexExists()
{
    return QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?1");
}

QString countRows()
{
    return QStringLiteral("SELECT COUNT(*) FROM catalogue");
}

QString orderBy(const Columns &cols, CatalogueOrder order)
{
    if (order.isKeyOrder())
        return keyColumns(cols);
    return QStringLiteral("\"%1\" COLLATE NOCASE%2, %3")
        .arg(cols[size_t(order.sortField())], order.descending() ? QStringLiteral(" DESC") : QString(), keyColumns(cols));
}

QString rowIdsInOrder(const Columns &cols, CatalogueOrder order)
{
    return QStringLiteral("SELECT rowid FROM catalogue ORDER BY %1").arg(orderBy(cols, order));
}

QString firstRowIds(const Columns &cols, CatalogueOrder order)
{
    return QStringLiteral("SELECT rowid FROM catalogue ORDER BY %1 LIMIT ?1").arg(orderBy(cols, order));
}

QString gridRowsInOrder(const Columns &cols, CatalogueOrder order)
{
    return QStringLiteral("SELECT rowid, %1 FROM catalogue ORDER BY %2 LIMIT ?1 OFFSET ?2")
        .arg(gridColumns(cols), orderBy(cols, order));
}

QStringList gridRowsBeside(const Columns &cols, CatalogueOrder order, Toward toward, bool anchorHasNoSortValue,
                           bool rowIdsOnly)
{
    const QString columns = rowIdsOnly ? QStringLiteral("rowid") : QStringLiteral("rowid, ") + gridColumns(cols);
    const bool after = toward == Toward::After;
    const QString key = QStringLiteral("(%1) %2 (?2, ?3, ?4)").arg(keyColumns(cols), after ? u">" : u"<");
    const QString keyOrder = after ? keyColumns(cols)
                                   : QStringLiteral("\"%1\" DESC, \"%2\" DESC, \"%3\" DESC")
                                         .arg(cols[Schema::Archive], cols[Schema::Product], cols[Schema::Type]);
    if (order.isKeyOrder())
        return {QStringLiteral("SELECT %1 FROM catalogue WHERE %2 ORDER BY %3 LIMIT ?5").arg(columns, key, keyOrder)};

    const int sortField = order.sortField();
    const QString sortCol = QStringLiteral("\"%1\" COLLATE NOCASE").arg(cols[size_t(sortField)]);
    // Both indexes of the field serve a seek among the rows without a value, and only
    // the order's own serves their order.
    const QString select = QStringLiteral("SELECT %1 FROM catalogue INDEXED BY %2 WHERE %3 ORDER BY %4 LIMIT ?5")
                               .arg(columns, QLatin1String(Schema::indexes()[size_t(order.index)].name));
    // Rows without a sort value come first in an ascending order, last in a descending one.
    const bool valuesRise = after != order.descending(); // along the way this read goes
    const QString sortOrder = QStringLiteral("%1%2, %3").arg(sortCol, valuesRise ? QString() : QStringLiteral(" DESC"), keyOrder);
    // The rows that share the anchor's value, then those beyond it: each part an equality
    // or a plain range that SQLite seeks to in the index, so a value shared by every row
    // costs no more than any other.
    const QChar beyond = valuesRise ? u'>' : u'<';
    const QString sameValue = select.arg(QStringLiteral("%1 = ?1 AND %2").arg(sortCol, key), sortOrder);
    const QString beyondValue = select.arg(QStringLiteral("%1 %2 ?1").arg(sortCol, beyond), sortOrder);
    // A part of the key always has a value where keyset reads are used.
    if (sortField == Schema::Archive || sortField == Schema::Product || sortField == Schema::Type)
        return anchorHasNoSortValue ? QStringList{} : QStringList{sameValue, beyondValue};

    const QString noValue = QStringLiteral("%1 IS NULL").arg(sortCol);
    // Every value of a text column is text, and '' the least of them: a range SQLite seeks
    // to, where IS NOT NULL would walk through the rows without a value first.
    const QString valueRows = select.arg(QStringLiteral("%1 >= ''").arg(sortCol), sortOrder);
    const QString noValueRows = select.arg(noValue, sortOrder);
    if (anchorHasNoSortValue) {
        const QString noValueOn = select.arg(QStringLiteral("%1 AND %2").arg(noValue, key), sortOrder);
        return valuesRise ? QStringList{noValueOn, valueRows} : QStringList{noValueOn};
    }
    return valuesRise ? QStringList{sameValue, beyondValue} : QStringList{sameValue, beyondValue, noValueRows};
}

QString rowWithoutKey(const Columns &cols)
{
    // Each part is sought in an index that leads with it.
    return QStringLiteral("SELECT 1 WHERE EXISTS (SELECT 1 FROM catalogue WHERE \"%1\" IS NULL) "
                          "OR EXISTS (SELECT 1 FROM catalogue WHERE \"%2\" COLLATE NOCASE IS NULL) "
                          "OR EXISTS (SELECT 1 FROM catalogue WHERE \"%3\" COLLATE NOCASE IS NULL)")
        .arg(cols[Schema::Archive], cols[Schema::Product], cols[Schema::Type]);
}

QString rowsHolding(const Columns &cols, const std::vector<int> &fields)
{
    QStringList args{QStringLiteral("?1")};
    for (const int field : fields)
        args << quoted(cols[size_t(field)]);
    return QStringLiteral("SELECT rowid FROM catalogue WHERE %1(%2) ORDER BY rowid")
        .arg(QLatin1String(HoldsText), args.join(QStringLiteral(", ")));
}

QString dataVersion()
{
    return QStringLiteral("PRAGMA data_version");
}

QString selectRecord(const Columns &cols)
{
    return byRowId(columnList(cols, 0, Schema::FieldCount));
}

QString selectGridFields(const Columns &cols)
{
    return byRowId(gridColumns(cols));
}

QString selectLongFields(const Columns &cols)
{
    return byRowId(columnList(cols, Schema::GridFields, Schema::FieldCount));
}

QString selectSortKey(const Columns &cols)
{
    return byRowId(columnList(cols, 0, Schema::Status + 1));
}

QString insertRecord(const Columns &cols)
{
    QStringList params;
    for (int i = 0; i < Schema::FieldCount; ++i)
        params << QStringLiteral("?%1").arg(i + 1);
    return QStringLiteral("INSERT INTO catalogue (%1) VALUES (%2)")
        .arg(columnList(cols, 0, Schema::FieldCount), params.join(u','));
}

QString updateFields(const Columns &cols, const std::vector<int> &fieldPositions)
{
    QStringList sets;
    int param = 0;
    for (const int pos : fieldPositions)
        sets << QStringLiteral("\"%1\" = ?%2").arg(cols[size_t(pos)]).arg(++param);
    return QStringLiteral("UPDATE catalogue SET %1 WHERE rowid = ?%2").arg(sets.join(u',')).arg(param + 1);
}

QString deleteRecord(const Columns &cols)
{
    return QStringLiteral("DELETE FROM catalogue WHERE rowid = ?1 AND \"%1\" IS ?2 AND \"%2\" IS ?3 AND \"%3\" IS ?4")
        .arg(cols[Schema::Archive], cols[Schema::Product], cols[Schema::Type]);
}

QString begin() { return QStringLiteral("BEGIN"); }
QString beginWrite() { return QStringLiteral("BEGIN IMMEDIATE"); }
QString commit() { return QStringLiteral("COMMIT"); }
QString rollback() { return QStringLiteral("ROLLBACK"); }
QString beginSnapshot() { return QStringLiteral("BEGIN; SELECT 1 FROM sqlite_master LIMIT 1"); }
QString durableWrites() { return QStringLiteral("PRAGMA synchronous = FULL"); }
// 8 MiB: a larger page cache helps stepping through a large catalogue.
QString pageCache() { return QStringLiteral("PRAGMA cache_size = -8192"); }
QString unsyncedJournalInMemory() { return QStringLiteral("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF"); }
QString rebuildIndexes() { return QStringLiteral("REINDEX"); }
QString compact() { return QStringLiteral("VACUUM"); }

} // namespace CatalogueSql
