#pragma once

#include "widgets/data/EditCommandTarget.h"

#include <QPlainTextEdit>

class DataSource;
class FieldDataLink;

// Multi-line plain-text edit bound to a memo field; behaves as DBEdit does.
class DBMemo : public QPlainTextEdit, public EditCommandTarget
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    void setFieldPos(int pos);
    int fieldPos() const;

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

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load();
    void setWhole(const QString &text);
    void updateEditable();
    void onTextChanged();

    FieldDataLink *m_link;
    bool m_loading = false;
};
