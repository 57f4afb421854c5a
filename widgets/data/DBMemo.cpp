#include "widgets/data/DBMemo.h"

#include "widgets/data/FieldDataLink.h"

#include <QFocusEvent>
#include <QTextCursor>

DBMemo::DBMemo(QWidget *parent) : QPlainTextEdit(parent), m_link(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::dataChanged, this, &DBMemo::load);
    connect(m_link, &FieldDataLink::editableChanged, this, &DBMemo::updateEditable);
    connect(m_link, &FieldDataLink::errorRaised, this, &DBMemo::errorRaised);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onTextChanged);
    updateEditable();
}

void DBMemo::setDataSource(DataSource *source) { m_link->setDataSource(source); }
DataSource *DBMemo::dataSource() const { return m_link->dataSource(); }
void DBMemo::setFieldPos(int pos) { m_link->setFieldPos(pos); }
int DBMemo::fieldPos() const { return m_link->fieldPos(); }

bool DBMemo::isModified() const { return document()->isModified(); }
bool DBMemo::isUndoAvailable() const { return document()->isUndoAvailable(); }

int DBMemo::selectionLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

// The document reports itself modified while it is being replaced, so the change
// is announced once the flag is settled.
void DBMemo::setWhole(const QString &text)
{
    m_loading = true;
    setPlainText(text);
    document()->setModified(false);
    m_loading = false;
}

void DBMemo::load()
{
    const QString text = m_link->value().toString();
    const bool differs = text != toPlainText();
    setWhole(text);
    if (differs)
        emit changed(false);
}

void DBMemo::setText(const QString &text)
{
    const QString before = toPlainText();
    setWhole(text);
    if (text != before && !m_link->write(text.isEmpty() ? QVariant() : QVariant(text))) {
        load();
        return;
    }
    emit changed(false);
}

void DBMemo::updateEditable()
{
    setReadOnly(!m_link->canEdit());
}

void DBMemo::onTextChanged()
{
    if (m_loading)
        return;
    const QString text = toPlainText();
    if (!m_link->write(text.isEmpty() ? QVariant() : QVariant(text))) {
        load();
        return;
    }
    // Undoing back to the loaded text is still the user's change.
    document()->setModified(true);
    emit changed(true);
}

void DBMemo::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void DBMemo::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

void DBMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit exited();
}
