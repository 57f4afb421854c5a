#include "settings/ui/MOXSettings.h"

#include "resources/MoxPictures.h"
#include "settings/ProgramSettings.h"
#include "settings/SortedTextList.h"
#include "settings/ui/DefinitionList.h"
#include "settings/ui/DialogFont.h"
#include "settings/ui/MOXInvalidPath.h"
#include "settings/ui/MOXSelectDir.h"
#include "ui_MOXSettings.h"
#include "widgets/deco/DialogPlacement.h"

#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QMessageBox>
#include <QTimer>

namespace {

// A folder that exists, named in full: a relative name would mean another folder
// whenever the program is started from elsewhere.
bool isExistingFolder(const QString &text)
{
    return !text.isEmpty() && QDir::isAbsolutePath(text) && QFileInfo(text).isDir();
}

void setBackground(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Base, color);
    w->setPalette(p);
}

} // namespace

TfrmSettings::TfrmSettings(QWidget *mainWindow, ProgramSettings &settings, PickList &types, PickList &statuses,
                           const QString &programFolder)
    : QDialog(mainWindow), ui(std::make_unique<Ui::TfrmSettings>()), m_mainWindow(mainWindow),
      m_settings(settings), m_types(types), m_statuses(statuses), m_programFolder(programFolder)
{
    takeDesignFont(this, mainWindow);
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    for (QToolButton *add : {ui->sbAddType, ui->sbAddStatus})
        add->setIcon(moxIcon(QStringLiteral("definition-add")));
    for (QToolButton *remove : {ui->sbDeleteType, ui->sbDeleteStatus})
        remove->setIcon(moxIcon(QStringLiteral("definition-remove")));
    ui->sbBrowse->setIcon(moxIcon(QStringLiteral("browse")));
    for (QFrame *border : {ui->pnlBorderType, ui->pnlBorderStatus})
        setBackground(border, Qt::black);
    for (QWidget *field : {static_cast<QWidget *>(ui->pnlBGType), static_cast<QWidget *>(ui->pnlBGStatus),
                           static_cast<QWidget *>(ui->edtType), static_cast<QWidget *>(ui->edtStatus)})
        setBackground(field, Qt::white);

    m_typeDefs = new DefinitionList({ui->lbTypes, ui->pnlBorderType, ui->pnlBGType, ui->edtType, ui->sbAddType,
                                     ui->sbDeleteType},
                                    this);
    m_statusDefs = new DefinitionList({ui->lbStatus, ui->pnlBorderStatus, ui->pnlBGStatus, ui->edtStatus,
                                       ui->sbAddStatus, ui->sbDeleteStatus},
                                      this);

    connect(ui->cbbPathDefs, &QComboBox::activated, this, [this] { cbbPathDefsClick(); });
    connect(ui->sbBrowse, &QToolButton::clicked, this, [this] { sbBrowseClick(); });
    connect(ui->cbStartWithPaths, &QCheckBox::clicked, this, [this] { cbStartWithPathsClick(); });
    connect(ui->btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    ui->edtPaths->installEventFilter(this);
    // A press that follows a refused folder must not reach its target.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

TfrmSettings::~TfrmSettings() = default;

void TfrmSettings::setPathDialogs(TfrmInvalidPath *invalidPath, TfrmSelectDir *selectDir)
{
    m_invalidPath = invalidPath;
    m_selectDir = selectDir;
    // They open over this dialog, and it gets the keyboard back when they close.
    for (QDialog *over : {static_cast<QDialog *>(invalidPath), static_cast<QDialog *>(selectDir)}) {
        if (over)
            over->setParent(this, over->windowFlags());
    }
}

void TfrmSettings::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
    centreOver(this, m_mainWindow);
}

void TfrmSettings::FormShow()
{
    m_filling = true;
    m_typeDefs->fill(m_types.items());
    m_statusDefs->fill(m_statuses.items());

    ui->cbRememberPaths->setChecked(m_settings.KeepPaths);
    ui->cbStartWithPaths->setChecked(m_settings.InitPaths);
    cbStartWithPathsClick();

    ui->cbSaveInterface->setChecked(m_settings.SaveInterface);
    ui->cbSaveRecPos->setChecked(m_settings.SaveRecNo);
    ui->cbSaveDirect->setChecked(!m_settings.SaveToCache);

    ui->cbbPathDefs->setCurrentIndex(0);
    m_boundTask = 0;
    ui->edtPaths->setText(m_settings.SpecifiedPaths[PathTask::OpenArchive]);
    ui->cbRememberPaths->setFocus(Qt::OtherFocusReason);
    m_filling = false;
}

void TfrmSettings::cbStartWithPathsClick()
{
    const bool on = ui->cbStartWithPaths->isChecked();
    ui->cbbPathDefs->setEnabled(on);
    ui->edtPaths->setEnabled(on);
    ui->sbBrowse->setEnabled(on);
}

void TfrmSettings::cbbPathDefsClick()
{
    const int task = ui->cbbPathDefs->currentIndex();
    if (task >= 0 && task < PathTaskCount) {
        ui->edtPaths->setText(m_settings.SpecifiedPaths[PathTask(task)]);
        m_boundTask = task;
    } else {
        ui->edtPaths->clear();
        m_boundTask = -1;
    }
}

void TfrmSettings::edtPathsExit()
{
    const QString t = ui->edtPaths->text();
    const bool bound = m_boundTask >= 0 && m_boundTask < PathTaskCount;
    if (isExistingFolder(t)) {
        if (bound && t != m_settings.SpecifiedPaths[PathTask(m_boundTask)])
            m_settings.SpecifiedPaths[PathTask(m_boundTask)] = t;
        return;
    }
    if (bound && t.isEmpty()) {
        m_settings.SpecifiedPaths[PathTask(m_boundTask)] = m_programFolder;
        ui->edtPaths->setText(m_programFolder);
        return;
    }
    if (m_invalidPath)
        m_invalidPath->exec();
    else
        QMessageBox::warning(this, QStringLiteral("Invalid path"), QStringLiteral("Please enter a valid path."));
    refuseLeaving();
}

void TfrmSettings::refuseLeaving()
{
    activateWindow();
    ui->edtPaths->setFocus(Qt::OtherFocusReason);
    m_leaveRefused = true;
    // Whatever took the focus finishes its event first; the next one is free again.
    QTimer::singleShot(0, this, [this] { m_leaveRefused = false; });
}

void TfrmSettings::sbBrowseClick()
{
    if (!m_selectDir)
        return;
    const QString typed = ui->edtPaths->text();
    if (isExistingFolder(typed))
        m_selectDir->setDirectory(typed);
    if (m_selectDir->exec() == QDialog::Accepted)
        ui->edtPaths->setText(m_selectDir->directory());
    activateWindow();
    ui->edtPaths->setFocus(Qt::OtherFocusReason);
}

void TfrmSettings::btnOKClick()
{
    // Save takes the focus first, so an open editor or a typed folder is committed;
    // a folder refused keeps the dialog open.
    m_leaveRefused = false;
    ui->btnOK->setFocus(Qt::OtherFocusReason);
    m_typeDefs->commitEditor();
    m_statusDefs->commitEditor();
    if (std::exchange(m_leaveRefused, false))
        return;

    m_settings.KeepPaths = ui->cbRememberPaths->isChecked();
    m_settings.InitPaths = ui->cbStartWithPaths->isChecked();
    for (int task = 0; task < PathTaskCount; ++task) {
        if (m_settings.SpecifiedPaths[PathTask(task)].isEmpty())
            m_settings.SpecifiedPaths[PathTask(task)] = m_programFolder;
    }
    if (m_settings.InitPaths)
        m_settings.CurrentPaths = m_settings.SpecifiedPaths;

    m_types.clear();
    for (const QString &entry : m_typeDefs->entries())
        m_types.add(entry);
    m_statuses.clear();
    for (const QString &entry : m_statusDefs->entries())
        m_statuses.add(entry);

    m_settings.SaveInterface = ui->cbSaveInterface->isChecked();
    m_settings.SaveRecNo = ui->cbSaveRecPos->isChecked();
    m_settings.SaveToCache = !ui->cbSaveDirect->isChecked();
    emit definitionsSaved();
    accept();
}

bool TfrmSettings::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == ui->edtPaths && !m_filling && isVisible()) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                edtPathsExit();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (std::exchange(m_leaveRefused, false))
            return true;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
