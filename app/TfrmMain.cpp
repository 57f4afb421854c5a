// The main window's construction: its controls, menus, tool bar and wiring.

#include "app/TfrmMain.h"

#include "app/ErrorReport.h"
#include "app/FileDialogs.h"
#include "app/StatusPanels.h"
#include "catalogue/DataSource.h"
#include "resources/MoxPictures.h"
#include "settings/Recent.h"
#include "settings/SettingsFile.h"
#include "widgets/Hint.h"
#include "settings/ui/RecentMenu.h"
#include "widgets/data/DBCheckBox.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/data/DBMemo.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/deco/GradientButton.h"
#include "widgets/grid/DBGrid.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

namespace S = CatalogueSchema;

class TfrmMain::TableEvents : public CatalogueTableHandler
{
public:
    explicit TableEvents(TfrmMain &window) : m_window(window) {}

    void onNewRecord(CatalogueTable &) override { m_window.tblContentsNewRecord(); }
    void afterInsert(CatalogueTable &) override { m_window.tblContentsAfterInsert(); }
    void afterPost(CatalogueTable &) override { m_window.tblContentsAfterPost(); }
    void afterCancel(CatalogueTable &) override { m_window.tblContentsAfterCancel(); }
    void afterDelete(CatalogueTable &) override { m_window.tblContentsAfterDelete(); }
    void afterScroll(CatalogueTable &) override { m_window.tblContentsAfterScroll(); }
    void beforeDelete(CatalogueTable &) override { m_window.tblContentsBeforeDelete(); }
    void onPostError(CatalogueTable &, const EngineError &e, DataAction &action) override
    {
        m_window.tblContentsPostError(e, action);
    }
    // While another program's lock makes a store or a read wait, the user sees why
    // the window does not answer.
    void onLockWait(bool waiting) noexcept override
    {
        if (waiting)
            m_window.m_lockWaitCursor.emplace();
        else
            m_window.m_lockWaitCursor.reset();
    }

private:
    TfrmMain &m_window;
};

namespace {

constexpr int OrderListDelayMs = 100;

// A hint "Short|Long": the short part is the tool tip, the long part goes to the
// status bar (through the status tip).
void applyHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(Hint::shortPart(hint));
    widget->setStatusTip(Hint::longPart(hint));
    widget->setAccessibleDescription(Hint::longPart(hint));
}

QString withoutAmpersand(QString text)
{
    return text.remove(u'&').trimmed();
}

} // namespace

