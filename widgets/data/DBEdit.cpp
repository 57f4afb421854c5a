#include "widgets/data/DBEdit.h"

#include "catalogue/CatalogueTable.h"
#include "widgets/data/FieldDataLink.h"
#include "widgets/data/TypingLimit.h"

#include <QApplication>
#include <QFocusEvent>

DBEdit::DBEdit(QWidget *parent) : QLineEdit(parent), m_link(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::dataChanged, this, &DBEdit::load);
    connect(m_link, &FieldDataLink::editableChanged, this, &DBEdit::updateEditable);
    connect(m_link, &FieldDataLink::errorRaised, this, &DBEdit::errorRaised);
    // Edited comes before changed: undoing back to the loaded text still counts as
    // the user's change.
    connect(this, &QLineEdit::textEdited, this, [this] { setModified(true); });
    connect(this, &QLineEdit::textChanged, this, &DBEdit::onTextChanged);
    updateEditable();
}

void DBEdit::setDataSource(DataSource *source) { m_link->setDataSource(source); }
DataSource *DBEdit::dataSource() const { return m_link->dataSource(); }

void DBEdit::setFieldPos(int pos)
{
    m_typingLimit = textFieldSize(pos);
    m_link->setFieldPos(pos);
}

int DBEdit::fieldPos() const { return m_link->fieldPos(); }

void DBEdit::load()
{
    const QString text = m_link->value().toString();
    const bool differs = text != this->text();
    m_loading = true;
    setText(text); // also when equal: the undo of another record must not survive
    m_loading = false;
    if (differs)
        emit changed(false);
}

void DBEdit::updateEditable()
{
    setReadOnly(!m_link->canEdit());
}

void DBEdit::onTextChanged(const QString &text)
{
    if (m_loading)
        return;
    if (!m_link->write(text.isEmpty() ? QVariant() : QVariant(text))) {
        load();
        return;
    }
    emit changed(isModified());
}

void DBEdit::editClearAll()
{
    const bool wasEmpty = text().isEmpty();
    setText(QString());
    // No text change to report it, yet the whole text was set.
    if (wasEmpty)
        emit changed(false);
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    if (typingExceedsLimit(*this, *event, m_typingLimit)) {
        event->accept();
        QApplication::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DBEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void DBEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit exited();
}
