#include "catalogue/ui/MOXFind.h"

#include "catalogue/CatalogueSchema.h"

#include "ui_MOXFind.h"

namespace S = CatalogueSchema;

TfrmFind::TfrmFind(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::TfrmFind>())
{
    // The main window's font, for which the layout is drawn.
    if (mainWindow)
        setFont(mainWindow->font());
    m_ui->setupUi(this);
    setFixedSize(size());
    connect(m_ui->btnFind, &QPushButton::clicked, this, &TfrmFind::findClicked);
    connect(m_ui->btnNext, &QPushButton::clicked, this, &TfrmFind::nextClicked);
    // Hiding is all Cancel does: Escape and the close box reject, which hides too.
    connect(m_ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmFind::~TfrmFind() = default;

QString TfrmFind::findText() const
{
    return m_ui->edtFindText->text();
}

std::vector<int> TfrmFind::checkedFields() const
{
    std::vector<int> fields;
    if (m_ui->cbArchive->isChecked())
        fields.push_back(S::Archive);
    if (m_ui->cbProduct->isChecked())
        fields.push_back(S::Product);
    if (m_ui->cbOrigin->isChecked())
        fields.push_back(S::Origin);
    return fields;
}
