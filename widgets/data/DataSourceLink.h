#pragma once

#include "catalogue/DataSource.h"

#include <QObject>
#include <QPointer>

class CatalogueTable;

// A control's hold on its data source. The control connects to the link once;
// changing the source moves the connections with it, and a source that is
// destroyed simply stops talking. Each signal passes on the source's signal of
// the same name, in the order the controls were bound (a grid's model binds
// before the grid, so the rows are fresh when the grid follows the table).
class DataSourceLink : public QObject
{
    Q_OBJECT
public:
    explicit DataSourceLink(QObject *parent = nullptr);

    // False, and no change, when the source is the one already bound.
    bool setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }
    CatalogueTable *table() const { return m_source ? m_source->dataSet() : nullptr; }

signals:
    void activeChanged();
    void stateChanged();
    void recordChanged();
    void fieldChanged(int fieldPos);
    void dataSetChanged();
    void renumbered(int shift);

private:
    QPointer<DataSource> m_source;
};
