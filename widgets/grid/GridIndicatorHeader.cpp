#include "widgets/grid/GridIndicatorHeader.h"

#include <QPainter>
#include <QPainterPath>

GridIndicatorHeader::GridIndicatorHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(true);
    setHighlightSections(false);
    setFixedWidth(IndicatorWidth);
}

void GridIndicatorHeader::setCurrentRow(int row, Mark mark)
{
    if (row == m_row && mark == m_mark)
        return;
    const int old = m_row;
    m_row = row;
    m_mark = mark;
    if (old >= 0)
        updateSection(old);
    if (row >= 0)
        updateSection(row);
}

QSize GridIndicatorHeader::sizeHint() const
{
    return {IndicatorWidth, defaultSectionSize()};
}

void GridIndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // The style clips to the label area, which a section this narrow does not have.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != m_row)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::ButtonText);
    const QPointF c = QRectF(rect).center();
    switch (m_mark) {
    case Mark::Browse: {
        QPainterPath arrow;
        arrow.moveTo(c.x() - 2, c.y() - 4);
        arrow.lineTo(c.x() + 2.5, c.y());
        arrow.lineTo(c.x() - 2, c.y() + 4);
        arrow.closeSubpath();
        painter->fillPath(arrow, ink);
        break;
    }
    case Mark::Edit:
        painter->setPen(QPen(ink, 1.5));
        painter->drawLine(QPointF(c.x(), c.y() - 4), QPointF(c.x(), c.y() + 4));
        painter->drawLine(QPointF(c.x() - 2, c.y() - 4), QPointF(c.x() + 2, c.y() - 4));
        painter->drawLine(QPointF(c.x() - 2, c.y() + 4), QPointF(c.x() + 2, c.y() + 4));
        break;
    }
    painter->restore();
}
