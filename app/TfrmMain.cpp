#include "app/TfrmMain.h"

#include "app/CommandState.h"
#include "app/ErrorReport.h"
#include "app/FileCommands.h"
#include "app/ImageCommands.h"
#include "app/FindCommands.h"
#include "app/MainLayout.h"
#include "app/MOXAbout.h"
#include "app/OriginLink.h"
#include "app/PhraseCommands.h"
#include "app/RecordEditing.h"
#include "app/SettingsBinding.h"
#include "app/SettingsCommands.h"
#include "app/StartupShutdown.h"
#include "app/StatusPanels.h"
#include "app/ViewSwitch.h"
#include "catalogue/DataSource.h"
#include "catalogue/ui/MOXCantOpen.h"
#include "catalogue/ui/MOXDeleteRecord.h"
#include "catalogue/ui/MOXFind.h"
#include "catalogue/ui/MOXNotFound.h"
#include "settings/Recent.h"
#include "settings/SettingsFile.h"
#include "settings/ui/MOXInvalidPath.h"
#include "settings/ui/MOXPhrases.h"
#include "settings/ui/MOXSelectDir.h"
#include "settings/ui/MOXSettings.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTimer>

namespace {
constexpr int OrderPollMs = 15;
}

TfrmMain::TfrmMain(const QString &programFolder, FileDialogs *fileDialogs, QWidget *parent)
    : TfrmMain(ProgramFolders::beside(programFolder), fileDialogs, parent)
{
}

TfrmMain::TfrmMain(const ProgramFolders &folders, FileDialogs *fileDialogs, QWidget *parent)
    : QMainWindow(parent), m_programFolder(folders.dataFolder)
{
    if (!m_programFolder.endsWith(u'/'))
        m_programFolder += u'/';
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Moxarium"));
    applyFont();
    m_settingsFile = std::make_unique<SettingsFile>(m_programFolder, folders.settingsFolder);

    dsContents = new DataSource(&tblContents, this);
    // A large catalogue shows its first rows at once and its order list is read on a
    // thread of its own; once it is in, the count and the record numbers show.
    m_orderPoll = new QTimer(this);
    m_orderPoll->setInterval(OrderPollMs);
    connect(m_orderPoll, &QTimer::timeout, this, [this] {
        // Not before the window is painted: the first call starts the read, whose disk
        // and processor time the first paint should not share.
        if (isVisible() && !m_painted)
            return;
        if (!tblContents.orderPending()) {
            m_orderPoll->stop();
            return;
        }
        ErrorReport::guarded(this, [this] {
            if (tblContents.takeReadOrder()) {
                m_orderPoll->stop();
                m_commands->ShowRecordNumber();
            }
        });
    });
    const auto pollWhilePending = [this] {
        if (tblContents.orderPending() && !m_orderPoll->isActive())
            m_orderPoll->start();
    };
    connect(dsContents, &DataSource::activeChanged, this, pollWhilePending);
    connect(dsContents, &DataSource::dataSetChanged, this, pollWhilePending);
    mnuMRU = new TRecentlist(m_programFolder, this);
    mnuMRU->setDefaultExt(QStringLiteral("zip"));
    mnuMRU->setHidepath(false);
    mnuMRU->setHideExt(false);

    m_form.setupUi(this, dsContents, mnuMRU);
    MainForm &f = m_form;
    m_commands = std::make_unique<CommandState>(
        tblContents,
        CommandState::Groups{{f.ItmSave},
                             {f.ItmUndo, f.Itm_Undo},
                             {f.ItmCut, f.Itm_Cut, f.ItmCopy, f.Itm_Copy},
                             {f.ItmPaste, f.Itm_Paste},
                             {f.ItmSelectAll, f.Itm_SelectAll, f.ItmClearAll, f.Itm_ClearAll}},
        *f.stsMOX);
    m_editing = std::make_unique<RecordEditing>(RecordEditing::Parts{
        *this, tblContents, m_session, m_form, *m_commands, programSettings, *fileDialogs, m_typeList,
        m_statusList});
    // A record shown at a provisional place learns its number, whatever brought it.
    connect(dsContents, &DataSource::renumbered, this, [this] { m_commands->ShowRecordNumber(); });
    m_views = std::make_unique<ViewSwitch>(
        ViewSwitch::Parts{*this, tblContents, m_form, *m_commands, programSettings, *m_editing});
    m_files = std::make_unique<FileCommands>(FileCommands::Parts{
        *this, tblContents, m_session, m_form, *m_commands, programSettings, *fileDialogs, *mnuMRU});
    m_settingsCommands = std::make_unique<SettingsCommands>(SettingsCommands::Parts{m_form, m_typeList, m_statusList});
    m_phraseCommands = std::make_unique<PhraseCommands>(PhraseCommands::Parts{*this, tblContents, m_form, m_phrases});
    m_find = std::make_unique<FindCommands>(FindCommands::Parts{*this, tblContents, m_form, programSettings});
    m_binding = std::make_unique<SettingsBinding>(
        SettingsBinding::Parts{*this, tblContents, *f.grdContents, m_typeList, m_statusList, m_phrases, *mnuMRU,
                               *f.pnlToolbar, *f.stsMOX, m_settingsFile->fileName()});
    m_life = std::make_unique<StartupShutdown>(StartupShutdown::Parts{
        *this, tblContents, m_session, m_form, *m_commands, programSettings, *m_settingsFile, *m_binding,
        m_typeList, m_statusList, m_phrases, *m_editing, *m_views, *m_files, *m_phraseCommands,
        [this] { FormResize(); }});
    m_images = std::make_unique<ImageCommands>(
        ImageCommands::Parts{*this, tblContents, m_form, programSettings, *fileDialogs}, this);
    m_originLink = std::make_unique<OriginLink>(*f.edtOrigin, this);

    m_editing->connectTable();
    connectControls();
    m_form.client->installEventFilter(this);
    resize(640, 480);
}

