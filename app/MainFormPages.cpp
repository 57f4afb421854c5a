// The main window's two pages: the grid and the record page.

#include "app/MainForm.h"

#include "catalogue/CatalogueSchema.h"
#include "resources/MoxPictures.h"
#include "widgets/data/DBCheckBox.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/data/DBMemo.h"
#include "widgets/deco/GradientButton.h"
#include "widgets/grid/DBGrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QToolButton>

namespace S = CatalogueSchema;

namespace {

QString withoutAmpersand(QString text)
{
    return text.remove(u'&').trimmed();
}

} // namespace

void MainForm::createGrid(QMainWindow *window, DataSource *data)
{
    grdContents = new DBGrid(nbContents);
    grdContents->setObjectName(QStringLiteral("grdContents"));
    grdContents->setAccessibleName(QStringLiteral("Grid"));
    grdContents->setDataSource(data);
    checked = moxPixmap(QStringLiteral("CHECKED"), QSize(17, 17), window->devicePixelRatioF());
    unchecked = moxPixmap(QStringLiteral("UNCHECKED"), QSize(17, 17), window->devicePixelRatioF());
    grdContents->setFlagPictures(checked, unchecked);
    nbContents->addWidget(grdContents);
}

void MainForm::createRecordPage(DataSource *data)
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
    const auto bind = [data](auto *control, int field, const QString &name, const QString &hint) {
        control->setDataSource(data);
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
        QWidget::setTabOrder(order[i - 1], order[i]);

    // A combo box's menu belongs to its text part.
    for (QWidget *w : {static_cast<QWidget *>(edtArchive), static_cast<QWidget *>(edtProduct),
                       static_cast<QWidget *>(edtOrigin), static_cast<QWidget *>(memGuide),
                       static_cast<QWidget *>(memComments), static_cast<QWidget *>(cbbType->lineEdit()),
                       static_cast<QWidget *>(cbbStatus->lineEdit())}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(w, &QWidget::customContextMenuRequested, mnuMemos, [this, w](const QPoint &pos) {
            popupComponent = w;
            mnuMemos->popup(w->mapToGlobal(pos));
        });
    }
}
