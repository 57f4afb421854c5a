#pragma once

#include <QDialog>

// The confirmation before a record is deleted: Yes deletes, No keeps it.
class TfrmDelete : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmDelete(QWidget *mainWindow);

    // Shows the dialog modally, centred on the main window; true for Yes.
    bool confirm();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *m_mainWindow;
};
