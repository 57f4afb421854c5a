#include "catalogue/ui/MOXCantOpen.h"

#include "widgets/deco/DialogPlacement.h"
#include "widgets/deco/PictureBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmCantOpen::TfrmCantOpen(QWidget *mainWindow) : QDialog(mainWindow), m_mainWindow(mainWindow)
{
    setWindowTitle(QStringLiteral("Can't open database"));
    setModal(true);
    auto *picture = new PictureBox(QStringLiteral("folder"), this);
    auto *text = new QLabel(QStringLiteral("Sorry, MOX can't open this database."), this);
    m_reason = new QLabel(this);
    m_reason->setWordWrap(true);
    m_reason->setTextFormat(Qt::PlainText);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->setMinimumWidth(260);
    m_reason->setMaximumWidth(420);
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(m_reason);
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmCantOpen::showFor(const QString &reason)
{
    m_reason->setText(reason);
    m_reason->setVisible(!reason.isEmpty());
    adjustSize();
    exec();
}

void TfrmCantOpen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOver(this, m_mainWindow);
}
