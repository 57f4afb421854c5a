#pragma once

#include "app/BusyCursor.h"
#include "app/FileDialogs.h"
#include "catalogue/CatalogueTable.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsHost.h"
#include "settings/SortedTextList.h"
#include "settings/WindowPlacement.h"

#include <QMainWindow>
#include <QPixmap>
#include <memory>
#include <optional>

class DataSource;
class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBGrid;
class DBImage;
class DBMemo;
class DBNavigator;
class FileDialogs;
class GradientButton;
class QAction;
class QClipboard;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolButton;
class RecentMenu;
class StatusPanels;
class TRecentlist;
class TfrmAbout;
class TfrmDelete;
class TfrmCantOpen;
class SettingsFile;

// The main window: owns the catalogue table, its data source, the settings and
// every control, and coordinates them. The handlers are named after their control
// and event.
class TfrmMain : public QMainWindow, public SettingsHost, public PlacedWindow
{
    Q_OBJECT
public:
    // programFolder holds "mox.ini"; fileDialogs answers the open and save dialogs.
    TfrmMain(const QString &programFolder, FileDialogs *fileDialogs, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The start-up sequence; ends by showing the window.
    void FormCreate();
    // The shutdown sequence; run once, before the dialogs are released.
    void FormDestroy();
    // The dialogs are made after the main window, in their fixed order.
    void createDialogs();

    CatalogueTable tblContents;
    DataSource *dsContents = nullptr;
    ProgramSettings programSettings;

    // Status bar and command state.
    void ShowRecordNumber();
    void ShowModified(bool modified);
    bool IsModified() const;
    void ShowTableName(const QString &name);
    void FitHintPanel();
    void ShowHintText(const QString &hint);
    void EnableSave(bool on);
    void EnableUndo(bool on);
    void EnableCutCopy(bool on);
    void EnablePaste(bool on);
    void EnableSelectAll(bool on);
    void UpdatePaste();
    void RememberCommandStates();
    void EnableImageControls();

    // Commands.
    void ItmNewClick();
    void ItmOpenClick();
    void mnuMRUClick();
    void ItmPackClick();
    void ItmExitClick();
    void ItmSaveClick();
    void ItmSaveAsClick();
    void ItmGridClick();
    void ItmRecordClick();
    void ItmAboutClick();
    void ItmUndoClick();
    void ItmCutClick();
    void ItmCopyClick();
    void ItmPasteClick();
    void ItmSelectAllClick();
    void ItmClearAllClick();
    void sbBrowseClick();
    void grdContentsTitleBtnClick(int column, int fieldPos);

    // For tests and the accessibility of the status bar.
    StatusPanels *statusBarPanels() const { return stsMOX; }
    QStackedWidget *notebook() const { return nbContents; }
    bool gridView() const { return programSettings.Grid; }
    QString programFolder() const;
    // What start-up (and the settings write at exit) had to tell the user.
    const QString &startupMessages() const { return m_startupMessages; }
    // Tests read the start-up messages instead of answering a box.
    void setShowStartupMessages(bool show) { m_showStartupMessages = show; }
    // The resize rule for a client area of that size.
    void FormResize();

    // SettingsHost
    QString databaseName() const override;
    void setDatabaseName(const QString &folder) override;
    QString tableName() const override;
    void setTableName(const QString &fileName) override;
    QString indexName() const override;
    void setIndexName(const QString &indexName) override;
    bool isTableOpen() const override;
    int recNo() const override;
    void setGridColumn(int column, int fieldIndex, int width) override;
    int gridColumnField(int column) const override;
    int gridColumnWidth(int column) const override;
    PickList &typeList() override;
    PickList &statusList() override;
    PhraseList &phraseList() override;
    TRecentlist &recentList() override;

    // PlacedWindow
    void setPlacementGeometry(const QRect &geometry) override;
    QRect placementGeometry() const override;
    State placementState() const override;
    void postMinimize() override;
    void maximize() override;
    QList<QRect> placementScreens() const override;
    QSize placementMinimumSize() const override;

    // Controls, named as the window's design names them.
    QFrame *pnlToolbar = nullptr;
    QToolButton *sbNew = nullptr, *sbOpen = nullptr, *sbSave = nullptr, *sbUndo = nullptr, *sbCut = nullptr,
                *sbCopy = nullptr, *sbPaste = nullptr, *sbPhrases = nullptr, *sbSettings = nullptr,
                *sbSearch = nullptr, *sbHelp = nullptr;
    QFrame *bvlSplitToolbar = nullptr;
    DBNavigator *navContents = nullptr;
    QStackedWidget *nbContents = nullptr;
    DBGrid *grdContents = nullptr;
    QFrame *pnlDetails = nullptr;
    QGroupBox *grpDescription = nullptr, *grpProperties = nullptr, *grpBitmaps = nullptr, *grpInfo = nullptr;
    QFrame *pnlMOX = nullptr;
    GradientButton *btnMOX = nullptr;
    QLabel *lblArchive = nullptr, *lblProduct = nullptr, *lblType = nullptr, *lblOrigin = nullptr, *lblStatus = nullptr;
    DBEdit *edtArchive = nullptr, *edtProduct = nullptr, *edtOrigin = nullptr;
    DBComboBox *cbbType = nullptr, *cbbStatus = nullptr;
    QFrame *pnlBrowse = nullptr;
    QToolButton *sbBrowse = nullptr;
    DBCheckBox *cbD1 = nullptr, *cbD2 = nullptr, *cbD3 = nullptr, *cbCB = nullptr, *cbSource = nullptr;
    QLabel *lblOriginal = nullptr, *lblCurrent = nullptr;
    DBImage *imgOriginal = nullptr, *imgCurrent = nullptr;
    QToolButton *sbLoadOriginal = nullptr, *sbLoadCurrent = nullptr, *sbCaptureOriginal = nullptr,
                *sbCaptureCurrent = nullptr;
    QLabel *lblGuide = nullptr, *lblComments = nullptr;
    DBMemo *memGuide = nullptr, *memComments = nullptr;
    StatusPanels *stsMOX = nullptr;

    QMenu *ItmFile = nullptr, *ItmReopen = nullptr, *ItmEdit = nullptr, *ItmView = nullptr,
          *ItmOptions = nullptr, *ItmHelp = nullptr, *mnuMemos = nullptr, *Itm_Phrases = nullptr;
    QAction *ItmNew = nullptr, *ItmOpen = nullptr, *ItmSave = nullptr, *ItmSaveAs = nullptr, *ItmPack = nullptr,
            *ItmExit = nullptr, *ItmUndo = nullptr, *ItmCut = nullptr, *ItmCopy = nullptr, *ItmPaste = nullptr,
            *ItmSelectAll = nullptr, *ItmClearAll = nullptr, *ItmGrid = nullptr, *ItmRecord = nullptr,
            *ItmFind = nullptr, *ItmPhrases = nullptr, *ItmSettings = nullptr, *ItmContents = nullptr,
            *ItmAbout = nullptr, *Itm_Undo = nullptr, *Itm_Cut = nullptr, *Itm_Copy = nullptr,
            *Itm_Paste = nullptr, *Itm_SelectAll = nullptr, *Itm_ClearAll = nullptr;

    TfrmDelete *frmDelete = nullptr;
    TfrmAbout *frmAbout = nullptr;
    TfrmCantOpen *frmCantOpen = nullptr;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction, by area.
    void createActions();
    void createMenus();
    void createToolbar();
    void createRecordPage();
    void createGrid();
    void createStatusBar();
    void connectTable();
    void connectControls();
    void nameObjects();

    // Table events.
    void tblContentsNewRecord();
    void tblContentsAfterInsert();
    void tblContentsAfterPost();
    void tblContentsAfterCancel();
    void tblContentsAfterDelete();
    void tblContentsAfterScroll();
    void tblContentsBeforeDelete();
    void tblContentsPostError(const EngineError &error, DataAction &action);

    // Control events.
    void edtArchiveChange(bool modified, bool canUndo);
    void cbbTypeChange();
    void cbD1Click();
    void textKeyUp(int selectionLength);
    void edtArchiveMouseUp(int selectionLength);
    void cbbTypeExit();
    void cbbStatusExit();
    void extendPickList(DBComboBox *box, PickList &list);
    void setImageControlsEnabled(bool on);

    // The view switch.
    void nbContentsPageChanged(int page);
    void commitForViewSwitch();
    void showPage(int page);

    // File commands.
    bool saveCommand();
    bool saveFirst();
    bool postChangedRecord();
    void openChosen(const QString &path);
    void addToRecent();
    void showCantOpen(const QString &reason);
    FileDialogRequest databaseDialog(const QString &title, PathTask task) const;

    void reportError(const QString &message);
    bool startEditing();
    // The record buffer holds changes that are not stored yet. Commands that leave the
    // record decide by this, not by the status panel that only shows it.
    bool recordChanged() const;
    void buildPhraseMenu();
    void openShowingAnyWait();
    void applyFont();

    QString m_programFolder;
    FileDialogs *m_fileDialogs;
    std::unique_ptr<SettingsFile> m_settingsFile;
    PickList m_typeList;
    PickList m_statusList;
    PhraseList m_phrases;
    TRecentlist *mnuMRU = nullptr;
    RecentMenu *m_recentMenu = nullptr;
    QPixmap m_checked;
    QPixmap m_unchecked;
    QClipboard *m_clipboard = nullptr;
    bool m_rememberedPaste = false;
    bool m_rememberedCutCopy = false;
    bool m_rememberedSelectAll = false;
    bool m_shutDown = false;
    bool m_closing = false;      // the Exit command or a close in progress
    int m_lastPage = 1;          // the page before the current one (for a failed switch)
    bool m_revertingPage = false;
    QString m_startupMessages;
    bool m_showStartupMessages = true;
    QWidget *m_client = nullptr;
    std::optional<BusyCursor> m_lockWaitCursor;
    QString m_reportShowing; // the control error whose box is open
    // Passes the table's events to the handlers above.
    class TableEvents;
    std::unique_ptr<TableEvents> m_tableEvents;
};
