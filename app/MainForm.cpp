// The main window's fixed layout: menus, tool bar, status bar and their names.

#include "app/MainForm.h"

#include "app/StatusPanels.h"
#include "resources/MoxPictures.h"
#include "settings/ui/RecentMenu.h"
#include "widgets/Hint.h"
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
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolButton>

void MainForm::applyHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(Hint::shortPart(hint));
    widget->setStatusTip(Hint::longPart(hint));
    widget->setAccessibleDescription(Hint::longPart(hint));
}

void MainForm::setupUi(QMainWindow *window, DataSource *data, TRecentlist *recent)
{
    client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    window->setCentralWidget(client);

    createActions(window);
    createMenus(window, recent);
    createToolbar(data);
    nbContents = new QStackedWidget(client);
    nbContents->setObjectName(QStringLiteral("nbContents"));
    nbContents->setGeometry(6, 38, 620, 365);
    createGrid(window, data);
    createRecordPage(data);
    // The notebook is built with the record page showing.
    nbContents->setCurrentIndex(1);
    createStatusBar();
    nameObjects();
}

void MainForm::createActions(QMainWindow *window)
{
    const auto make = [window](const QString &caption, const QString &hint, const QKeySequence &shortcut = {}) {
        auto *action = new QAction(caption, window);
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
    auto *views = new QActionGroup(window);
    views->addAction(ItmGrid);
    views->addAction(ItmRecord);
    ItmRecord->setChecked(true);

    // The commands that open a dialog are enabled once their dialog exists: the
    // dialogs are made after the main window.
    for (QAction *pending : {ItmFind, ItmPhrases, ItmSettings})
        pending->setEnabled(false);
}

void MainForm::createMenus(QMainWindow *window, TRecentlist *recent)
{
    ItmFile = window->menuBar()->addMenu(QStringLiteral("&File"));
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

    ItmEdit = window->menuBar()->addMenu(QStringLiteral("&Edit"));
    ItmEdit->addAction(ItmUndo);
    ItmEdit->addSeparator();
    ItmEdit->addAction(ItmCut);
    ItmEdit->addAction(ItmCopy);
    ItmEdit->addAction(ItmPaste);
    ItmEdit->addSeparator();
    ItmEdit->addAction(ItmSelectAll);
    ItmEdit->addAction(ItmClearAll);

    ItmView = window->menuBar()->addMenu(QStringLiteral("&View"));
    ItmView->addAction(ItmGrid);
    ItmView->addAction(ItmRecord);

    ItmOptions = window->menuBar()->addMenu(QStringLiteral("&Options"));
    ItmOptions->addAction(ItmFind);
    ItmOptions->addAction(ItmPhrases);
    ItmOptions->addAction(ItmSettings);

    ItmHelp = window->menuBar()->addMenu(QStringLiteral("&Help"));
    ItmHelp->addAction(ItmContents);
    ItmHelp->addSeparator();
    ItmHelp->addAction(ItmAbout);

    mnuMemos = new QMenu(window);
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

    recentMenu = new RecentMenu(*recent, window);
    recentMenu->setLinkedMenuItem(ItmReopen);
}

void MainForm::createToolbar(DataSource *data)
{
    pnlToolbar = new QFrame(client);
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
            QObject::connect(button, &QToolButton::clicked, def.action, &QAction::trigger);
            QObject::connect(def.action, &QAction::enabledChanged, button, &QWidget::setEnabled);
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
    navContents->setDataSource(data);
}

void MainForm::createStatusBar()
{
    stsMOX = new StatusPanels(client);
    stsMOX->setObjectName(QStringLiteral("stsMOX"));
    stsMOX->setGeometry(6, 409, 620, 19);
    // What the panels show is the command state's: it gives them their design-time state.
}

// The design's control names: tools and tests find the controls by them.
void MainForm::nameObjects()
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
        MOX_NAMED(sbCaptureCurrent), MOX_NAMED(memGuide), MOX_NAMED(memComments), MOX_NAMED(bvlSplitToolbar),
        MOX_NAMED(grpDescription), MOX_NAMED(grpProperties), MOX_NAMED(grpBitmaps), MOX_NAMED(grpInfo),
        MOX_NAMED(pnlMOX), MOX_NAMED(btnMOX), MOX_NAMED(pnlBrowse), MOX_NAMED(lblArchive), MOX_NAMED(lblProduct),
        MOX_NAMED(lblType), MOX_NAMED(lblOrigin), MOX_NAMED(lblStatus), MOX_NAMED(lblOriginal),
        MOX_NAMED(lblCurrent), MOX_NAMED(lblGuide), MOX_NAMED(lblComments),
#undef MOX_NAMED
    };
    for (const auto &[object, name] : named)
        object->setObjectName(QLatin1String(name));
}
