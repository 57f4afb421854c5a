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

} // namespace CatalogueSchema
