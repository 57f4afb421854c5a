#pragma once

#include "catalogue/CatalogueSchema.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

class CatalogueTable;

// One field object of the table: reads the current record, writes the record
// being edited. An empty text, an empty image and a missing flag all read as null.
class Field
{
public:
    Field(CatalogueTable *table, int index);

    int index() const { return m_index; }
    QString fieldName() const;
    QString displayLabel() const;
    CatalogueSchema::FieldKind kind() const;
    int size() const;
    bool required() const;

    QVariant value() const;
    bool isNull() const;
    QString asString() const;  // booleans read "True"/"False"
    bool asBoolean() const;
    QByteArray asBytes() const;

    void setValue(const QVariant &value);
    void setAsString(const QString &text);
    void setAsBoolean(bool value);
    void setAsBytes(const QByteArray &bytes);
    void clear();

private:
    CatalogueTable *m_table;
    int m_index;
};
