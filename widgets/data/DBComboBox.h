#pragma once

#include "widgets/data/DataControl.h"
#include "widgets/data/EditCommandTarget.h"

#include <QComboBox>

// Combo box with editable text bound to a text field, over a pick list that is its
// own item list, kept sorted without regard to case. Picking or typing changes the
// record as typing in a DBEdit does; adding to the pick list never changes the text.
class DBComboBox : public DataControl<DBComboBox, QComboBox>, public EditCommandTarget
{
    Q_OBJECT
public:
    static constexpr int ItemHeight = 13;

    explicit DBComboBox(QWidget *parent = nullptr);

    // The pick list.
    int addPickItem(const QString &item);             // its sorted place
    void setPickItems(const QStringList &items);
    void clearPickItems();
    QStringList pickItems() const;
    int findPickItem(const QString &item, Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;

    QString text() const;
    bool isModified() const;
    bool isUndoAvailable() const;
    int selectionLength() const;

    void editUndo() override;
    void editCut() override;
    void editCopy() override;
    void editPaste() override;
    void editSelectAll() override;
    void editClearAll() override;
    bool editCanUndo() const override { return isUndoAvailable(); }
    int editSelectionLength() const override { return selectionLength(); }
    bool editModified() const override { return isModified(); }

signals:
    // The text changed by the user: typed, picked from the list, or an edit command.
    void changed();
    void keyReleased();
    void exited();
    void errorRaised(const QString &message);

private:
    void load() override;
    void onTextChanged(const QString &text);
    template <typename Change> void keepingText(Change &&change);
};
