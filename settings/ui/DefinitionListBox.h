#pragma once

#include <QListWidget>

// The list box of a definition list: one entry at most selected, rows of the
// design's height. It tells apart what the user does from what the program does:
// only a click on an entry or a selection moved with the keyboard is announced.
class DefinitionListBox : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int RowHeight = 13;

    explicit DefinitionListBox(QWidget *parent = nullptr);

    // The selected position, -1 for none.
    int selectedRow() const;
    // Selects a position (-1: none) as the program does: nothing is announced.
    void selectRow(int row);

signals:
    void entryChosen();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
};
