#include "settings/ui/MOXInvalidPath.h"

#include "resources/MoxPictures.h"
#include "settings/ui/DialogFont.h"
#include "ui_MOXInvalidPath.h"
#include "widgets/deco/DialogPlacement.h"

TfrmInvalidPath::TfrmInvalidPath(QWidget *mainWindow)
    : QDialog(mainWindow), ui(std::make_unique<Ui::TfrmInvalidPath>()), m_mainWindow(mainWindow)
{
    takeDesignFont(this, mainWindow);
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ui->imgFolder->setPixmap(moxPixmap(QStringLiteral("folder"), QSize(32, 32), devicePixelRatioF()));
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmInvalidPath::~TfrmInvalidPath() = default;

void TfrmInvalidPath::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOver(this, m_mainWindow);
}
