#include "settings/ui/MOXSelectDir.h"

#include "settings/ui/DialogFont.h"
#include "settings/ui/Drives.h"
#include "settings/ui/FolderRows.h"
#include "ui_MOXSelectDir.h"
#include "widgets/deco/DialogPlacement.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPerLevel = 8;

// Each folder stands indented by its depth below the drive's root.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(index.data(DepthRole).toInt() * IndentPerLevel, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(index.data(DepthRole).toInt() * IndentPerLevel, 0);
    }
};

} // namespace

TfrmSelectDir::TfrmSelectDir(QWidget *mainWindow, const QString &startFolder, std::unique_ptr<DriveSource> drives)
    : QDialog(mainWindow), ui(std::make_unique<Ui::TfrmSelectDir>()), m_mainWindow(mainWindow),
      m_drives(drives ? std::move(drives) : std::make_unique<SystemDrives>())
{
    takeDesignFont(this, mainWindow);
    ui->setupUi(this);
    setFixedSize(size());
    // No title-bar buttons: the dialog ends with OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ui->lbDirectories->setItemDelegate(new IndentDelegate(ui->lbDirectories));
    ui->lbDirectories->installEventFilter(this);
    connect(ui->cbbDrive, &QComboBox::activated, this, [this] { cbbDriveChange(); });
    connect(ui->lbDirectories, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { openRow(ui->lbDirectories->row(item)); });
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    QString start = nearestExistingFolder(QDir(startFolder).absolutePath());
    if (start.isEmpty())
        start = QDir::homePath();
    m_folder = start;
}

TfrmSelectDir::~TfrmSelectDir() = default;

void TfrmSelectDir::showEvent(QShowEvent *event)
{
    // Drives come and go while the program runs, and so do folders.
    fillDrives();
    QString folder = nearestExistingFolder(m_folder);
    showFolder(folder.isEmpty() ? QDir::homePath() : folder);
    ui->lbDirectories->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
    centreOver(this, m_mainWindow);
}

void TfrmSelectDir::fillDrives()
{
    ui->cbbDrive->clear();
    const QIcon disk = style()->standardIcon(QStyle::SP_DriveHDIcon);
    const QIcon home = style()->standardIcon(QStyle::SP_DirHomeIcon);
    for (const Drive &drive : m_drives->drives())
        ui->cbbDrive->addItem(drive.home ? home : disk, QDir::toNativeSeparators(drive.root), drive.root);
    // No drive is taken for granted: the folder shown picks its own.
    ui->cbbDrive->setCurrentIndex(-1);
}

int TfrmSelectDir::driveFor(const QString &folder) const
{
    // The drive shown keeps the folder while it holds it; otherwise the drive with
    // the longest root that holds the folder.
    const int shown = ui->cbbDrive->currentIndex();
    if (shown >= 0 && folderIsInside(folder, ui->cbbDrive->itemData(shown).toString()))
        return shown;
    int best = -1;
    for (int i = 0; i < ui->cbbDrive->count(); ++i) {
        const QString root = ui->cbbDrive->itemData(i).toString();
        if (folderIsInside(folder, root)
            && (best < 0 || root.size() > ui->cbbDrive->itemData(best).toString().size()))
            best = i;
    }
    return best;
}

void TfrmSelectDir::setDirectory(const QString &folder)
{
    const QString clean = nearestExistingFolder(QDir(folder).absolutePath());
    if (clean.isEmpty())
        return;
    m_folder = clean;
    if (isVisible())
        showFolder(m_folder);
}

void TfrmSelectDir::showFolder(const QString &folder)
{
    m_folder = folder;
    int drive = driveFor(folder);
    if (drive < 0) {
        // A folder on no listed drive still shows, from the top of its file system.
        ui->cbbDrive->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), QStringLiteral("/"), QStringLiteral("/"));
        drive = ui->cbbDrive->count() - 1;
    }
    ui->cbbDrive->setCurrentIndex(drive);
    const QString root = ui->cbbDrive->itemData(drive).toString();

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    ui->lbDirectories->clear();
    int current = 0;
    for (const FolderRow &row : folderRows(root, folder)) {
        auto *item = new QListWidgetItem(row.open ? open : closed, QDir::toNativeSeparators(row.name));
        item->setData(PathRole, row.path);
        item->setData(DepthRole, row.depth);
        ui->lbDirectories->addItem(item);
        if (row.path == folder)
            current = ui->lbDirectories->count() - 1;
    }
    ui->lbDirectories->setCurrentRow(current);

    const QString shown = QDir::toNativeSeparators(folder);
    ui->lblDirectory->setText(
        ui->lblDirectory->fontMetrics().elidedText(shown, Qt::ElideMiddle, ui->lblDirectory->width()));
    ui->lblDirectory->setToolTip(shown);
    ui->lblDirectory->setAccessibleName(shown);
}

void TfrmSelectDir::cbbDriveChange()
{
    const QString root = ui->cbbDrive->currentData().toString();
    if (!root.isEmpty())
        showFolder(root);
}

void TfrmSelectDir::openRow(int row)
{
    QListWidgetItem *item = ui->lbDirectories->item(row);
    if (!item)
        return;
    const QString folder = nearestExistingFolder(item->data(PathRole).toString());
    if (!folder.isEmpty())
        showFolder(folder);
}

bool TfrmSelectDir::eventFilter(QObject *watched, QEvent *event)
{
    // Enter opens the folder in the list instead of closing the dialog.
    if (watched == ui->lbDirectories && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openRow(ui->lbDirectories->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
