#pragma once

#include <QDialog>
#include <memory>

class PhraseList;

namespace Ui {
class TfrmPhrases;
}

// The Phrases dialog: the standard phrases, one a line. Every show fills it from
// the list, so Cancel needs no undo.
class TfrmPhrases : public QDialog
{
    Q_OBJECT
public:
    TfrmPhrases(QWidget *mainWindow, PhraseList &phrases);
    ~TfrmPhrases() override;

signals:
    // Save Phrases has replaced the list.
    void phrasesChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void btnOKClick();

    std::unique_ptr<Ui::TfrmPhrases> ui;
    QWidget *m_mainWindow;
    PhraseList &m_phrases;
};
