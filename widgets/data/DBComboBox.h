#pragma once

#include "widgets/data/EditCommandTarget.h"

#include <QComboBox>

class DataSource;
class FieldDataLink;

// Combo box with editable text bound to a text field, over a pick list that is its
// own item list, kept sorted without regard to case. Picking or typing changes the
// record as typing in a DBEdit does; adding to the pick list never changes the text.
class DBComboBox : public QComboBox, public EditCommandTarget
{
    Q_OBJECT
public:
    static constexpr int ItemHeight = 13;

    explicit DBComboBox(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    void setFieldPos(int pos);
    int fieldPos() const;

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

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool refuseTyping(QKeyEvent *event);
    void load();
    void updateEditable();
    void onTextChanged(const QString &text);
    template <typename Change> void keepingText(Change &&change);

    FieldDataLink *m_link;
    bool m_loading = false;
    bool m_leaving = false; // inside the focus-out handling
    int m_typingLimit = 0;
};
