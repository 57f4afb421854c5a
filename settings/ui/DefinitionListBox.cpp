#include "settings/ui/DefinitionListBox.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace {

class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), DefinitionListBox::RowHeight};
    }
};

} // namespace

DefinitionListBox::DefinitionListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new FixedRowDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The sunken two-pixel border that the in-place editor's offsets count on.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit entryChosen();
    });
}

int DefinitionListBox::selectedRow() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void DefinitionListBox::selectRow(int row)
{
    const QSignalBlocker quiet(this);
    if (row < 0 || row >= count()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
    } else {
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(row));
    }
    // The view repaints from the selection model, which the blocker did not silence.
    viewport()->update();
}

void DefinitionListBox::keyPressEvent(QKeyEvent *event)
{
    const int before = selectedRow();
    QListWidget::keyPressEvent(event);
    // A move lands on the current row; make it the one selection.
    if (currentRow() >= 0 && currentRow() != before) {
        selectRow(currentRow());
        emit entryChosen();
    }
}

void DefinitionListBox::focusInEvent(QFocusEvent *event)
{
    // The view would make its first row current on taking the focus; a list with
    // nothing selected keeps nothing current, so Down starts at the top.
    const bool none = selectedRow() < 0;
    QListWidget::focusInEvent(event);
    if (none && currentIndex().isValid()) {
        const QSignalBlocker quiet(this);
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}
