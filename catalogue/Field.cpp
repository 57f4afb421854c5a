#include "catalogue/Field.h"

#include "catalogue/CatalogueTable.h"

using CatalogueSchema::FieldKind;

Field::Field(CatalogueTable *table, int index) : m_table(table), m_index(index) {}

QString Field::fieldName() const
{
    return QString::fromLatin1(CatalogueSchema::fields()[m_index].name);
}

QString Field::displayLabel() const
{
    return CatalogueSchema::displayLabel(m_index);
}

FieldKind Field::kind() const { return CatalogueSchema::fields()[m_index].kind; }
int Field::size() const { return CatalogueSchema::fields()[m_index].size; }
bool Field::required() const { return CatalogueSchema::fields()[m_index].required; }

QVariant Field::value() const { return m_table->fieldValue(m_index); }
bool Field::isNull() const { return value().isNull(); }

QString Field::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        return QString();
    if (kind() == FieldKind::Boolean)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

bool Field::asBoolean() const { return value().toBool(); }
QByteArray Field::asBytes() const { return value().toByteArray(); }

void Field::setValue(const QVariant &value) { m_table->setFieldValue(m_index, value); }

void Field::setAsString(const QString &text)
{
    if (kind() == FieldKind::Boolean) {
        if (text.isEmpty())
            clear();
        else
            setAsBoolean(text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0);
        return;
    }
    setValue(text);
}

void Field::setAsBoolean(bool value) { setValue(QVariant(value)); }
void Field::setAsBytes(const QByteArray &bytes) { setValue(QVariant(bytes)); }
void Field::clear() { setValue(QVariant()); }
