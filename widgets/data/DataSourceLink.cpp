#include "widgets/data/DataSourceLink.h"

DataSourceLink::DataSourceLink(QObject *parent) : QObject(parent) {}

bool DataSourceLink::setDataSource(DataSource *source)
{
    if (m_source == source)
        return false;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source) {
        connect(m_source, &DataSource::activeChanged, this, &DataSourceLink::activeChanged);
        connect(m_source, &DataSource::stateChanged, this, &DataSourceLink::stateChanged);
        connect(m_source, &DataSource::recordChanged, this, &DataSourceLink::recordChanged);
        connect(m_source, &DataSource::fieldChanged, this, &DataSourceLink::fieldChanged);
        connect(m_source, &DataSource::dataSetChanged, this, &DataSourceLink::dataSetChanged);
        connect(m_source, &DataSource::renumbered, this, &DataSourceLink::renumbered);
    }
    return true;
}
