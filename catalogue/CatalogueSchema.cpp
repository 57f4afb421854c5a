#include "catalogue/CatalogueSchema.h"

namespace CatalogueSchema {

const std::array<FieldDef, FieldCount> &fields()
{
    static const std::array<FieldDef, FieldCount> defs = {{
        {"Archive", FieldKind::String, 35, true, nullptr},
        {"Product", FieldKind::String, 35, true, nullptr},
        {"Type", FieldKind::String, 20, true, nullptr},
        {"Origin", FieldKind::String, 35, false, nullptr},
        {"Status", FieldKind::String, 20, true, nullptr},
        {"D1", FieldKind::Boolean, 0, false, nullptr},
        {"D2", FieldKind::Boolean, 0, false, nullptr},
        {"D3", FieldKind::Boolean, 0, false, nullptr},
        {"Cb", FieldKind::Boolean, 0, false, "CB"},
        {"Source", FieldKind::Boolean, 0, false, nullptr},
        {"OrigImg", FieldKind::Graphic, 0, false, " "},
        {"CurrImg", FieldKind::Graphic, 0, false, " "},
        {"Guide", FieldKind::Memo, 0, false, nullptr},
        {"Comments", FieldKind::Memo, 0, false, nullptr},
    }};
    return defs;
}

QString displayLabel(int pos)
{
    const FieldDef &def = fields().at(pos);
    return QString::fromLatin1(def.displayLabel ? def.displayLabel : def.name);
}

const std::array<ColumnDef, FieldCount> &columns()
{
    static const std::array<ColumnDef, FieldCount> cols = {{
        {"Archive", Archive}, {"Product", Product}, {"Type", Type},
        {"D1", D1}, {"D2", D2}, {"D3", D3}, {"CB", Cb},
        {"Status", Status}, {"Source", Source}, {"Origin", Origin},
        {"Guide", Guide}, {"Comments", Comments},
        {"OrigImg", OrigImg}, {"CurrImg", CurrImg},
    }};
    return cols;
}

const std::array<IndexDef, IndexCount> &indexes()
{
    static const std::array<IndexDef, IndexCount> defs = {{
        {"idx_Archive_Up", Archive, false}, {"idx_Archive_Down", Archive, true},
        {"idx_Product_Up", Product, false}, {"idx_Product_Down", Product, true},
        {"idx_Type_Up", Type, false},       {"idx_Type_Down", Type, true},
        {"idx_Status_Up", Status, false},   {"idx_Status_Down", Status, true},
        {"idx_Origin_Up", Origin, false},   {"idx_Origin_Down", Origin, true},
    }};
    return defs;
}

int indexByName(const QString &name)
{
    for (int i = 0; i < IndexCount; ++i) {
        if (name == QLatin1String(indexes()[i].name))
            return i;
    }
    return -1;
}

QString createSql()
{
    QString sql = QStringLiteral("CREATE TABLE catalogue (");
    for (const ColumnDef &col : columns()) {
        const FieldKind kind = fields()[col.fieldPos].kind;
        const char *type = kind == FieldKind::Boolean ? "INTEGER"
                         : kind == FieldKind::Graphic ? "BLOB" : "TEXT";
        sql += QStringLiteral("\"%1\" %2, ").arg(QLatin1String(col.name), QLatin1String(type));
    }
    sql += QStringLiteral("PRIMARY KEY (Archive, Product, Type));\n");
    // Each secondary index carries the key columns after its own, so ties fall back to
    // key order and every order is read straight from its index.
    for (const IndexDef &idx : indexes()) {
        sql += QStringLiteral("CREATE INDEX %1 ON catalogue (\"%2\" COLLATE NOCASE%3, Archive, Product, Type);\n")
                   .arg(QLatin1String(idx.name), QLatin1String(fields()[idx.fieldPos].name),
                        idx.descending ? QStringLiteral(" DESC") : QString());
    }
    sql += QStringLiteral("PRAGMA application_id = %1;\nPRAGMA user_version = %2;\n")
               .arg(qint64(ApplicationId)).arg(FormatVersion);
    return sql;
}

} // namespace CatalogueSchema
