#include "widgets/data/DBMemo.h"

#include <QTextCursor>

DBMemo::DBMemo(QWidget *parent) : DataControl(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onTextChanged);
}

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
    setByProgram([&] {
        setPlainText(text);
        document()->setModified(false);
    });
}

void DBMemo::load()
{
    const QString text = link()->value().toString();
    const bool differs = text != toPlainText();
    setWhole(text);
    if (differs)
        emit changed(false);
}

void DBMemo::setText(const QString &text)
{
    const QString before = toPlainText();
    setWhole(text);
    if (text != before && !store(text))
        return;
    emit changed(false);
}

void DBMemo::onTextChanged()
{
    if (settingByProgram() || !store(toPlainText()))
        return;
    // Undoing back to the loaded text is still the user's change.
    document()->setModified(true);
    emit changed(true);
}