TfrmMain::TfrmMain(const QString &programFolder, FileDialogs *fileDialogs, QWidget *parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_fileDialogs(fileDialogs)
{
    if (!m_programFolder.endsWith(u'/'))
        m_programFolder += u'/';
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Moxarium"));
    applyFont();
    m_settingsFile = std::make_unique<SettingsFile>(m_programFolder);

    dsContents = new DataSource(&tblContents, this);
    // A catalogue that has just opened shows at once; its order list is read once
    // it is painted, before a person can ask for a row far down.
    connect(dsContents, &DataSource::activeChanged, this, [this] {
        if (tblContents.active())
            QTimer::singleShot(OrderListDelayMs, this, [this] {
                ErrorReport::guarded(this, [this] { tblContents.prepareOrder(); });
            });
    });
    mnuMRU = new TRecentlist(m_programFolder, this);
    mnuMRU->setDefaultExt(QStringLiteral("zip"));
    mnuMRU->setHidepath(false);
    mnuMRU->setHideExt(false);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    createActions();
    createMenus();
    createToolbar();
    nbContents = new QStackedWidget(m_client);
    nbContents->setObjectName(QStringLiteral("nbContents"));
    nbContents->setGeometry(6, 38, 620, 365);
    createGrid();
    createRecordPage();
    // The notebook is built with the record page showing.
    nbContents->setCurrentIndex(1);
    createStatusBar();
    connectTable();
    connectControls();
    nameObjects();
    m_client->installEventFilter(this);
    resize(640, 480);
}

TfrmMain::~TfrmMain()
{
    // Everything bound to the table goes before it: the controls, then the data
    // source, which would otherwise outlive the member table as a child object.
    delete m_client;
    m_client = nullptr;
    delete dsContents;
    dsContents = nullptr;
    tblContents.close();
}

QString TfrmMain::programFolder() const
{
    return m_programFolder;
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

void TfrmMain::createActions()
{
    const auto make = [this](const QString &caption, const QString &hint, const QKeySequence &shortcut = {}) {
        auto *action = new QAction(caption, this);
        action->setStatusTip(hint);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        return action;
    };
    ItmNew = make(QStringLiteral("&New"), QStringLiteral("Create a new MOX database."));
    ItmOpen = make(QStringLiteral("&Open..."), QStringLiteral("Open a MOX database."), QKeySequence(Qt::CTRL | Qt::Key_O));
    ItmSave = make(QStringLiteral("&Save"), QStringLiteral("Save the active database."), QKeySequence(Qt::CTRL | Qt::Key_S));
    ItmSaveAs = make(QStringLiteral("Save &As..."), QStringLiteral("Save the active database with a new name."));
    ItmPack = make(QStringLiteral("&Pack"), QStringLiteral("Pack the active database."));
    ItmExit = make(QStringLiteral("E&xit"), QStringLiteral("Quit MOX."));
    ItmUndo = make(QStringLiteral("&Undo"), QStringLiteral("Undo the last action."), QKeySequence(Qt::CTRL | Qt::Key_Z));
    ItmCut = make(QStringLiteral("Cu&t"), QStringLiteral("Cut the current selection and place it on the clipboard."),
                  QKeySequence(Qt::CTRL | Qt::Key_X));
    ItmCopy = make(QStringLiteral("&Copy"), QStringLiteral("Copy the current selection and place it on the clipboard."),
                   QKeySequence(Qt::CTRL | Qt::Key_C));
    ItmPaste = make(QStringLiteral("&Paste"), QStringLiteral("Paste the contents of the clipboard to the active control.."),
                    QKeySequence(Qt::CTRL | Qt::Key_V));
    ItmSelectAll = make(QStringLiteral("Select &All"), QStringLiteral("Select all text in the active control."),
                        QKeySequence(Qt::CTRL | Qt::Key_A));
    ItmClearAll = make(QStringLiteral("Clear A&ll"), QStringLiteral("Delete all text from the active control."),
                       QKeySequence(Qt::CTRL | Qt::Key_Delete));
    ItmGrid = make(QStringLiteral("&Grid"), QStringLiteral("Change to a multi-record view."), QKeySequence(Qt::CTRL | Qt::Key_G));
    ItmRecord = make(QStringLiteral("&Record"), QStringLiteral("Change to a single-record view."), QKeySequence(Qt::CTRL | Qt::Key_R));
    ItmFind = make(QStringLiteral("&Find..."), QStringLiteral("Find a specified string."));
    ItmPhrases = make(QStringLiteral("&Phrases..."), QStringLiteral("Edit the standard phrases."));
    ItmSettings = make(QStringLiteral("&Settings..."), QStringLiteral("Edit the program settings."));
    ItmContents = make(QStringLiteral("&Contents"), QStringLiteral("Open help."));
    ItmContents->setEnabled(false);
    ItmAbout = make(QStringLiteral("&About MOX..."), QStringLiteral("About Moxarium."));

    Itm_Undo = make(QStringLiteral("&Undo"), QStringLiteral("Undo the last action."));
    Itm_Cut = make(QStringLiteral("Cu&t"), QStringLiteral("Cut the active selection to the clipboard."));
    Itm_Copy = make(QStringLiteral("&Copy"), QStringLiteral("Copy the active selection to the clipboard."));
    Itm_Paste = make(QStringLiteral("&Paste"), QStringLiteral("Paste the contents of the clipboard to the active selection."));
    Itm_SelectAll = make(QStringLiteral("Select &All"), QStringLiteral("Select all text in the active control."));
    Itm_ClearAll = make(QStringLiteral("Clear A&ll"), QStringLiteral("Clear all text in the active control."));

    ItmGrid->setCheckable(true);
    ItmRecord->setCheckable(true);
    auto *views = new QActionGroup(this);
    views->addAction(ItmGrid);
    views->addAction(ItmRecord);
    ItmRecord->setChecked(true);

    // The commands whose dialogs arrive later stay visible but do nothing yet.
    for (QAction *pending : {ItmFind, ItmPhrases, ItmSettings})
        pending->setEnabled(false);
}

void TfrmMain::createMenus()
{
    ItmFile = menuBar()->addMenu(QStringLiteral("&File"));
    ItmFile->addAction(ItmNew);
    ItmFile->addAction(ItmOpen);
    ItmReopen = ItmFile->addMenu(QStringLiteral("&Reopen"));
    ItmReopen->menuAction()->setStatusTip(QStringLiteral("Reopen a MOX database."));
    ItmFile->addAction(ItmSave);
    ItmFile->addAction(ItmSaveAs);
    ItmFile->addSeparator();
    ItmFile->addAction(ItmPack);
    ItmFile->addSeparator();
    ItmFile->addAction(ItmExit);

    ItmEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    ItmEdit->addAction(ItmUndo);
    ItmEdit->addSeparator();
    ItmEdit->addAction(ItmCut);
    ItmEdit->addAction(ItmCopy);
    ItmEdit->addAction(ItmPaste);
    ItmEdit->addSeparator();
    ItmEdit->addAction(ItmSelectAll);
    ItmEdit->addAction(ItmClearAll);

    ItmView = menuBar()->addMenu(QStringLiteral("&View"));
    ItmView->addAction(ItmGrid);
    ItmView->addAction(ItmRecord);

    ItmOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    ItmOptions->addAction(ItmFind);
    ItmOptions->addAction(ItmPhrases);
    ItmOptions->addAction(ItmSettings);

    ItmHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    ItmHelp->addAction(ItmContents);
    ItmHelp->addSeparator();
    ItmHelp->addAction(ItmAbout);

    mnuMemos = new QMenu(this);
    Itm_Phrases = mnuMemos->addMenu(QStringLiteral("Standard phrases"));
    Itm_Phrases->menuAction()->setStatusTip(QStringLiteral("Insert a standard phrase."));
    mnuMemos->addSeparator();
    mnuMemos->addAction(Itm_Undo);
    mnuMemos->addSeparator();
    mnuMemos->addAction(Itm_Cut);
    mnuMemos->addAction(Itm_Copy);
    mnuMemos->addAction(Itm_Paste);
    mnuMemos->addSeparator();
    mnuMemos->addAction(Itm_SelectAll);
    mnuMemos->addAction(Itm_ClearAll);

    m_recentMenu = new RecentMenu(*mnuMRU, this);
    m_recentMenu->setLinkedMenuItem(ItmReopen);
}

void TfrmMain::createToolbar()
{
    pnlToolbar = new QFrame(m_client);
    pnlToolbar->setObjectName(QStringLiteral("pnlToolbar"));
    pnlToolbar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlToolbar->setGeometry(6, 0, 620, 31);

    struct ButtonDef { QToolButton **button; const char *icon; const char *hint; QAction *action; };
    const ButtonDef defs[] = {
        {&sbNew, "new", "New|Open a new MOX database.", ItmNew},
        {&sbOpen, "open", "Open|Open an existing MOX database.", ItmOpen},
        {&sbSave, "save", "Save|Save the active database.", ItmSave},
        {&sbUndo, "undo", "Undo|Undo the last action.", ItmUndo},
        {&sbCut, "cut", "Cut|Cut the active selection to the clipboard.", ItmCut},
        {&sbCopy, "copy", "Copy|Copy the active selection to the clipboard.", ItmCopy},
        {&sbPaste, "paste", "Paste|Paste the contents of the clipboard to the active selection.", ItmPaste},
        {&sbPhrases, "phrases", "Phrases|Edit the standard phrases.", ItmPhrases},
        {&sbSettings, "settings", "Settings|Edit the program settings.", ItmSettings},
        {&sbSearch, "search", "Find|Find a specified string.", ItmFind},
        {&sbHelp, "help", "Help|Activate MOX Help.", nullptr},
    };
    int left = 9;
    for (const ButtonDef &def : defs) {
        auto *button = new QToolButton(pnlToolbar);
        button->setAutoRaise(true);
        button->setIcon(moxIcon(QString::fromLatin1(def.icon)));
        button->setIconSize(QSize(16, 16));
        button->setGeometry(left, 3, 24, 25);
        button->setFocusPolicy(Qt::NoFocus);
        const QString hint = QString::fromLatin1(def.hint);
        applyHint(button, hint);
        button->setAccessibleName(Hint::shortPart(hint));
        if (def.action) {
            // The button runs the menu item's handler; its hint stays its own.
            connect(button, &QToolButton::clicked, def.action, &QAction::trigger);
            connect(def.action, &QAction::enabledChanged, button, &QWidget::setEnabled);
            button->setEnabled(def.action->isEnabled());
        }
        *def.button = button;
        left += 25;
    }
    sbHelp->setEnabled(false);

    bvlSplitToolbar = new QFrame(pnlToolbar);
    bvlSplitToolbar->setFrameStyle(QFrame::VLine | QFrame::Raised);
    bvlSplitToolbar->setGeometry(386, 0, 2, 30);

    navContents = new DBNavigator(pnlToolbar);
    navContents->setObjectName(QStringLiteral("navContents"));
    navContents->setAccessibleName(QStringLiteral("Record navigator"));
    navContents->setGeometry(395, 3, DBNavigator::DesignWidth, DBNavigator::DesignHeight);
    navContents->setDataSource(dsContents);
}

void TfrmMain::createGrid()
{
    grdContents = new DBGrid(nbContents);
    grdContents->setObjectName(QStringLiteral("grdContents"));
    grdContents->setAccessibleName(QStringLiteral("Grid"));
    grdContents->setDataSource(dsContents);
    m_checked = moxPixmap(QStringLiteral("CHECKED"), QSize(17, 17), devicePixelRatioF());
    m_unchecked = moxPixmap(QStringLiteral("UNCHECKED"), QSize(17, 17), devicePixelRatioF());
    grdContents->setFlagPictures(m_checked, m_unchecked);
    nbContents->addWidget(grdContents);
}

void TfrmMain::createRecordPage()
{
    pnlDetails = new QFrame(nbContents);
    pnlDetails->setObjectName(QStringLiteral("pnlDetails"));
    pnlDetails->setAccessibleName(QStringLiteral("Record"));
    pnlDetails->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    nbContents->addWidget(pnlDetails);

    const auto group = [this](const QString &caption, const QRect &rect) {
        auto *box = new QGroupBox(caption, pnlDetails);
        box->setGeometry(rect);
        return box;
    };
    grpDescription = group(QStringLiteral("Description"), {8, 4, 323, 141});
    grpProperties = group(QStringLiteral("Properties"), {340, 4, 96, 141});
    grpBitmaps = group(QStringLiteral("Bitmaps"), {444, 4, 167, 97});
    pnlMOX = new QFrame(pnlDetails);
    pnlMOX->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlMOX->setGeometry(444, 109, 167, 36);
    grpInfo = group(QStringLiteral("Information"), {8, 148, 603, 207});

    const auto label = [](QWidget *parent, const QString &text, int left, int top, int width = 69, int height = 13) {
        auto *l = new QLabel(text, parent);
        l->setGeometry(left, top, width, height);
        return l;
    };
    const auto bind = [this](auto *control, int field, const QString &name, const QString &hint) {
        control->setDataSource(dsContents);
        control->setFieldPos(field);
        control->setAccessibleName(name);
        applyHint(control, hint);
        return control;
    };

    // Description
    pnlBrowse = new QFrame(grpDescription);
    pnlBrowse->setGeometry(296, 17, 16, 17);
    sbBrowse = new QToolButton(pnlBrowse);
    sbBrowse->setGeometry(0, 0, 15, 16);
    sbBrowse->setAutoRaise(true);
    sbBrowse->setIcon(moxIcon(QStringLiteral("browse")));
    sbBrowse->setIconSize(QSize(11, 11));
    applyHint(sbBrowse, QStringLiteral("Browse|"));
    sbBrowse->setAccessibleName(QStringLiteral("Browse"));

    lblArchive = label(grpDescription, QStringLiteral("Archive"), 8, 18);
    edtArchive = bind(new DBEdit(grpDescription), S::Archive, QStringLiteral("Archive"),
                      QStringLiteral("|The name of the archive that contains the product."));
    edtArchive->setGeometry(78, 15, 236, 21);
    lblArchive->setBuddy(edtArchive);
    pnlBrowse->raise();

    lblProduct = label(grpDescription, QStringLiteral("&Product"), 8, 42);
    edtProduct = bind(new DBEdit(grpDescription), S::Product, QStringLiteral("Product"),
                      QStringLiteral("|The name of the product."));
    edtProduct->setGeometry(78, 39, 236, 21);
    lblProduct->setBuddy(edtProduct);

    lblType = label(grpDescription, QStringLiteral("&Type"), 8, 66);
    cbbType = bind(new DBComboBox(grpDescription), S::Type, QStringLiteral("Type"), QStringLiteral("|The sort of product."));
    cbbType->setGeometry(78, 63, 236, 21);
    lblType->setBuddy(cbbType);

    lblOrigin = label(grpDescription, QStringLiteral("O&rigin"), 8, 90);
    edtOrigin = bind(new DBEdit(grpDescription), S::Origin, QStringLiteral("Origin"),
                     QStringLiteral("|The internet address of the author(s) of the product."));
    edtOrigin->setGeometry(78, 87, 236, 21);
    lblOrigin->setBuddy(edtOrigin);

    // The Status label names its box but moves no focus.
    lblStatus = label(grpDescription, QStringLiteral("Status"), 8, 114);
    cbbStatus = bind(new DBComboBox(grpDescription), S::Status, QStringLiteral("Status"),
                     QStringLiteral("|The current status of the product."));
    cbbStatus->setGeometry(78, 111, 236, 21);

    // Properties
    struct Flag { DBCheckBox **box; const char *caption; int field; const char *hint; };
    const Flag flags[] = {
        {&cbD1, "   Delphi &1", S::D1, "|This product is compatible with Delphi 1."},
        {&cbD2, "   Delphi &2", S::D2, "|This product is compatible with Delphi 2."},
        {&cbD3, "   Delphi &3", S::D3, "|This product is compatible with Delphi 3."},
        {&cbCB, "   C++ &Builder", S::Cb, "|This product is compatible with C++ Builder."},
        {&cbSource, "   So&urce", S::Source, "The source code to this product is included."},
    };
    int top = 19;
    for (const Flag &f : flags) {
        const QString caption = QString::fromLatin1(f.caption);
        auto *box = bind(new DBCheckBox(caption, grpProperties), f.field, withoutAmpersand(caption),
                         QString::fromLatin1(f.hint));
        box->setGeometry(8, top, 84, 17);
        // The caption's own blanks make the gap after the box.
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 0px; }"));
        *f.box = box;
        top += 24;
    }

    // Bitmaps
    lblOriginal = label(grpBitmaps, QStringLiteral("&Original"), 8, 23, 38);
    lblCurrent = label(grpBitmaps, QStringLiteral("C&urrent"), 8, 64, 38);
    imgOriginal = bind(new DBImage(grpBitmaps), S::OrigImg, QStringLiteral("Original bitmap"),
                       QStringLiteral("|The bitmap originally representing this component."));
    imgOriginal->setGeometry(48, 13, 36, 36);
    imgCurrent = bind(new DBImage(grpBitmaps), S::CurrImg, QStringLiteral("Current bitmap"),
                      QStringLiteral("|The bitmap currently representing this component."));
    imgCurrent->setGeometry(48, 53, 36, 36);
    lblOriginal->setBuddy(imgOriginal);
    lblCurrent->setBuddy(imgCurrent);
    const auto bitmapButton = [this](const char *icon, const QRect &rect, const QString &hint, const QString &name) {
        auto *button = new QToolButton(grpBitmaps);
        button->setGeometry(rect);
        button->setIcon(moxIcon(QString::fromLatin1(icon)));
        button->setIconSize(QSize(24, 24));
        applyHint(button, hint);
        button->setAccessibleName(name);
        button->setEnabled(false);
        return button;
    };
    const QString loadHint = QStringLiteral("Browse|Click here to extract the bitmap from the dcr file of this component.");
    sbLoadOriginal = bitmapButton("load-bitmap", {92, 16, 30, 30}, loadHint, QStringLiteral("Browse original"));
    sbLoadCurrent = bitmapButton("load-bitmap", {92, 56, 30, 30}, loadHint, QStringLiteral("Browse current"));
    sbCaptureOriginal = bitmapButton("capture", {126, 16, 30, 30},
                                     QStringLiteral("Capture|Click here to capture the original bitmap for this component."),
                                     QStringLiteral("Capture original"));
    sbCaptureCurrent = bitmapButton("capture", {126, 56, 30, 30},
                                    QStringLiteral("Capture|Click here to capture the current bitmap for this component."),
                                    QStringLiteral("Capture current"));
    for (QWidget *w : {static_cast<QWidget *>(lblOriginal), static_cast<QWidget *>(lblCurrent),
                       static_cast<QWidget *>(imgOriginal), static_cast<QWidget *>(imgCurrent)})
        w->setEnabled(false);

    btnMOX = new GradientButton(QStringLiteral("Moxarium"), pnlMOX);
    btnMOX->setGeometry(2, 2, 163, 32);

    // Information
    lblGuide = label(grpInfo, QStringLiteral("&Guide"), 8, 18);
    memGuide = bind(new DBMemo(grpInfo), S::Guide, QStringLiteral("Guide"),
                    QStringLiteral("|Information about the use of this product."));
    memGuide->setGeometry(78, 15, 516, 90);
    // Tab moves on to the next control, as in every other box of the page.
    memGuide->setTabChangesFocus(true);
    lblGuide->setBuddy(memGuide);
    lblComments = label(grpInfo, QStringLiteral("&Comments"), 8, 108);
    memComments = bind(new DBMemo(grpInfo), S::Comments, QStringLiteral("Comments"),
                       QStringLiteral("|Additional comments about this product."));
    memComments->setGeometry(78, 108, 516, 90);
    memComments->setTabChangesFocus(true);
    lblComments->setBuddy(memComments);

    QWidget *order[] = {sbBrowse, edtArchive, edtProduct, cbbType, edtOrigin, cbbStatus, cbD1, cbD2, cbD3, cbCB,
                        cbSource, sbCaptureOriginal, sbCaptureCurrent, memGuide, memComments};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A combo box's menu belongs to its text part.
    for (QWidget *w : {static_cast<QWidget *>(edtArchive), static_cast<QWidget *>(edtProduct),
                       static_cast<QWidget *>(edtOrigin), static_cast<QWidget *>(memGuide),
                       static_cast<QWidget *>(memComments), static_cast<QWidget *>(cbbType->lineEdit()),
                       static_cast<QWidget *>(cbbStatus->lineEdit())}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &pos) { mnuMemos->popup(w->mapToGlobal(pos)); });
    }
}

