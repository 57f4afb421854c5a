#pragma once

#include "widgets/data/DataControl.h"
#include "widgets/data/EditCommandTarget.h"

#include <QPlainTextEdit>

// Multi-line plain-text edit bound to a memo field; behaves as DBEdit does.
class DBMemo : public DataControl<DBMemo, QPlainTextEdit>, public EditCommandTarget
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);

    // Sets the whole text as a program does (modified flag clear, undo empty) and
    // writes it into the record.
    void setText(const QString &text);
    QString text() const { return toPlainText(); }
    bool isModified() const;
    bool isUndoAvailable() const;
    int selectionLength() const;

    void editUndo() override { undo(); }
    void editCut() override { cut(); }
    void editCopy() override { copy(); }
    void editPaste() override { paste(); }
    void editSelectAll() override { selectAll(); }
    void editClearAll() override { setText(QString()); }
    bool editCanUndo() const override { return isUndoAvailable(); }
    int editSelectionLength() const override { return selectionLength(); }
    bool editModified() const override { return isModified(); }

signals:
    void changed(bool modified);
    void keyReleased();
    void mouseReleased();
    void exited();
    void errorRaised(const QString &message);

private:
    void load() override;
    void setWhole(const QString &text);
    void onTextChanged();
};
