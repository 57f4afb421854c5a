#include "catalogue/ui/MOXDeleteRecord.h"

#include "widgets/deco/DialogPlacement.h"
#include "widgets/deco/PictureBox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmDelete::TfrmDelete(QWidget *mainWindow)
    : QDialog(mainWindow), m_mainWindow(mainWindow)
{
    setWindowTitle(QStringLiteral("Delete record"));
    // No close box: the question is answered with one of the two buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto *picture = new PictureBox(QStringLiteral("delete-record"), this);
    auto *text = new QLabel(QStringLiteral("Are you sure you want to delete this record?"), this);
    auto *yes = new QPushButton(QStringLiteral("&Yes"), this);
    auto *no = new QPushButton(QStringLiteral("&No"), this);
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(text, 1, Qt::AlignVCenter);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmDelete::confirm()
{
    return exec() == QDialog::Accepted;
}

void TfrmDelete::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOver(this, m_mainWindow);
}

void TfrmDelete::keyPressEvent(QKeyEvent *event)
{
    // Escape answers No, as the dialog has no close box.
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