void TfrmMain::createStatusBar()
{
    stsMOX = new StatusPanels(m_client);
    stsMOX->setObjectName(QStringLiteral("stsMOX"));
    stsMOX->setGeometry(6, 409, 620, 19);
    // The design-time state, kept until start-up replaces it.
    stsMOX->setPanelWidth(0, 108);
    stsMOX->setPanelWidth(1, 49);
    stsMOX->setText(1, QStringLiteral("Modified"));
    stsMOX->setPanelWidth(2, 396);
    stsMOX->setPanelWidth(3, 41);
    stsMOX->setText(3, QStringLiteral("contents.db"));
}

// The design's control names: tools and tests find the controls by them.
void TfrmMain::nameObjects()
{
    const std::pair<QObject *, const char *> named[] = {
#define MOX_NAMED(object) {object, #object}
        MOX_NAMED(ItmFile), MOX_NAMED(ItmNew), MOX_NAMED(ItmOpen), MOX_NAMED(ItmReopen), MOX_NAMED(ItmSave),
        MOX_NAMED(ItmSaveAs), MOX_NAMED(ItmPack), MOX_NAMED(ItmExit), MOX_NAMED(ItmEdit), MOX_NAMED(ItmUndo),
        MOX_NAMED(ItmCut), MOX_NAMED(ItmCopy), MOX_NAMED(ItmPaste), MOX_NAMED(ItmSelectAll), MOX_NAMED(ItmClearAll),
        MOX_NAMED(ItmView), MOX_NAMED(ItmGrid), MOX_NAMED(ItmRecord), MOX_NAMED(ItmOptions), MOX_NAMED(ItmFind),
        MOX_NAMED(ItmPhrases), MOX_NAMED(ItmSettings), MOX_NAMED(ItmHelp), MOX_NAMED(ItmContents),
        MOX_NAMED(ItmAbout), MOX_NAMED(mnuMemos), MOX_NAMED(Itm_Phrases), MOX_NAMED(Itm_Undo), MOX_NAMED(Itm_Cut),
        MOX_NAMED(Itm_Copy), MOX_NAMED(Itm_Paste), MOX_NAMED(Itm_SelectAll), MOX_NAMED(Itm_ClearAll),
        MOX_NAMED(sbNew), MOX_NAMED(sbOpen), MOX_NAMED(sbSave), MOX_NAMED(sbUndo), MOX_NAMED(sbCut),
        MOX_NAMED(sbCopy), MOX_NAMED(sbPaste), MOX_NAMED(sbPhrases), MOX_NAMED(sbSettings), MOX_NAMED(sbSearch),
        MOX_NAMED(sbHelp), MOX_NAMED(sbBrowse), MOX_NAMED(edtArchive), MOX_NAMED(edtProduct),
        MOX_NAMED(cbbType), MOX_NAMED(edtOrigin), MOX_NAMED(cbbStatus), MOX_NAMED(cbD1), MOX_NAMED(cbD2),
        MOX_NAMED(cbD3), MOX_NAMED(cbCB), MOX_NAMED(cbSource), MOX_NAMED(imgOriginal), MOX_NAMED(imgCurrent),
        MOX_NAMED(sbLoadOriginal), MOX_NAMED(sbLoadCurrent), MOX_NAMED(sbCaptureOriginal),
        MOX_NAMED(sbCaptureCurrent), MOX_NAMED(memGuide), MOX_NAMED(memComments),
#undef MOX_NAMED
    };
    for (const auto &[object, name] : named)
        object->setObjectName(QLatin1String(name));
}

