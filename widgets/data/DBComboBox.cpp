#include "widgets/data/DBComboBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// Drop-down rows of a fixed height.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), DBComboBox::ItemHeight};
    }
};

bool sortsBefore(const QString &a, const QString &b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

} // namespace

DBComboBox::DBComboBox(QWidget *parent) : DataControl(parent)
{
    setEditable(true);
    // The pick list grows only through the owner; Return must not add to it, and
    // completion must not change what the user types.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setItemDelegate(new FixedRowDelegate(this));

    // Keys sent to the text part straight meet the typing limit as well.
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { lineEdit()->setModified(true); });
    connect(lineEdit(), &QLineEdit::textChanged, this, &DBComboBox::onTextChanged);
    // Written by then: the line edit's text changes before the pick is announced.
    connect(this, &QComboBox::textActivated, this, [this] {
        if (settingByProgram() || !link()->active())
            return;
        // The box also announces its text when the focus leaves it; only a pick from
        // the list while the box has the focus is the user's change.
        if (leaving())
            return;
        lineEdit()->setModified(true);
        emit changed();
    });
    updateEditable();
}

QString DBComboBox::text() const { return lineEdit()->text(); }
bool DBComboBox::isModified() const { return lineEdit()->isModified(); }
bool DBComboBox::isUndoAvailable() const { return lineEdit()->isUndoAvailable(); }
int DBComboBox::selectionLength() const { return lineEdit()->selectionLength(); }

// An empty combo box makes its first new item current and shows it; the text,
// the modified flag and the cursor of the edit part must stay as they were.
template <typename Change>
void DBComboBox::keepingText(Change &&change)
{
    QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const bool modified = edit->isModified();
    const int cursor = edit->cursorPosition();
    setByProgram([&] {
        change();
        if (currentIndex() != -1 && edit->text() != text)
            setCurrentIndex(-1);
        if (edit->text() != text) {
            edit->setText(text);
            edit->setModified(modified);
            edit->setCursorPosition(cursor);
        }
    });
}

int DBComboBox::addPickItem(const QString &item)
{
    const QStringList items = pickItems();
    const auto at = std::upper_bound(items.cbegin(), items.cend(), item, sortsBefore);
    const int index = int(at - items.cbegin());
    keepingText([&] { insertItem(index, item); });
    return index;
}

void DBComboBox::setPickItems(const QStringList &items)
{
    QStringList sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(), sortsBefore);
    keepingText([&] {
        clear();
        addItems(sorted);
    });
}

void DBComboBox::clearPickItems()
{
    keepingText([&] { clear(); });
}

QStringList DBComboBox::pickItems() const
{
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}

int DBComboBox::findPickItem(const QString &item, Qt::CaseSensitivity cs) const
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).compare(item, cs) == 0)
            return i;
    }
    return -1;
}

void DBComboBox::load()
{
    const QString text = link()->value().toString();
    setByProgram([&] {
        setCurrentIndex(-1);
        lineEdit()->setText(text);
    });
}

void DBComboBox::onTextChanged(const QString &text)
{
    if (settingByProgram())
        return;
    // The box sets its text again when the focus leaves it with a listed text: that is
    // no change of the record.
    if (text == link()->value().toString())
        return;
    if (store(text) && lineEdit()->isModified())
        emit changed();
}

void DBComboBox::editUndo() { lineEdit()->undo(); }
void DBComboBox::editCut() { lineEdit()->cut(); }
void DBComboBox::editCopy() { lineEdit()->copy(); }
void DBComboBox::editPaste() { lineEdit()->paste(); }
void DBComboBox::editSelectAll() { lineEdit()->selectAll(); }

void DBComboBox::editClearAll()
{
    const bool wasEmpty = text().isEmpty();
    setCurrentIndex(-1);
    lineEdit()->setText(QString());
    if (!wasEmpty)
        emit changed();
}
