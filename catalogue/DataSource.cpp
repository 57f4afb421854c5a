#include "catalogue/DataSource.h"

DataSource::DataSource(CatalogueTable *table, QObject *parent) : QObject(parent), m_table(table)
{
    m_table->addObserver(this);
}

DataSource::~DataSource()
{
    m_table->removeObserver(this);
}

void DataSource::tableEvent(TableEvent event, int info)
{
    switch (event) {
    case TableEvent::ActiveChanged: emit activeChanged(); break;
    case TableEvent::StateChanged: emit stateChanged(); break;
    case TableEvent::RecordChanged: emit recordChanged(); break;
    case TableEvent::FieldChanged: emit fieldChanged(info); break;
    case TableEvent::DataSetChanged: emit dataSetChanged(); break;
    case TableEvent::Renumbered: emit renumbered(info); break;
    }
}
