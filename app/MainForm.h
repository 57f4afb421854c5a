#pragma once

#include <QPixmap>

class QString;

class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBGrid;
class DBImage;
class DBMemo;
class DBNavigator;
class DataSource;
class GradientButton;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QStackedWidget;
class QToolButton;
class QWidget;
class RecentMenu;
class StatusPanels;
class TRecentlist;
class TfrmAbout;
class TfrmCantOpen;
class TfrmDelete;
class TfrmInvalidPath;
class TfrmPhrases;
class TfrmSelectDir;
class TfrmSettings;
class TfrmFind;
class TfrmNotFound;

// The main window's fixed layout: every control, menu item and dialog, named as the
// window's design names them (each also carries that name as its object name). It
// builds them and wires only what belongs to the layout itself (tool buttons run their
// menu items, text boxes pop up the memo menu); the units of the window do the rest.
struct MainForm {
    // Builds the controls into `window`, the data-aware ones bound to `data`; the
    // Reopen submenu mirrors `recent`.
    void setupUi(QMainWindow *window, DataSource *data, TRecentlist *recent);

    QWidget *client = nullptr;

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
    RecentMenu *recentMenu = nullptr;
    // The control that mnuMemos was last opened on.
    QWidget *popupComponent = nullptr;
    // The grid's flag pictures, loaded once.
    QPixmap checked, unchecked;

    // Made after the main window, once, in this order; they live until the program ends.
    TfrmSettings *frmSettings = nullptr;
    TfrmDelete *frmDelete = nullptr;
    TfrmAbout *frmAbout = nullptr;
    TfrmPhrases *frmPhrases = nullptr;
    TfrmInvalidPath *frmInvalidPath = nullptr;
    TfrmSelectDir *frmSelectDir = nullptr;
    TfrmFind *frmFind = nullptr;
    TfrmCantOpen *frmCantOpen = nullptr;
    TfrmNotFound *frmNotFound = nullptr;

private:
    void createActions(QMainWindow *window);
    void createMenus(QMainWindow *window, TRecentlist *recent);
    void createToolbar(DataSource *data);
    void createGrid(QMainWindow *window, DataSource *data);
    void createRecordPage(DataSource *data);
    void createStatusBar();
    void nameObjects();
    // A hint "Short|Long": the short part is the tool tip, the long part goes to the
    // status bar (through the status tip).
    static void applyHint(QWidget *widget, const QString &hint);
};
