#pragma once

#include "widgets/data/FieldDataLink.h"
#include "widgets/data/TypingLimit.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <type_traits>

class DataSource;

// The base of the data-aware text controls (DBEdit, DBMemo, DBComboBox): it does
// once what they all do, so that a control only reads and writes its own value.
// - It binds the control to its field and shows the field again when the link
//   says so (load()), read-only while the field cannot take input.
// - It keeps the guard that tells a value set by the program (a record loaded)
//   from the user's input: changes made inside setByProgram() are not the user's.
// - It stores the user's text and shows the field again when the record refuses it.
// - It stops typing at the field's size.
// - It reports a key released, a mouse button released and the focus leaving
//   (not for a pop-up menu), each after the widget has handled the event, so the
//   selection is the one the user sees.
// `Derived` declares the signals keyReleased(), exited(), errorRaised(QString)
// and, where it has one, mouseReleased().
template <typename Derived, typename Widget>
class DataControl : public Widget
{
public:
    explicit DataControl(QWidget *parent) : Widget(parent), m_link(new FieldDataLink(this))
    {
        QObject::connect(m_link, &FieldDataLink::dataChanged, this, [this] { load(); });
        QObject::connect(m_link, &FieldDataLink::editableChanged, this, [this] { updateEditable(); });
        QObject::connect(m_link, &FieldDataLink::errorRaised, this,
                         [this](const QString &message) { emit self().errorRaised(message); });
        updateEditable();
    }

    void setDataSource(DataSource *source) { m_link->setDataSource(source); }
    DataSource *dataSource() const { return m_link->dataSource(); }
    void setFieldPos(int pos) { m_link->setFieldPos(pos); }
    int fieldPos() const { return m_link->fieldPos(); }

protected:
    // Shows the field's value as the program sets it.
    virtual void load() = 0;

    FieldDataLink *link() const { return m_link; }

    // Runs `change` as the program's, not the user's; nests.
    template <typename Change>
    void setByProgram(Change &&change)
    {
        const bool was = m_byProgram;
        m_byProgram = true;
        change();
        m_byProgram = was;
    }
    bool settingByProgram() const { return m_byProgram; }
    // Inside the widget's own focus-out handling.
    bool leaving() const { return m_leaving; }

    // Writes the user's text into the record; when the record refuses it, the
    // field is shown again and false returned.
    bool store(const QString &text)
    {
        if (m_link->write(text))
            return true;
        load();
        return false;
    }

    // The text part stays read-only while the field cannot take input (no open
    // catalogue, or a value not read yet).
    void updateEditable()
    {
        const bool readOnly = !m_link->canEdit();
        if constexpr (std::is_base_of_v<QComboBox, Widget>) {
            if (QLineEdit *edit = this->lineEdit())
                edit->setReadOnly(readOnly);
        } else {
            this->setReadOnly(readOnly);
        }
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (refuseTyping(event))
            return;
        Widget::keyPressEvent(event);
    }

    // A combo box's line edit takes keys sent to it straight; the box watches it.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched == lineEditPart()
            && refuseTyping(static_cast<QKeyEvent *>(event)))
            return true;
        return Widget::eventFilter(watched, event);
    }

    void keyReleaseEvent(QKeyEvent *event) override
    {
        Widget::keyReleaseEvent(event);
        emit self().keyReleased();
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        Widget::mouseReleaseEvent(event);
        if constexpr (requires(Derived &d) { d.mouseReleased(); })
            emit self().mouseReleased();
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        const bool was = m_leaving;
        m_leaving = true;
        Widget::focusOutEvent(event);
        m_leaving = was;
        if (event->reason() != Qt::PopupFocusReason)
            emit self().exited();
    }

private:
    Derived &self() { return static_cast<Derived &>(*this); }

    // The one-line text the user types into, if the control has one.
    QLineEdit *lineEditPart()
    {
        if constexpr (std::is_base_of_v<QLineEdit, Widget>)
            return this;
        else if constexpr (std::is_base_of_v<QComboBox, Widget>)
            return this->lineEdit();
        else
            return nullptr;
    }

    bool refuseTyping(QKeyEvent *event)
    {
        const QLineEdit *edit = lineEditPart();
        if (!edit || !typingExceedsLimit(*edit, *event, textFieldSize(fieldPos())))
            return false;
        event->accept();
        QApplication::beep();
        return true;
    }

    FieldDataLink *m_link;
    bool m_byProgram = false;
    bool m_leaving = false;
};
