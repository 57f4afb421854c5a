#include "catalogue/paradox/ParadoxCatalogue.h"

namespace Schema = CatalogueSchema;

namespace ParadoxCatalogue {

namespace {

quint8 paradoxTypeOf(Schema::FieldKind kind)
{
    switch (kind) {
    case Schema::FieldKind::String: return ParadoxType::Alpha;
    case Schema::FieldKind::Boolean: return ParadoxType::Logical;
    case Schema::FieldKind::Memo: return ParadoxType::MemoBlob;
    case Schema::FieldKind::Graphic: return ParadoxType::Graphic;
    }
    return 0;
}

int catalogueFieldNamed(const QString &name)
{
    for (int pos = 0; pos < Schema::FieldCount; ++pos) {
        if (name.compare(QLatin1String(Schema::fields()[size_t(pos)].name), Qt::CaseInsensitive) == 0)
            return pos;
    }
    return -1;
}

// "an alpha field", "a memo field".
QString kindOf(quint8 type)
{
    const QString name = ParadoxType::name(type);
    const bool vowel = QStringLiteral("aeiouAEIOU").contains(name.front());
    return (vowel ? QStringLiteral("an %1 field") : QStringLiteral("a %1 field")).arg(name);
}

[[noreturn]] void refuse(const ParadoxTable &table, const QString &why)
{
    table.fail(QStringLiteral("it is a Paradox table, but not a catalogue: %1").arg(why));
}

} // namespace

Layout match(const ParadoxTable &table)
{
    Layout layout;
    layout.fill(-1);
    const std::vector<ParadoxField> &fields = table.header().fields;
    for (size_t i = 0; i < fields.size(); ++i) {
        const ParadoxField &field = fields[i];
        const int pos = catalogueFieldNamed(field.name);
        if (pos < 0)
            refuse(table, QStringLiteral("its field %1 is none of a catalogue's").arg(field.name));
        if (layout[size_t(pos)] >= 0)
            refuse(table, QStringLiteral("it has the field %1 twice").arg(field.name));
        const Schema::FieldDef &def = Schema::fields()[size_t(pos)];
        const quint8 wanted = paradoxTypeOf(def.kind);
        if (field.type != wanted)
            refuse(table, QStringLiteral("its field %1 is %2, where a catalogue has %3")
                       .arg(field.name, kindOf(field.type), kindOf(wanted)));
        if (def.kind == Schema::FieldKind::String && field.size > def.size)
            refuse(table, QStringLiteral("its field %1 holds %2 characters, more than a catalogue's %3")
                       .arg(field.name).arg(field.size).arg(def.size));
        layout[size_t(pos)] = int(i);
    }
    for (int pos = 0; pos < Schema::FieldCount; ++pos) {
        if (layout[size_t(pos)] < 0)
            refuse(table, QStringLiteral("it has no field %1").arg(QLatin1String(Schema::fields()[size_t(pos)].name)));
    }
    return layout;
}

Schema::Record record(const ParadoxTable::Values &values, const Layout &layout)
{
    Schema::Record rec;
    for (size_t pos = 0; pos < rec.size(); ++pos)
        rec[pos] = values[size_t(layout[pos])];
    return rec;
}

} // namespace ParadoxCatalogue
