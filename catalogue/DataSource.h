#pragma once

#include "catalogue/CatalogueTable.h"

#include <QObject>

// Links the table to its data-aware controls and the grid: every control reads
// and writes the catalogue through a data source, never through SQLite.
class DataSource : public QObject, public TableObserver
{
    Q_OBJECT
public:
    explicit DataSource(CatalogueTable *table, QObject *parent = nullptr);
    ~DataSource() override;

    CatalogueTable *dataSet() const { return m_table; }

    void tableEvent(TableEvent event, int info) override;

signals:
    void activeChanged();
    void stateChanged();
    void recordChanged();
    void fieldChanged(int fieldPos);
    void dataSetChanged();
    // The rows shown at provisional places are at place + shift.
    void renumbered(int shift);

private:
    CatalogueTable *m_table;
};
