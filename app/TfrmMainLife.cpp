// The main window's life: start-up, shutdown, the Exit and Save commands, and the
// settings it hands to the settings file.

#include "app/TfrmMain.h"

#include "app/ErrorReport.h"
#include "app/FileDialogs.h"
#include "app/MainLayout.h"
#include "app/MOXAbout.h"
#include "app/StatusPanels.h"
#include "catalogue/CreateRoutine.h"
#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/FolderPath.h"
#include "catalogue/ui/MOXCantOpen.h"
#include "catalogue/ui/MOXDeleteRecord.h"
#include "settings/Recent.h"
#include "settings/SettingsError.h"
#include "settings/SettingsFile.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTimer>

namespace S = CatalogueSchema;


void TfrmMain::FormCreate()
{
    try {
        // 2-3: the lists start empty; the settings file fills them.
        m_phrases.clear();
        const QList<SettingsProblem> problems = m_settingsFile->LoadSettings(programSettings, *this);
        cbbType->setPickItems(m_typeList.items());
        cbbStatus->setPickItems(m_statusList.items());
        if (!problems.isEmpty())
            m_startupMessages += describeSettingsProblems(problems);

        // 4
        ApplyWindowPlacement(*this, programSettings.WindowPosition, programSettings.WindowState);

        // 5-6: hints reach the status bar through status-tip events (see event());
        // Paste follows the clipboard.
        m_clipboard = QGuiApplication::clipboard();
        connect(m_clipboard, &QClipboard::dataChanged, this, &TfrmMain::UpdatePaste);

        // 7: a catalogue named in the settings that does not exist yet is made empty
        // at that place, so a first start has a catalogue to work in.
        if (!QFileInfo::exists(tblContents.fullPath())) {
            const CreateOutcome outcome = createNewTable(tblContents, tblContents.databaseName(), tblContents.tableName());
            if (!outcome.opened)
                throw EngineError(outcome.createError.isEmpty()
                                      ? QStringLiteral("Sorry, couldn't create the new table for you.")
                                      : outcome.createError);
        } else {
            openShowingAnyWait();
        }

        // 8: a number the table cannot reach leaves it on its first record.
        tblContents.setRecNo(programSettings.RecNo);

        // 9-11
        ShowModified(false);
        ShowTableName(tblContents.tableName());
        EnableUndo(false);
        EnablePaste(false);
        EnableSelectAll(true);

        // 12
        if (programSettings.Grid) {
            showPage(0);
            ItmGrid->setChecked(true);
            ItmRecord->setChecked(false);
            navContents->setEnabled(false);
        } else {
            ItmGrid->setChecked(false);
            ItmRecord->setChecked(true);
            navContents->setEnabled(true);
            tblContentsAfterScroll();
        }

        // 13-14
        buildPhraseMenu();
        if (!programSettings.Grid)
            RememberCommandStates();
    } catch (const AbortError &) {
    } catch (const std::exception &e) {
        // The rest of the sequence is skipped; the user works with what was set up.
        m_startupMessages += (m_startupMessages.isEmpty() ? QString() : QStringLiteral("\n\n"))
                           + ErrorReport::withFullStop(ErrorReport::textOf(e));
    }
    // 15
    show();
    FormResize();
    if (!m_startupMessages.isEmpty() && m_showStartupMessages) {
        QTimer::singleShot(0, this, [this] {
            QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"), m_startupMessages, QMessageBox::Ok, this);
            box.exec();
        });
    }
}

// A catalogue that another program holds locked makes the open wait up to the lock
// time-out. The window is not left unseen meanwhile: a first try that does not wait
// tells, and then the window shows with the busy cursor before the open waits.
void TfrmMain::openShowingAnyWait()
{
    const int timeout = tblContents.lockTimeout();
    tblContents.setLockTimeout(0);
    try {
        tblContents.open();
        tblContents.setLockTimeout(timeout);
        return;
    } catch (const EngineError &e) {
        tblContents.setLockTimeout(timeout);
        if (e.kind() != EngineError::Kind::Locked)
            throw;
    }
    const BusyCursor busy;
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    tblContents.open();
}

void TfrmMain::createDialogs()
{
    // Created once, in this order, and kept until the program ends.
    frmDelete = new TfrmDelete(this);
    frmAbout = new TfrmAbout(this);
    frmCantOpen = new TfrmCantOpen(this);
}

void TfrmMain::buildPhraseMenu()
{
    Itm_Phrases->clear();
    for (const QString &phrase : m_phrases.items()) {
        QAction *item = Itm_Phrases->addAction(QString(phrase).replace(u'&', QStringLiteral("&&")));
        item->setData(phrase);
    }
    Itm_Phrases->setEnabled(!m_phrases.isEmpty());
}

