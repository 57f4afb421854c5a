#include "widgets/grid/FlagDelegate.h"

#include "widgets/grid/CatalogueGridModel.h"

#include "resources/MoxPictures.h"

#include <QPainter>

FlagDelegate::FlagDelegate(QObject *parent) : QStyledItemDelegate(parent)
{
    const QSize size(PictureSize, PictureSize);
    m_checked = moxPixmap(QStringLiteral("CHECKED"), size);
    m_unchecked = moxPixmap(QStringLiteral("UNCHECKED"), size);
}

void FlagDelegate::setPictures(const QPixmap &checked, const QPixmap &unchecked)
{
    m_checked = checked;
    m_unchecked = unchecked;
}

QPoint FlagDelegate::picturePos(const QRect &cell)
{
    return {cell.left() + (cell.width() - PictureSize) / 2, cell.top()};
}

void FlagDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!CatalogueGridModel::isFlagField(index.data(CatalogueGridModel::FieldPosRole).toInt())) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
        : (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QPalette::ColorRole background = (option.state & QStyle::State_Selected) ? QPalette::Highlight
        : (option.features & QStyleOptionViewItem::Alternate) ? QPalette::AlternateBase : QPalette::Base;
    painter->fillRect(option.rect, option.palette.brush(group, background));
    const bool checked = index.data(CatalogueGridModel::ValueRole).toBool();
    const QPixmap &picture = checked ? m_checked : m_unchecked;
    if (!picture.isNull())
        painter->drawPixmap(picturePos(option.rect), picture);
}