TfrmMain::~TfrmMain()
{
    // Everything bound to the table goes before it: the controls, then the data
    // source, which would otherwise outlive the member table as a child object.
    delete m_form.client;
    m_form.client = nullptr;
    delete dsContents;
    dsContents = nullptr;
    tblContents.close();
}

void TfrmMain::applyFont()
{
    // The design's font where it exists; else a sans of the same metrics as the
    // Windows one, so the captions fit the design's boxes; else the platform's sans.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    for (const char *family : {"MS Sans Serif", "Liberation Sans", "Arial"}) {
        const QFont candidate(QString::fromLatin1(family));
        if (QFontInfo(candidate).family().compare(QLatin1String(family), Qt::CaseInsensitive) == 0) {
            font = candidate;
            break;
        }
    }
    font.setPointSize(8);
    setFont(font);
}

void TfrmMain::connectControls()
{
    m_files->connectControls();
    connect(m_form.ItmExit, &QAction::triggered, this, [this] { m_life->ItmExitClick(); });
    m_views->connectControls();
    connect(m_form.ItmAbout, &QAction::triggered, this, &TfrmMain::ItmAboutClick);
    m_editing->connectControls();
    m_images->connectControls();
    m_originLink->connectControls();
    m_settingsCommands->connectControls();
    m_phraseCommands->connectControls();
    m_find->connectControls();
}

void TfrmMain::FormCreate()
{
    m_life->FormCreate();
}

void TfrmMain::FormDestroy()
{
    m_life->FormDestroy();
}

void TfrmMain::createDialogs()
{
    // Created once, in this order, and kept until the program ends.
    m_form.frmSettings = new TfrmSettings(this, programSettings, m_typeList, m_statusList, m_programFolder);
    m_form.frmDelete = new TfrmDelete(this);
    m_form.frmAbout = new TfrmAbout(this);
    m_form.frmPhrases = new TfrmPhrases(this, m_phrases);
    m_form.frmInvalidPath = new TfrmInvalidPath(this);
    m_form.frmSelectDir = new TfrmSelectDir(this, m_programFolder);
    m_form.frmSettings->setPathDialogs(m_form.frmInvalidPath, m_form.frmSelectDir);
    m_form.frmFind = new TfrmFind(this);
    m_find->findDialogCreated();
    m_form.frmCantOpen = new TfrmCantOpen(this);
    m_form.frmNotFound = new TfrmNotFound(this);
    m_settingsCommands->connectDialog();
    m_phraseCommands->connectDialog();
}

const QString &TfrmMain::startupMessages() const
{
    return m_life->startupMessages();
}

void TfrmMain::setShowStartupMessages(bool show)
{
    m_life->setShowStartupMessages(show);
}

TfrmMain::TestSeam TfrmMain::testSeam()
{
    return {tblContents, *m_commands, programSettings, *mnuMRU, *m_find};
}

void TfrmMain::ItmAboutClick()
{
    if (m_form.frmAbout)
        m_form.frmAbout->exec();
}

void TfrmMain::FormResize()
{
    MainForm &f = m_form;
    const MainLayout l = MainLayout::forClient(f.client->width(), f.client->height());
    f.pnlToolbar->resize(l.toolbarWidth, f.pnlToolbar->height());
    f.bvlSplitToolbar->move(l.dividerLeft, f.bvlSplitToolbar->y());
    f.navContents->move(l.navigatorLeft, f.navContents->y());
    f.nbContents->resize(l.notebookWidth, l.notebookHeight);
    f.grpInfo->resize(l.infoWidth, l.infoHeight);
    f.memGuide->setGeometry(f.memGuide->x(), 15, l.memoWidth, l.memoHeight);
    f.memComments->setGeometry(f.memComments->x(), l.commentsTop, l.memoWidth, l.memoHeight);
    f.lblComments->move(f.lblComments->x(), l.commentsTop);
    f.stsMOX->setGeometry(f.stsMOX->x(), l.statusTop, l.statusWidth, f.stsMOX->height());
    m_commands->FitHintPanel();
}

bool TfrmMain::event(QEvent *event)
{
    if (event->type() == QEvent::Paint)
        m_painted = true;
    // The hint of the control or menu item under the mouse goes to panel 2.
    if (event->type() == QEvent::StatusTip && m_commands) {
        m_commands->ShowHintText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_life->closeRequested())
        event->accept();
    else
        event->ignore();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_commands->UpdatePaste();
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.client && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}
