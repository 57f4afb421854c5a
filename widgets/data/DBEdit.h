#pragma once

#include "widgets/data/DataControl.h"
#include "widgets/data/EditCommandTarget.h"

#include <QLineEdit>

// One-line edit bound to a text field. It shows the current record's value; what
// the user types goes straight into the record being edited (editing starts with
// the first change). A text set as a whole (a record loaded, setText, Clear All)
// leaves the modified flag clear and the undo empty; a user change sets the flag.
class DBEdit : public DataControl<DBEdit, QLineEdit>, public EditCommandTarget
{
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);

    void editUndo() override { undo(); }
    void editCut() override { cut(); }
    void editCopy() override { copy(); }
    void editPaste() override { paste(); }
    void editSelectAll() override { selectAll(); }
    void editClearAll() override;
    bool editCanUndo() const override { return isUndoAvailable(); }
    int editSelectionLength() const override { return selectionLength(); }
    bool editModified() const override { return isModified(); }

signals:
    // Every change of the text, by the user or by a whole-text set; `modified` is
    // the control's own modified flag.
    void changed(bool modified);
    void keyReleased();
    void mouseReleased();
    void exited();           // the focus left the control (not for a pop-up menu)
    void errorRaised(const QString &message);

private:
    void load() override;
    void onTextChanged(const QString &text);
};
