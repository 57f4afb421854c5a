#pragma once

#include <QDialog>

class QLabel;

// The notice shown when a file chosen on Open or Reopen is no catalogue that can
// be opened. Beneath the fixed sentence it names the file and the reason.
class TfrmCantOpen : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmCantOpen(QWidget *mainWindow);

    // Shows the notice modally, centred on the main window.
    void showFor(const QString &reason);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *m_mainWindow;
    QLabel *m_reason;
};
