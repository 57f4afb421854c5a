#include "widgets/data/DBEdit.h"

DBEdit::DBEdit(QWidget *parent) : DataControl(parent)
{
    // Edited comes before changed: undoing back to the loaded text still counts as
    // the user's change.
    connect(this, &QLineEdit::textEdited, this, [this] { setModified(true); });
    connect(this, &QLineEdit::textChanged, this, &DBEdit::onTextChanged);
}

void DBEdit::load()
{
    const QString text = link()->value().toString();
    const bool differs = text != this->text();
    // Also when equal: the undo of another record must not survive.
    setByProgram([&] { setText(text); });
    if (differs)
        emit changed(false);
}

void DBEdit::onTextChanged(const QString &text)
{
    if (settingByProgram() || !store(text))
        return;
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
