#include "widgets/data/DBCheckBox.h"

#include "widgets/data/FieldDataLink.h"

DBCheckBox::DBCheckBox(QWidget *parent) : DBCheckBox(QString(), parent) {}

DBCheckBox::DBCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent), m_link(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::dataChanged, this, &DBCheckBox::load);
    connect(m_link, &FieldDataLink::errorRaised, this, &DBCheckBox::errorRaised);
    connect(this, &QCheckBox::toggled, this, &DBCheckBox::onToggled);
}

void DBCheckBox::setDataSource(DataSource *source) { m_link->setDataSource(source); }
DataSource *DBCheckBox::dataSource() const { return m_link->dataSource(); }
void DBCheckBox::setFieldPos(int pos) { m_link->setFieldPos(pos); }
int DBCheckBox::fieldPos() const { return m_link->fieldPos(); }

void DBCheckBox::load()
{
    m_loading = true;
    setChecked(m_link->value().toBool());
    m_loading = false;
}

void DBCheckBox::onToggled(bool checked)
{
    if (m_loading)
        return;
    if (!m_link->write(QVariant(checked)))
        load();
}
