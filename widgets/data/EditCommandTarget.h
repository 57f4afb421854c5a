#pragma once

class QWidget;

// The six edit commands of the main window act on whichever control has the
// keyboard focus; every data-aware text control answers them through this.
class EditCommandTarget
{
public:
    virtual ~EditCommandTarget() = default;

    virtual void editUndo() = 0;
    virtual void editCut() = 0;
    virtual void editCopy() = 0;
    virtual void editPaste() = 0;
    virtual void editSelectAll() = 0;
    // Sets the whole text to nothing, as a program does: the control's modified
    // flag clears and its undo empties.
    virtual void editClearAll() = 0;

    virtual bool editCanUndo() const = 0;
    virtual int editSelectionLength() const = 0;
    virtual bool editModified() const = 0;

    // The target for a focused widget: the widget itself or the control it is part
    // of (the text part of a combo box); nullptr when it is no text control of ours.
    static EditCommandTarget *forWidget(QWidget *widget);
};
