#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmInvalidPath;
}

// The notice that a folder typed in the settings dialog does not exist.
class TfrmInvalidPath : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmInvalidPath(QWidget *mainWindow);
    ~TfrmInvalidPath() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TfrmInvalidPath> ui;
    QWidget *m_mainWindow;
};
