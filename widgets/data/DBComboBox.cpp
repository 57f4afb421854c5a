#include "widgets/data/DBComboBox.h"

#include "widgets/data/FieldDataLink.h"
#include "widgets/data/TypingLimit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QFocusEvent>
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

DBComboBox::DBComboBox(QWidget *parent) : QComboBox(parent), m_link(new FieldDataLink(this))
{
    setEditable(true);
    // The pick list grows only through the owner; Return must not add to it, and
    // completion must not change what the user types.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setItemDelegate(new FixedRowDelegate(this));

    connect(m_link, &FieldDataLink::dataChanged, this, &DBComboBox::load);
    connect(m_link, &FieldDataLink::editableChanged, this, &DBComboBox::updateEditable);
    connect(m_link, &FieldDataLink::errorRaised, this, &DBComboBox::errorRaised);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { lineEdit()->setModified(true); });
    connect(lineEdit(), &QLineEdit::textChanged, this, &DBComboBox::onTextChanged);
    // Written by then: the line edit's text changes before the pick is announced.
    connect(this, &QComboBox::textActivated, this, [this] {
        if (m_loading || !m_link->active())
            return;
        // The box also announces its text when the focus leaves it; only a pick from
        // the list while the box has the focus is the user's change.
        if (m_leaving)
            return;
        lineEdit()->setModified(true);
        emit changed();
    });
    updateEditable();
}

void DBComboBox::setDataSource(DataSource *source) { m_link->setDataSource(source); }
DataSource *DBComboBox::dataSource() const { return m_link->dataSource(); }

void DBComboBox::setFieldPos(int pos)
{
    m_typingLimit = textFieldSize(pos);
    m_link->setFieldPos(pos);
}

int DBComboBox::fieldPos() const { return m_link->fieldPos(); }

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
    const bool was = m_loading;
    m_loading = true;
    change();
    if (currentIndex() != -1 && edit->text() != text)
        setCurrentIndex(-1);
    if (edit->text() != text) {
        edit->setText(text);
        edit->setModified(modified);
        edit->setCursorPosition(cursor);
    }
    m_loading = was;
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
    const QString text = m_link->value().toString();
    m_loading = true;
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    m_loading = false;
}

void DBComboBox::updateEditable()
{
    lineEdit()->setReadOnly(!m_link->canEdit());
}

void DBComboBox::onTextChanged(const QString &text)
{
    if (m_loading)
        return;
    // The box sets its text again when the focus leaves it with a listed text: that is
    // no change of the record.
    if (text == m_link->value().toString())
        return;
    if (!m_link->write(text.isEmpty() ? QVariant() : QVariant(text)))
        load();
    else if (lineEdit()->isModified())
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

// Keys reach the text part through the box, or straight when it has the focus itself.
void DBComboBox::keyPressEvent(QKeyEvent *event)
{
    if (refuseTyping(event))
        return;
    QComboBox::keyPressEvent(event);
}

bool DBComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress && refuseTyping(static_cast<QKeyEvent *>(event)))
        return true;
    return QComboBox::eventFilter(watched, event);
}

bool DBComboBox::refuseTyping(QKeyEvent *event)
{
    if (!typingExceedsLimit(*lineEdit(), *event, m_typingLimit))
        return false;
    event->accept();
    QApplication::beep();
    return true;
}

void DBComboBox::keyReleaseEvent(QKeyEvent *event)
{
    QComboBox::keyReleaseEvent(event);
    emit keyReleased();
}

void DBComboBox::focusOutEvent(QFocusEvent *event)
{
    m_leaving = true;
    QComboBox::focusOutEvent(event);
    m_leaving = false;
    if (event->reason() != Qt::PopupFocusReason)
        emit exited();
}