void TfrmMain::FormDestroy()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    try {
        // 1: no find dialog yet: its position stays as it was given at start.
        // 2
        CaptureWindowPlacement(*this, programSettings);
        // 3
        m_typeList.clear();
        for (const QString &item : cbbType->pickItems())
            m_typeList.add(item);
        m_statusList.clear();
        for (const QString &item : cbbStatus->pickItems())
            m_statusList.add(item);
        const QString notice = m_settingsFile->SaveSettings(programSettings, *this);
        if (!notice.isEmpty()) {
            // What the settings file could not keep as it was (its encoding, a file
            // that is not a regular one) is said once, as the program ends.
            if (m_showStartupMessages)
                QMessageBox::information(this, QStringLiteral("Moxarium"), notice);
            else
                m_startupMessages += notice;
        }
        // 4-5: a catalogue without records is not kept. The file is counted now, since
        // another program may have filled it; when nobody can tell, it stays.
        if (tblContents.active()) {
            const int stored = tblContents.storedRecordCount();
            tblContents.close();
            if (stored == 0)
                tblContents.deleteTable();
        }
    } catch (const std::exception &e) {
        ErrorReport::show(this, ErrorReport::textOf(e));
    }
    tblContents.close();
}

// ---- Exit, Save and closing ----------------------------------------------------------------

void TfrmMain::ItmExitClick()
{
    // A catalogue that is not open has nothing to save.
    if (recordChanged() && !saveCommand())
        return;
    if (stsMOX->text(3) == QLatin1String("untitled") && tblContents.active())
        ItmSaveAsClick();
    m_closing = true;
    close();
    m_closing = false;
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // A close by the close box keeps what the user typed: the record is posted as
    // the Exit command would, and a post that fails keeps the window open.
    if (!m_closing && recordChanged()) {
        const bool posted = ErrorReport::guarded(this, [this] { tblContents.post(); });
        if (!posted) {
            event->ignore();
            return;
        }
    }
    event->accept();
    FormDestroy();
}

bool TfrmMain::event(QEvent *event)
{
    // The hint of the control or menu item under the mouse goes to panel 2.
    if (event->type() == QEvent::StatusTip) {
        ShowHintText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    UpdatePaste();
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::ItmAboutClick()
{
    if (frmAbout)
        frmAbout->exec();
}

// ---- SettingsHost ----------------------------------------------------------------------------

QString TfrmMain::databaseName() const { return tblContents.databaseName(); }
void TfrmMain::setDatabaseName(const QString &folder) { tblContents.setDatabaseName(folder); }
QString TfrmMain::tableName() const { return tblContents.tableName(); }
void TfrmMain::setTableName(const QString &fileName) { tblContents.setTableName(fileName); }
QString TfrmMain::indexName() const { return tblContents.indexName(); }

void TfrmMain::setIndexName(const QString &indexName)
{
    try {
        tblContents.setIndexName(indexName);
    } catch (const EngineError &e) {
        // An unknown order in the settings leaves the built-in order; the user is told.
        m_startupMessages += QStringLiteral("The order \"%1\" in %2 is unknown; the catalogue keeps its own order.\n")
                                 .arg(indexName, QDir::toNativeSeparators(m_settingsFile->fileName()));
    }
}

bool TfrmMain::isTableOpen() const { return tblContents.active(); }
int TfrmMain::recNo() const { return tblContents.recNo(); }

void TfrmMain::setGridColumn(int column, int fieldIndex, int width)
{
    grdContents->setColumn(column, fieldIndex, width);
}

int TfrmMain::gridColumnField(int column) const { return grdContents->columnField(column); }
int TfrmMain::gridColumnWidth(int column) const { return grdContents->columnWidth(column); }
PickList &TfrmMain::typeList() { return m_typeList; }
PickList &TfrmMain::statusList() { return m_statusList; }
PhraseList &TfrmMain::phraseList() { return m_phrases; }
TRecentlist &TfrmMain::recentList() { return *mnuMRU; }

// ---- PlacedWindow ----------------------------------------------------------------------------

void TfrmMain::setPlacementGeometry(const QRect &geometry) { setGeometry(geometry); }

QRect TfrmMain::placementGeometry() const
{
    return isVisible() || !normalGeometry().isEmpty() ? normalGeometry() : geometry();
}

PlacedWindow::State TfrmMain::placementState() const
{
    if (isMinimized())
        return State::Minimized;
    if (isMaximized())
        return State::Maximized;
    return State::Normal;
}

void TfrmMain::postMinimize()
{
    QTimer::singleShot(0, this, [this] { showMinimized(); });
}

void TfrmMain::maximize()
{
    setWindowState(windowState() | Qt::WindowMaximized);
}

QList<QRect> TfrmMain::placementScreens() const
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

QSize TfrmMain::placementMinimumSize() const
{
    // The window itself has no minimum; this is the client area below which the
    // resize rule stops shrinking the content (that of a 0 x 0 client area, with
    // the tool bar's margin on the far sides too), plus the menu bar above it.
    const MainLayout smallest = MainLayout::forClient(0, 0);
    const int margin = pnlToolbar->x();
    const QSize client(margin + smallest.toolbarWidth + margin, smallest.statusTop + stsMOX->height() + margin);
    return client + QSize(0, menuBar()->sizeHint().height());
}
