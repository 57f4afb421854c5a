#include "catalogue/ui/MOXNotFound.h"

#include "widgets/deco/DialogPlacement.h"
#include "widgets/deco/PictureBox.h"

#include <QLabel>
#include <algorithm>
#include <QPushButton>

namespace {
constexpr int Height = 85;
constexpr int MessageTop = 18;
constexpr int ButtonTop = 52;
constexpr int ButtonHeight = 25;
} // namespace

TfrmNotFound::TfrmNotFound(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmNotFound"));
    // The main window's font, for which the notice's measures are drawn.
    if (mainWindow)
        setFont(mainWindow->font());
    setWindowTitle(QStringLiteral("Item not found"));
    setModal(true);
    m_picture = new PictureBox(QStringLiteral("not-found"), this);
    m_picture->move(8, 10);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    // The text looked for is shown as typed, never read as markup.
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->move(MessageLeft, MessageTop);
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    m_ok->setGeometry((DesignWidth - ButtonWidth) / 2, ButtonTop, ButtonWidth, ButtonHeight);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(DesignWidth, Height);
}

void TfrmNotFound::prepareFor(const QString &text)
{
    // Centred by the width the notice has before it is sized for this text, as it was
    // always placed.
    if (m_mainWindow)
        move(centredOver(m_mainWindow->frameGeometry(), frameGeometry().size()));
    lblMessage->setText(QStringLiteral("\"%1\" not found.").arg(text));
    const int labelWidth = lblMessage->fontMetrics().horizontalAdvance(lblMessage->text());
    lblMessage->resize(labelWidth, lblMessage->sizeHint().height());
    const int innerWidth = std::max(labelWidth + Margin, DesignWidth);
    setFixedSize(innerWidth, Height);
    m_ok->move((innerWidth - ButtonWidth) / 2, ButtonTop);
}

void TfrmNotFound::showFor(const QString &text)
{
    prepareFor(text);
    exec();
}
