#include "settings/ui/DefinitionList.h"

#include "settings/NormalizeText.h"
#include "settings/ui/DefinitionListBox.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>

DefinitionList::DefinitionList(const Controls &controls, QObject *parent) : QObject(parent), m_c(controls)
{
    m_c.edit->setMaxLength(20);
    m_c.edit->setFrame(false);
    m_c.edit->installEventFilter(this);
    m_c.border->hide();
    connect(m_c.list, &DefinitionListBox::entryChosen, this, &DefinitionList::listClick);
    connect(m_c.add, &QAbstractButton::clicked, this, &DefinitionList::addClick);
    connect(m_c.remove, &QAbstractButton::clicked, this, &DefinitionList::removeClick);
}

void DefinitionList::fill(const QStringList &entries)
{
    // Filled while the dialog is hidden: closing the editor here commits nothing.
    const bool was = std::exchange(m_committing, true);
    m_c.border->hide();
    m_committing = was;
    m_c.list->clear();
    m_c.list->addItems(entries);
    m_c.list->selectRow(-1);
}

QStringList DefinitionList::entries() const
{
    QStringList all;
    for (int i = 0; i < m_c.list->count(); ++i)
        all << m_c.list->item(i)->text();
    return all;
}

bool DefinitionList::editorOpen() const
{
    return m_c.border->isVisible();
}

int DefinitionList::find(const QString &text) const
{
    for (int i = 0; i < m_c.list->count(); ++i) {
        if (sameText(m_c.list->item(i)->text(), text))
            return i;
    }
    return -1;
}

int DefinitionList::insertSorted(const QString &text)
{
    int at = 0;
    while (at < m_c.list->count() && !m_order(text, m_c.list->item(at)->text()))
        ++at;
    m_c.list->insertItem(at, text);
    return at;
}

void DefinitionList::listClick()
{
    const int row = m_c.list->selectedRow();
    if (row < 0)
        return;
    // The frame covers the entry's row, one pixel above and below it; the white
    // field sits inside the frame's line, the editor inside the field one pixel in.
    const QRect rowRect = m_c.list->visualItemRect(m_c.list->item(row));
    const QPoint viewport = m_c.list->viewport()->geometry().topLeft();
    const QPoint at = m_c.list->geometry().topLeft() + viewport + rowRect.topLeft() - QPoint(0, 1);
    m_c.border->setGeometry(QRect(at, QSize(rowRect.width(), rowRect.height() + 2)));
    m_c.field->setGeometry(1, 1, m_c.border->width() - 2, m_c.border->height() - 2);
    m_c.edit->setGeometry(1, 0, m_c.field->width() - 1, m_c.field->height());
    m_c.edit->setText(m_c.list->item(row)->text());
    m_c.border->raise();
    m_c.border->show();
    m_c.edit->setFocus(Qt::OtherFocusReason);
}

void DefinitionList::editExit()
{
    if (m_committing || !editorOpen())
        return;
    const bool was = std::exchange(m_committing, true);
    const int i = m_c.list->selectedRow();
    const QString s = NormalizeText(TrimControls(m_c.edit->text()));
    const int same = s.isEmpty() ? -1 : find(s);
    m_committedRow = i;
    if (!s.isEmpty() && same < 0) {
        if (i >= 0)
            delete m_c.list->takeItem(i);
        m_committedRow = insertSorted(s);
    } else if (i >= 0 && (s.isEmpty() || same != i)) {
        // Emptied, or renamed to an entry that is there already: the edited one goes.
        delete m_c.list->takeItem(i);
        m_committedRow = -1;
    }
    m_c.border->hide();
    m_c.list->selectRow(s.isEmpty() ? -1 : find(s));
    m_c.list->setFocus(Qt::OtherFocusReason);
    m_committing = was;
}

void DefinitionList::closeEditor()
{
    m_c.list->setFocus(Qt::OtherFocusReason);
    // A window without the keyboard moves no focus; the commit is due all the same.
    if (editorOpen())
        editExit();
}

void DefinitionList::commitEditor()
{
    if (editorOpen())
        closeEditor();
}

void DefinitionList::addClick()
{
    closeEditor();
    insertSorted(QString());
    m_c.list->selectRow(0);
    listClick();
}

void DefinitionList::removeClick()
{
    const int i = m_c.list->selectedRow();
    if (i < 0)
        return;
    const QString t = m_c.list->item(i)->text();
    const bool editing = editorOpen();
    closeEditor();
    // The entry being edited goes where its commit put it, if the commit kept it:
    // a changed name may have moved it, and another entry into its place. An entry
    // never named was an addition that the commit has dealt with.
    const int gone = editing ? m_committedRow : (t.isEmpty() ? -1 : i);
    if (gone >= 0 && gone < m_c.list->count())
        delete m_c.list->takeItem(gone);
    m_c.list->selectRow(std::min(i, m_c.list->count() - 1));
}

bool DefinitionList::editKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Down: {
        closeEditor();
        const int n = m_c.list->count();
        const int i = m_c.list->selectedRow();
        m_c.list->selectRow(n == 0 ? -1 : std::min(i + 1, n - 1));
        listClick();
        return true;
    }
    case Qt::Key_Up: {
        closeEditor();
        const int n = m_c.list->count();
        const int i = m_c.list->selectedRow();
        m_c.list->selectRow(n == 0 ? -1 : std::max(i - 1, 0));
        listClick();
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeEditor();
        return true;
    case Qt::Key_Escape:
        m_c.edit->undo();
        closeEditor();
        return true;
    default:
        return false;
    }
}

bool DefinitionList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_c.edit) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier)
                return editKeyDown(key->key());
        } else if (event->type() == QEvent::FocusOut) {
            // Losing the keyboard to another window or to a menu is no leaving.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                editExit();
        }
    }
    return QObject::eventFilter(watched, event);
}
