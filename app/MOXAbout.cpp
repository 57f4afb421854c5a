#include "app/MOXAbout.h"

#include "widgets/deco/CreditsPanel.h"
#include "widgets/deco/EmbossedLabel.h"
#include "widgets/deco/PictureBox.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

const QString MailAddress = QStringLiteral("moxarium@example.invalid");

} // namespace

TfrmAbout::TfrmAbout(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                              | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Velora"));
    setFixedSize(ClientWidth, ClientHeight);

    m_pnlAbout = new QFrame(this);
    m_pnlAbout->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pnlAbout->setGeometry(6, 6, 270, 216);

    m_lblTitle = new EmbossedLabel(QStringLiteral("Moxarium"), m_pnlAbout);
    m_lblTitle->setFont(EmbossedLabel::serifFont(21));
    m_lblTitle->setColors(QColor(192, 192, 192), Qt::white, QColor(64, 64, 64));
    m_lblTitle->setGeometry(4, 4, 262, 30);

    m_lblVersion = new QLabel(QStringLiteral("Version 1.0"), m_pnlAbout);
    m_lblVersion->setGeometry(10, 36, 96, 14);

    m_lblText = new QLabel(tr("A catalogue of your\ncomponent archives."), m_pnlAbout);
    m_lblText->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_lblText->setGeometry(108, 36, 152, 28);

    m_imgAbout = new PictureBox(QStringLiteral("about"), m_pnlAbout);
    m_imgAbout->setObjectName(QStringLiteral("imgAbout"));
    m_imgAbout->setAccessibleName(tr("Picture"));
    m_imgAbout->setGeometry(10, 65, 249, 115);
    connect(m_imgAbout, &PictureBox::doubleClicked, this, &TfrmAbout::imgAboutDblClick);

    m_lblFreeware = new QLabel(tr("Questions and remarks are welcome:"), m_pnlAbout);
    m_lblFreeware->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblFreeware->setGeometry(4, 182, 262, 14);

    m_lblMail = new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(MailAddress), m_pnlAbout);
    m_lblMail->setObjectName(QStringLiteral("lblMail"));
    m_lblMail->setAccessibleName(MailAddress);
    m_lblMail->setTextFormat(Qt::RichText);
    m_lblMail->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_lblMail->setOpenExternalLinks(true);
    m_lblMail->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblMail->setGeometry(4, 197, 262, 14);

    // Covers the picture and the two lines beneath it while it rolls.
    m_pnlCredits = new CreditsPanel(m_pnlAbout);
    m_pnlCredits->setObjectName(QStringLiteral("pnlCredits"));
    m_pnlCredits->setGeometry(10, 65, 249, 146);
    m_pnlCredits->setLines({
        QStringLiteral("Moxarium"),
        QStringLiteral("Version 1.0"),
        QString(),
        tr("Design and programming"),
        tr("The Moxarium developers"),
        QString(),
        tr("Pictures"),
        tr("Drawn for Moxarium"),
        QString(),
        tr("Testing"),
        tr("Everyone who catalogued"),
        tr("one archive too many"),
        QString(),
        tr("Thank you for using Moxarium!"),
    });
    connect(m_pnlCredits, &CreditsPanel::doubleClicked, this, &TfrmAbout::imgAboutDblClick);

    m_btnOK = new QPushButton(tr("&OK"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setGeometry(6, 227, 270, 25);
    m_btnOK->setDefault(true);
    connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

QPoint TfrmAbout::centredTopLeft(const QRect &mainFrame, const QSize &ownSize)
{
    // C++ integer division truncates toward zero, as the rule wants.
    return {mainFrame.left() + (mainFrame.width() - ownSize.width()) / 2,
            mainFrame.top() + (mainFrame.height() - ownSize.height()) / 2};
}

bool TfrmAbout::creditsRunning() const
{
    return m_pnlCredits->isRunning();
}

bool TfrmAbout::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        stopCredits();
    return QDialog::event(event);
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        // A box shown again starts with its picture, as an activation would leave it.
        stopCredits();
        if (m_mainWindow)
            move(centredTopLeft(m_mainWindow->frameGeometry(), frameGeometry().size()));
    }
    QDialog::showEvent(event);
}

void TfrmAbout::imgAboutDblClick(Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::AltModifier))
        return;
    if (creditsRunning())
        stopCredits();
    else
        startCredits();
}

void TfrmAbout::startCredits()
{
    m_imgAbout->hide();
    m_lblFreeware->hide();
    m_lblMail->hide();
    m_pnlCredits->start();
}

void TfrmAbout::stopCredits()
{
    m_pnlCredits->stop();
    m_imgAbout->show();
    m_lblFreeware->show();
    m_lblMail->show();
}
