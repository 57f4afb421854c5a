#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws the grid's flag columns (D1, D2, D3, Cb, Source) as pictures: the cell is
// filled with its background (the highlight when selected), which wipes the
// text, and the checked or unchecked picture goes centred across the cell at its
// top. The two pictures are handed over once; a paint allocates nothing.
class FlagDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int PictureSize = 17;

    explicit FlagDelegate(QObject *parent = nullptr);

    void setPictures(const QPixmap &checked, const QPixmap &unchecked);
    const QPixmap &checkedPicture() const { return m_checked; }
    const QPixmap &uncheckedPicture() const { return m_unchecked; }

    // Where a picture's top-left corner goes in a cell.
    static QPoint picturePos(const QRect &cell);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QPixmap m_checked;
    QPixmap m_unchecked;
};