void TfrmMain::connectTable()
{
    m_tableEvents = std::make_unique<TableEvents>(*this);
    tblContents.setHandler(m_tableEvents.get());
}

void TfrmMain::connectControls()
{
    connect(ItmNew, &QAction::triggered, this, &TfrmMain::ItmNewClick);
    connect(ItmOpen, &QAction::triggered, this, &TfrmMain::ItmOpenClick);
    connect(ItmPack, &QAction::triggered, this, &TfrmMain::ItmPackClick);
    connect(mnuMRU, &TRecentlist::OnClick, this, [this](QObject *) { mnuMRUClick(); });
    connect(ItmExit, &QAction::triggered, this, &TfrmMain::ItmExitClick);
    connect(ItmSave, &QAction::triggered, this, [this] { saveCommand(); });
    connect(ItmSaveAs, &QAction::triggered, this, &TfrmMain::ItmSaveAsClick);
    connect(ItmGrid, &QAction::triggered, this, &TfrmMain::ItmGridClick);
    connect(ItmRecord, &QAction::triggered, this, &TfrmMain::ItmRecordClick);
    connect(ItmAbout, &QAction::triggered, this, &TfrmMain::ItmAboutClick);
    for (auto [menu, popup, handler] : {std::tuple{ItmUndo, Itm_Undo, &TfrmMain::ItmUndoClick},
                                        std::tuple{ItmCut, Itm_Cut, &TfrmMain::ItmCutClick},
                                        std::tuple{ItmCopy, Itm_Copy, &TfrmMain::ItmCopyClick},
                                        std::tuple{ItmPaste, Itm_Paste, &TfrmMain::ItmPasteClick},
                                        std::tuple{ItmSelectAll, Itm_SelectAll, &TfrmMain::ItmSelectAllClick},
                                        std::tuple{ItmClearAll, Itm_ClearAll, &TfrmMain::ItmClearAllClick}}) {
        connect(menu, &QAction::triggered, this, handler);
        connect(popup, &QAction::triggered, this, handler);
    }
    connect(sbBrowse, &QToolButton::clicked, this, &TfrmMain::sbBrowseClick);

    for (DBEdit *edit : {edtArchive, edtProduct, edtOrigin}) {
        connect(edit, &DBEdit::changed, this, [this, edit](bool modified) { edtArchiveChange(modified, edit->isUndoAvailable()); });
        connect(edit, &DBEdit::keyReleased, this, [this, edit] { textKeyUp(edit->selectionLength()); });
        connect(edit, &DBEdit::mouseReleased, this, [this, edit] { edtArchiveMouseUp(edit->selectionLength()); });
        connect(edit, &DBEdit::errorRaised, this, &TfrmMain::reportError);
    }
    for (DBMemo *memo : {memGuide, memComments}) {
        connect(memo, &DBMemo::changed, this, [this, memo](bool modified) { edtArchiveChange(modified, memo->isUndoAvailable()); });
        connect(memo, &DBMemo::keyReleased, this, [this, memo] { textKeyUp(memo->selectionLength()); });
        connect(memo, &DBMemo::mouseReleased, this, [this, memo] { edtArchiveMouseUp(memo->selectionLength()); });
        connect(memo, &DBMemo::errorRaised, this, &TfrmMain::reportError);
    }
    for (DBComboBox *box : {cbbType, cbbStatus}) {
        connect(box, &DBComboBox::changed, this, &TfrmMain::cbbTypeChange);
        connect(box, &DBComboBox::keyReleased, this, [this, box] { textKeyUp(box->selectionLength()); });
        connect(box, &DBComboBox::errorRaised, this, &TfrmMain::reportError);
    }
    connect(cbbType, &DBComboBox::exited, this, &TfrmMain::cbbTypeExit);
    connect(cbbStatus, &DBComboBox::exited, this, &TfrmMain::cbbStatusExit);
    for (DBCheckBox *box : {cbD1, cbD2, cbD3, cbCB, cbSource}) {
        connect(box, &QCheckBox::clicked, this, &TfrmMain::cbD1Click);
        connect(box, &DBCheckBox::errorRaised, this, &TfrmMain::reportError);
    }
    for (DBImage *image : {imgOriginal, imgCurrent})
        connect(image, &DBImage::errorRaised, this, &TfrmMain::reportError);
    connect(navContents, &DBNavigator::errorRaised, this, &TfrmMain::reportError);
    connect(grdContents, &DBGrid::errorRaised, this, &TfrmMain::reportError);
    connect(grdContents, &DBGrid::titleClicked, this, &TfrmMain::grdContentsTitleBtnClick);
    connect(grdContents, &DBGrid::recordDoubleClicked, this, [this] { showPage(1); });
    connect(nbContents, &QStackedWidget::currentChanged, this, &TfrmMain::nbContentsPageChanged);
}

void TfrmMain::reportError(const QString &message)
{
    // Several controls may fail on one cause at once (a lock on the record's memos
    // and images): the box that shows it already says it.
    if (m_reportShowing == message)
        return;
    const QString before = std::exchange(m_reportShowing, message);
    ErrorReport::show(this, message);
    m_reportShowing = before;
}
