#include "settings/ui/MOXPhrases.h"

#include "settings/PhraseText.h"
#include "settings/SortedTextList.h"
#include "settings/ui/DialogFont.h"
#include "ui_MOXPhrases.h"
#include "widgets/deco/DialogPlacement.h"

TfrmPhrases::TfrmPhrases(QWidget *mainWindow, PhraseList &phrases)
    : QDialog(mainWindow), ui(std::make_unique<Ui::TfrmPhrases>()), m_mainWindow(mainWindow), m_phrases(phrases)
{
    takeDesignFont(this, mainWindow);
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ui->btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmPhrases::~TfrmPhrases() = default;

void TfrmPhrases::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
    centreOver(this, m_mainWindow);
}

void TfrmPhrases::FormShow()
{
    ui->memPhrases->setPlainText(phrasesAsText(m_phrases));
    ui->memPhrases->document()->setModified(false);
    ui->memPhrases->setFocus(Qt::OtherFocusReason);
}

void TfrmPhrases::btnOKClick()
{
    if (ui->memPhrases->document()->isModified()) {
        // The raw text keeps what plain text would change (non-breaking blanks).
        replacePhrases(m_phrases, phraseLines(ui->memPhrases->document()->toRawText()));
        emit phrasesChanged();
    }
    accept();
}
