#pragma once

#include "settings/TextCompare.h"

#include <QObject>
#include <QStringList>

class DefinitionListBox;
class QAbstractButton;
class QFrame;
class QLineEdit;

// One definition list of the settings dialog (the types or the statuses): the list
// box, kept sorted without regard to case, its in-place editor on a white field in
// a black frame, and the add and remove buttons. The dialog has two of these.
class DefinitionList : public QObject
{
    Q_OBJECT
public:
    struct Controls {
        DefinitionListBox *list;
        QFrame *border;    // the black frame
        QFrame *field;     // the white field inside it
        QLineEdit *edit;   // the in-place editor inside the field
        QAbstractButton *add;
        QAbstractButton *remove;
    };
    explicit DefinitionList(const Controls &controls, QObject *parent = nullptr);

    // The entries in list order; nothing selected, no editor open.
    void fill(const QStringList &entries);
    QStringList entries() const;
    bool editorOpen() const;

    // The user clicked an entry or moved the selection: edit the selected entry.
    void listClick();
    // The editor lost the focus: its text takes its place in the list.
    void editExit();
    void addClick();
    void removeClick();
    // Gives the list the focus, which commits an open editor.
    void closeEditor();
    // Commits the editor if it is open, wherever the focus is.
    void commitEditor();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where an entry equal to the text without regard to case stands; -1 for none.
    int find(const QString &text) const;
    // Adds an entry at its sorted place; returns that place.
    int insertSorted(const QString &text);
    bool editKeyDown(int key);

    Controls m_c;
    TextOrder m_order;
    bool m_committing = false;
    int m_committedRow = -1; // where the last commit left the edited entry; -1: removed
};
