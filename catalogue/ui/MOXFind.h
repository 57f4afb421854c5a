#pragma once

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class TfrmFind;
}

// The Find dialog: the text to look for and the fields to look in, with Find and Find
// Next. Modeless, a tool window of the main window, so it stays above it and goes with
// it; made once, and Cancel, Escape and the close box only hide it, so its text and
// check marks last for the run.
class TfrmFind : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmFind(QWidget *mainWindow);
    ~TfrmFind() override;

    QString findText() const;
    // The checked fields (catalogue field positions), in the order Archive, Product, Origin.
    std::vector<int> checkedFields() const;

signals:
    void findClicked();
    void nextClicked();

private:
    std::unique_ptr<Ui::TfrmFind> m_ui;
};
