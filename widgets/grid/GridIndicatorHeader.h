#pragma once

#include <QHeaderView>

// The grid's row indicator: a narrow vertical header of fixed-height rows that
// marks the current record (an arrow while browsing, a bar while editing). No row is measured, however many there are.
class GridIndicatorHeader : public QHeaderView
{
    Q_OBJECT
public:
    enum class Mark { Browse, Edit };
    static constexpr int IndicatorWidth = 12;

    explicit GridIndicatorHeader(QWidget *parent = nullptr);

    void setCurrentRow(int row, Mark mark = Mark::Browse);
    int currentRow() const { return m_row; }
    Mark mark() const { return m_mark; }

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    int m_row = -1;
    Mark m_mark = Mark::Browse;
};
