#pragma once

#include "catalogue/DataSource.h"

#include <QTableView>

class CatalogueGridModel;
class DataSourceLink;
class FlagDelegate;
class GridIndicatorHeader;

// The read-only grid over the catalogue: one row per record in the table's order,
// ten columns bound to fields by field-list position, titles that act as buttons,
// a row indicator, and the flag columns drawn as pictures. The current row follows
// the table's current record; choosing a row moves the table there.
class DBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;

    CatalogueGridModel *gridModel() const { return m_model; }
    FlagDelegate *flagDelegate() const { return m_delegate; }
    GridIndicatorHeader *indicator() const { return m_indicator; }

    // Column binding: column N (0 to 9 from the left) shows the field at fieldPos
    // (0 to 13). False, and no change, for a position out of range.
    bool setColumn(int column, int fieldPos, int width);
    bool setColumnField(int column, int fieldPos);
    int columnField(int column) const;
    int gridColumnCount() const;
    // The width a column gets as built: enough for the field's title and contents.
    int defaultColumnWidth(int fieldPos) const;

    void setFlagPictures(const QPixmap &checked, const QPixmap &unchecked);

    // Records by position in the table's order, from 0, whatever rows the view holds.
    int recordRows() const;                 // the records known so far
    int currentRecord() const;              // the record the grid marks current; -1 none
    int topRecord() const;                  // the first record shown whole; -1 none
    // Where a record is drawn in the viewport; empty when it is not among the rows held.
    QRect recordRect(int record, int column) const;

signals:
    void titleClicked(int column, int fieldPos);
    void recordDoubleClicked();
    void errorRaised(const QString &message);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followTable();
    int tableRow() const;

    DataSourceLink *m_source;
    CatalogueGridModel *m_model;
    FlagDelegate *m_delegate;
    GridIndicatorHeader *m_indicator;
    bool m_following = false;
};
