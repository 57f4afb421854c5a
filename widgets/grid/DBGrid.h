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
//
// The grid lays out its rows itself: its model holds only the rows in view (and a
// row or two more), from the record at the top, so nothing it keeps grows with the
// catalogue. The vertical scroll bar counts records: its value is the top record.
// Keys, clicks, the wheel and scrolling to the current record work in records and
// move the model's window where the view would have scrolled.
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

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

signals:
    void titleClicked(int column, int fieldPos);
    void recordDoubleClicked();
    void errorRaised(const QString &message);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void followTable();
    int tableRow() const;
    // Waits for the table's order list; false when the reading failed (reported).
    bool waitForOrder();
    // Input waits for the order list while the rows show at provisional places, so it
    // acts on the true ones; the rows stay where they are on screen. False when the
    // reading failed.
    bool settleOrder();

    int rowHeight() const;
    int wholeRows() const;      // rows wholly in view, at least one
    int lastTop() const;        // the top record that shows the last one at the bottom
    int firstWhole() const;     // the first record shown whole
    // Moves the window so its row 0 is `top` (clamped) and it holds the rows in view.
    void setTop(int top);
    // The top that brings `record` wholly into view with the least move.
    int topShowing(int record) const;
    // The scroll bar in records, and the rows drawn from the window's top.
    void syncScrollBar();
    // The current cell and the indicator on the current record's row, or on none when
    // it is out of the window; nothing scrolls.
    void syncCurrent();

    DataSourceLink *m_source;
    CatalogueGridModel *m_model;
    FlagDelegate *m_delegate;
    GridIndicatorHeader *m_indicator;
    bool m_following = false;
    bool m_syncing = false;     // the view's own scrolling code is at work: not the user's
    bool m_keepPlace = false;   // the current cell moves to its record's row: no scrolling
    bool m_choosing = false;    // the table moves to the row the user chose
    int m_current = -1;         // the current record
    bool m_brought = false;     // it was brought into view since it became current
    int m_lift = 0;             // pixels of the window's row 0 above the viewport, at the end
    int m_column = 0;           // the current column, kept while the record is out of view
};
