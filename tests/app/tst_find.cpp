// Find and Find Next through the window: the Find dialog, the search with its match
// rule, the not-found notice, the record view's handling of the record shown and the
// dialog's place across a restart.

#include "tests/app/MainWindowFixture.h"
#include "tests/common/CatalogueFixture.h"

#include "app/FindCommands.h"
#include "app/SearchBusyCursor.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/ui/MOXFind.h"
#include "catalogue/ui/MOXNotFound.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/grid/DBGrid.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>

namespace S = CatalogueSchema;

namespace {

QByteArray findTestIni()
{
    return "[Program]\nSaveInterface=1\nSaveRecNo=1\n[View]\nGrid=0\n"
           "[TypeDefs]\nType0=Component\nType1=Tool\n[StatusDefs]\nStatus0=In use\n";
}

// The catalogue the window opens, made before it starts.
void makeContents(MainWindowFixture &f, const QList<fixture::Rec> &recs)
{
    CatalogueTable t;
    fixture::makeCatalogue(t, f.dir, "contents.db", recs);
    t.close();
}

TfrmFind *findDialog(TfrmMain &w)
{
    return child<TfrmFind>(w, "frmFind");
}

template <typename T>
T *inFind(TfrmMain &w, const char *name)
{
    T *found = findDialog(w)->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("the Find dialog has no %s", name);
    return found;
}

// Clicked near its left end: a check box answers on its box and caption only.
void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
}

// Opens the dialog with the tool button, types the text and sets the check boxes by
// clicking them, as a person would.
void enter(TfrmMain &w, const QString &text, QList<const char *> fields)
{
    click(child<QToolButton>(w, "sbSearch"));
    auto *edit = inFind<QLineEdit>(w, "edtFindText");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        // QTest types ASCII only; other letters come as what a keyboard layout sends.
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    for (const char *name : {"cbArchive", "cbProduct", "cbOrigin"}) {
        auto *box = inFind<QCheckBox>(w, name);
        if (box->isChecked() != fields.contains(name))
            click(box);
    }
}

// Every modal box that shows while `action` runs: its caption and text (the notice's
// message), answered with OK. `seen` is told each box as it shows.
QStringList modalsDuring(const std::function<void()> &action, const std::function<void(QWidget *)> &seen = {})
{
    QStringList shown;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        QString text;
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            text = box->text();
        else if (auto *label = modal->findChild<QLabel *>(QStringLiteral("lblMessage")))
            text = label->text();
        shown << modal->windowTitle() + ": " + text;
        if (seen)
            seen(modal);
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>()) {
            if (b->text().remove(u'&') == QLatin1String("OK")) {
                b->click();
                return;
            }
        }
        modal->close();
    });
    timer.start();
    action();
    timer.stop();
    return shown;
}

QString archive(TfrmMain &w)
{
    return table(w).field(S::Archive).asString();
}

QString storedImage(MainWindowFixture &f, const QString &archiveName)
{
    fixture::RawDb raw(f.dir.filePath("contents.db"));
    return raw.rows(QStringLiteral("SELECT OrigImg FROM catalogue WHERE Archive = '%1'").arg(archiveName)).value(0);
}

} // namespace

class TstFind : public QObject
{
    Q_OBJECT

private slots:
    void theDialog()
    {
        MainWindowFixture f;
        TfrmMain &w = f.start();
        QVERIFY(command(w, "ItmFind")->isEnabled());
        QCOMPARE(command(w, "ItmFind")->text(), QString("&Find..."));
        auto *tool = child<QToolButton>(w, "sbSearch");
        QVERIFY(tool->isEnabled());
        QCOMPARE(tool->toolTip(), QString("Find"));
        QCOMPARE(tool->statusTip(), QString("Find a specified string."));

        TfrmFind *dialog = findDialog(w);
        QVERIFY(!dialog->isVisible());
        const QPoint placed = dialog->pos();
        click(tool);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->pos(), placed); // shown where it stands
        QCOMPARE(dialog->windowTitle(), QString("Find"));
        // A tool window of the main window: above it, and gone with it when minimised.
        QCOMPARE(dialog->windowType(), Qt::Tool);
        QCOMPARE(dialog->parentWidget(), static_cast<QWidget *>(&w));
        QCOMPARE(inFind<QGroupBox>(w, "grpFindText")->title(), QString("Find text"));
        QCOMPARE(inFind<QGroupBox>(w, "grpFields")->title(), QString("Fields"));
        QVERIFY(inFind<QLineEdit>(w, "edtFindText")->text().isEmpty());
        for (const auto &[name, text] : {std::pair{"cbArchive", "Archive"}, {"cbProduct", "Product"}, {"cbOrigin", "Origin"}}) {
            QCOMPARE(inFind<QCheckBox>(w, name)->text(), QString(text));
            QVERIFY(!inFind<QCheckBox>(w, name)->isChecked());
        }
        for (const auto &[name, text] : {std::pair{"btnFind", "&Find"}, {"btnNext", "Find &Next"}, {"btnCancel", "&Cancel"}}) {
            auto *button = inFind<QPushButton>(w, name);
            QCOMPARE(button->text(), QString(text));
            QVERIFY2(!button->isDefault() && !button->autoDefault(), name);
        }
        QDir().mkpath(QStringLiteral("artifacts"));
        dialog->grab().save(QStringLiteral("artifacts/find-dialog.png"));

        // Cancel, Escape and the close box only hide it; the text and marks stay.
        enter(w, "zip", {"cbProduct"});
        click(inFind<QPushButton>(w, "btnCancel"));
        QVERIFY(!dialog->isVisible());
        command(w, "ItmFind")->trigger();
        QVERIFY(dialog->isVisible());
        QCOMPARE(inFind<QLineEdit>(w, "edtFindText")->text(), QString("zip"));
        QVERIFY(inFind<QCheckBox>(w, "cbProduct")->isChecked());
        QTest::keyClick(inFind<QLineEdit>(w, "edtFindText"), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        command(w, "ItmFind")->trigger();
        dialog->close();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(findDialog(w), dialog);
        QCOMPARE(inFind<QLineEdit>(w, "edtFindText")->text(), QString("zip"));
    }

    // Found: the record; not found: the notice and the record where the search began.
    void search_data()
    {
        QTest::addColumn<QString>("indexName");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("found"); // the archive; empty: the notice

        const QStringList archiveOnly{"cbArchive"}, product{"cbProduct"}, all{"cbArchive", "cbProduct", "cbOrigin"};
        // Archive order: a.txt, b.ZIP, c.zip, d.txt, e.txt
        QTest::newRow("ZIP in Archive, ascending") << "idx_Archive_Up" << 4 << false << "ZIP" << archiveOnly << "b.ZIP";
        QTest::newRow("ZIP in Archive, descending") << "idx_Archive_Down" << 4 << false << "ZIP" << archiveOnly << "c.zip";
        QTest::newRow("ZIP in Archive, next") << "idx_Archive_Up" << 2 << true << "zip" << archiveOnly << "c.zip";
        QTest::newRow("Find may find the record it is on") << "" << 1 << false << "a.txt" << archiveOnly << "a.txt";
        QTest::newRow("tool: Toolbox") << "" << 1 << false << "tool" << product << "b.ZIP";
        QTest::newRow("tool: mytools") << "" << 2 << true << "tool" << product << "c.zip";
        QTest::newRow("tool: not t o o l") << "" << 3 << true << "tool" << product << "";
        QTest::newRow("accents as they are: É is no é") << "" << 1 << false << "É" << all << "";
        QTest::newRow("accents as they are: é") << "" << 1 << false << "é" << all << "d.txt";
        QTest::newRow("Origin") << "" << 1 << false << "WWW.E" << all << "e.txt";
        QTest::newRow("Find Next on the last record") << "" << 5 << true << "e" << all << "";
        QTest::newRow("Find Next on the last record, descending") << "idx_Archive_Down" << 5 << true << "a" << all << "";
    }

    void search()
    {
        QFETCH(QString, indexName);
        QFETCH(int, from);
        QFETCH(bool, next);
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QFETCH(QString, found);
        MainWindowFixture f;
        makeContents(f, {{"c.zip", "mytools", "Tool", "In use", ""},
                         {"a.txt", "Alpha", "Tool", "In use", ""},
                         {"b.ZIP", "Toolbox", "Tool", "In use", ""},
                         {"d.txt", "t o o l été", "Tool", "In use", ""},
                         {"e.txt", "Echo", "Tool", "In use", "www.e.org"}});
        TfrmMain &w = f.start();
        table(w).setIndexName(indexName);
        table(w).setRecNo(from);
        const QString start = archive(w);
        QList<const char *> boxes;
        for (const QString &name : fields)
            boxes << (name == "cbArchive" ? "cbArchive" : name == "cbProduct" ? "cbProduct" : "cbOrigin");
        enter(w, text, boxes);
        const QStringList shown = modalsDuring([&] { click(inFind<QPushButton>(w, next ? "btnNext" : "btnFind")); });
        if (found.isEmpty()) {
            QCOMPARE(shown, QStringList{QStringLiteral("Item not found: \"%1\" not found.").arg(text)});
            QCOMPARE(archive(w), start);
        } else {
            QCOMPARE(shown, QStringList());
            QCOMPARE(archive(w), found);
        }
        QVERIFY(!table(w).controlsDisabled());
        QCOMPARE(panel(w, 0), QStringLiteral("Record %1 of 5").arg(table(w).recNo()));
        // The grid shows the record where the search ended.
        QCOMPARE(child<DBGrid>(w, "grdContents")->currentRecord(), table(w).recNo() - 1);
        QVERIFY(findDialog(w)->isVisible());
    }

    // Without a text or a field nothing happens: no notice, and a changed record stays
    // as it is, unwritten.
    void nothingToFindDoesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("field");
        QTest::newRow("no text") << "" << true;
        QTest::newRow("no field") << "a" << false;
    }

    void nothingToFindDoesNothing()
    {
        QFETCH(QString, text);
        QFETCH(bool, field);
        MainWindowFixture f;
        f.writeIni(findTestIni());
        makeContents(f, {{"a.zip", "Alpha", "Tool", "In use", ""}, {"b.zip", "Beta", "Tool", "In use", ""}});
        TfrmMain &w = f.start();
        table(w).setRecNo(2);
        QTest::keyClicks(child<DBEdit>(w, "edtProduct"), "X");
        enter(w, text, field ? QList<const char *>{"cbArchive"} : QList<const char *>{});
        for (const char *button : {"btnFind", "btnNext"})
            QCOMPARE(modalsDuring([&] { click(inFind<QPushButton>(w, button)); }), QStringList());
        QCOMPARE(archive(w), QString("b.zip"));
        QCOMPARE(table(w).state(), DataSetState::Edit);
        QVERIFY(isModified(w));
    }

    // An empty catalogue holds nothing to find. In the record view it comes back with
    // its new, blank record being edited, as before the search.
    void emptyCatalogue_data()
    {
        QTest::addColumn<bool>("grid");
        QTest::newRow("grid view") << true;
        QTest::newRow("record view") << false;
    }

    void emptyCatalogue()
    {
        QFETCH(bool, grid);
        MainWindowFixture f;
        if (!grid)
            f.writeIni(findTestIni());
        TfrmMain &w = f.start();
        QCOMPARE(table(w).state(), grid ? DataSetState::Browse : DataSetState::Insert);
        QCOMPARE(panel(w, 0), QString("Record 0 of 0"));
        enter(w, "a", {"cbArchive"});
        for (const char *button : {"btnFind", "btnNext"}) {
            QCOMPARE(modalsDuring([&] { click(inFind<QPushButton>(w, button)); }),
                     QStringList{"Item not found: \"a\" not found."});
            QVERIFY(table(w).isEmpty());
            QCOMPARE(table(w).state(), grid ? DataSetState::Browse : DataSetState::Insert);
            QCOMPARE(panel(w, 0), QString("Record 0 of 0"));
        }
    }

    // The notice is centred by the width it had before this showing; then it is as wide
    // as its message needs, 174 at least, with its OK button in the middle.
    void noticeLayout()
    {
        MainWindowFixture f;
        makeContents(f, {{"a.zip", "Alpha", "Tool", "In use", ""}});
        TfrmMain &w = f.start();
        const QString longText = QString("abcdefghij").repeated(20);
        int widthBefore = TfrmNotFound::DesignWidth; // no frame yet before its first showing
        for (const QString &text : {QString("abc"), longText, QString("abc"), QString("<i>a</i>")}) {
            enter(w, text, {"cbArchive"});
            QRect frame, placed, button;
            int labelWidth = 0;
            const QStringList shown = modalsDuring([&] { click(inFind<QPushButton>(w, "btnFind")); }, [&](QWidget *notice) {
                frame = notice->frameGeometry();
                placed = notice->geometry();
                button = notice->findChild<QPushButton *>()->geometry();
                auto *label = notice->findChild<QLabel *>("lblMessage");
                labelWidth = label->fontMetrics().horizontalAdvance(label->text());
                // Shown as typed, markup included.
                QVERIFY(label->sizeHint().width() >= labelWidth);
                QDir().mkpath(QStringLiteral("artifacts"));
                notice->grab().save(QStringLiteral("artifacts/not-found-%1.png").arg(text.size()));
            });
            QCOMPARE(shown, QStringList{QStringLiteral("Item not found: \"%1\" not found.").arg(text)});
            const QRect main = w.frameGeometry();
            QCOMPARE(frame.left(), main.left() + (main.width() - widthBefore) / 2);
            QCOMPARE(placed.width(), std::max(labelWidth + 54, 174));
            if (text == longText)
                QVERIFY(placed.width() > 174);
            else if (text == "abc")
                QCOMPARE(placed.width(), 174);
            QCOMPARE(button.width(), 75);
            QCOMPARE(button.left(), (placed.width() - 75) / 2);
            widthBefore = frame.width();
        }
    }

    // The dialog stays with its text; Find Next goes on from the record found, through
    // the matches, to the notice after the last, which leaves that last match current.
    void findNextStepsThroughTheMatches()
    {
        MainWindowFixture f;
        makeContents(f, {{"a.zip", "Toolbox", "Tool", "In use", ""},
                         {"b.zip", "Other", "Tool", "In use", ""},
                         {"c.zip", "mytools", "Tool", "In use", ""},
                         {"d.zip", "Other", "Tool", "In use", ""}});
        TfrmMain &w = f.start();
        table(w).setRecNo(3);
        enter(w, "TOOL", {"cbProduct"});
        click(inFind<QPushButton>(w, "btnFind"));
        QCOMPARE(archive(w), QString("a.zip"));
        QVERIFY(findDialog(w)->isVisible());
        QCOMPARE(inFind<QLineEdit>(w, "edtFindText")->text(), QString("TOOL"));
        click(inFind<QPushButton>(w, "btnNext"));
        QCOMPARE(archive(w), QString("c.zip"));
        QCOMPARE(modalsDuring([&] { click(inFind<QPushButton>(w, "btnNext")); }),
                 QStringList{"Item not found: \"TOOL\" not found."});
        QCOMPARE(archive(w), QString("c.zip"));
        // Return in the text box presses nothing: no button is the default.
        table(w).first();
        QTest::keyClick(inFind<QLineEdit>(w, "edtFindText"), Qt::Key_Return);
        QCOMPARE(archive(w), QString("a.zip"));
    }

    // A changed record is written before the search moves; one that cannot be written
    // ends the search with its message, still being edited, the display back on.
    void changedRecordIsWrittenFirst()
    {
        MainWindowFixture f;
        f.writeIni(findTestIni());
        makeContents(f, {{"a.zip", "Alpha", "Tool", "In use", ""}, {"b.zip", "Beta", "Tool", "In use", ""}});
        TfrmMain &w = f.start();
        QCOMPARE(archive(w), QString("a.zip"));
        auto *product = child<DBEdit>(w, "edtProduct");
        product->setFocus();
        QTest::keyClicks(product, "Match");
        enter(w, "alphamatch", {"cbProduct"});
        click(inFind<QPushButton>(w, "btnFind"));
        QCOMPARE(archive(w), QString("a.zip"));
        fixture::RawDb raw(f.dir.filePath("contents.db"));
        QCOMPARE(raw.rows("SELECT Product FROM catalogue WHERE Archive = 'a.zip'"), QStringList{"AlphaMatch"});
        QVERIFY(!isModified(w));
        QCOMPARE(table(w).state(), DataSetState::Edit); // the record shown is edited again

        table(w).field(S::Status).clear();
        enter(w, "beta", {"cbProduct"});
        QCOMPARE(modalsDuring([&] { click(inFind<QPushButton>(w, "btnNext")); }),
                 QStringList{"Moxarium: Field 'Status' must have a value."});
        QCOMPARE(archive(w), QString("a.zip"));
        QCOMPARE(table(w).state(), DataSetState::Edit);
        QVERIFY(!table(w).controlsDisabled());
        table(w).cancel();
    }

    // A new record is written first and is the record the search comes back to, not
    // the one that was current before it was begun.
    void newRecordIsComeBackTo()
    {
        MainWindowFixture f;
        f.writeIni(findTestIni());
        makeContents(f, {{"a.zip", "Alpha", "Tool", "In use", ""}, {"c.zip", "Gamma", "Tool", "In use", ""}});
        TfrmMain &w = f.start();
        table(w).append();
        for (const auto &[name, text] : {std::pair{"edtArchive", "b.zip"}, {"edtProduct", "Beta"}}) {
            auto *edit = child<DBEdit>(w, name);
            edit->setFocus();
            QTest::keyClicks(edit, text);
        }
        table(w).field(S::Type).setAsString("Tool");
        table(w).field(S::Status).setAsString("In use");
        enter(w, "nothing like it", {"cbProduct"});
        QCOMPARE(modalsDuring([&] { click(inFind<QPushButton>(w, "btnNext")); }).size(), 1);
        QCOMPARE(archive(w), QString("b.zip"));
        QCOMPARE(table(w).recordCount(), 3);
        QCOMPARE(panel(w, 0), QString("Record 2 of 3"));
    }

    // In the record view the record found gets the handling of any new current record,
    // judged by its own Type; the records passed over are left as they are.
    void recordViewHandlesTheRecordShown()
    {
        MainWindowFixture f;
        f.writeIni(findTestIni());
        makeContents(f, {{"a.zip", "Start", "Tool", "In use", ""},
                         {"b.zip", "Passed", "Tool", "In use", ""},
                         {"c.zip", "Passed", "Component", "In use", ""},
                         {"d.zip", "Found", "Tool", "In use", ""},
                         {"e.zip", "Found", "Component", "In use", ""}});
        {
            fixture::RawDb raw(f.dir.filePath("contents.db"));
            QCOMPARE(raw.exec("UPDATE catalogue SET OrigImg = X'424D' WHERE Archive <> 'a.zip'"), 0);
        }
        TfrmMain &w = f.start();
        auto *image = child<DBImage>(w, "imgOriginal");
        enter(w, "found", {"cbProduct"});
        click(inFind<QPushButton>(w, "btnFind"));
        QCOMPARE(archive(w), QString("d.zip"));
        QVERIFY(!image->isEnabled());
        QCOMPARE(table(w).state(), DataSetState::Edit);
        QVERIFY(table(w).field(S::OrigImg).isNull());
        QCOMPARE(storedImage(f, "b.zip"), QString("BM"));
        QCOMPARE(storedImage(f, "c.zip"), QString("BM"));

        click(inFind<QPushButton>(w, "btnNext"));
        QCOMPARE(archive(w), QString("e.zip"));
        QVERIFY(image->isEnabled());
        QCOMPARE(table(w).field(S::OrigImg).asBytes(), QByteArray("BM"));
        QCOMPARE(storedImage(f, "d.zip"), QString()); // written as it was left

        // The return after the notice is a change of record too: edited again.
        QCOMPARE(modalsDuring([&] { click(inFind<QPushButton>(w, "btnNext")); }).size(), 1);
        QCOMPARE(archive(w), QString("e.zip"));
        QCOMPARE(table(w).state(), DataSetState::Edit);
        QVERIFY(image->isEnabled());
    }

    // The dialog stands where it was left: placed at the stored position when it is
    // made, its position stored at exit, also when it was never shown.
    void placeIsKept_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("never shown") << QByteArray("33,44") << false << QPoint(33, 44);
        QTest::newRow("moved") << QByteArray("33,44") << true << QPoint(200, 150);
        QTest::newRow("negative") << QByteArray("-5,20") << false << QPoint(-5, 20);
    }

    void placeIsKept()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, moved);
        QFETCH(QPoint, expected);
        MainWindowFixture f;
        f.writeIni("[Program]\nSaveInterface=1\n[View]\nGrid=1\nFindPosition=" + stored + "\n");
        TfrmMain &w = f.start();
        const QList<QByteArray> parts = stored.split(',');
        QCOMPARE(findDialog(w)->pos(), QPoint(parts[0].toInt(), parts[1].toInt()));
        if (moved) {
            click(child<QToolButton>(w, "sbSearch"));
            findDialog(w)->move(expected);
            click(inFind<QPushButton>(w, "btnCancel"));
        }
        f.stop();
        QVERIFY2(f.readIni().contains(QStringLiteral("FindPosition=%1,%2").arg(expected.x()).arg(expected.y()).toUtf8()),
                 f.readIni().constData());
    }

    // A place no screen shows any more (a screen taken away) is not kept: the dialog
    // comes back onto the screen the least way.
    void placeOffEveryScreenIsBroughtBack()
    {
        MainWindowFixture f;
        f.writeIni("[Program]\nSaveInterface=1\n[View]\nFindPosition=30000,-9000\n");
        TfrmMain &w = f.start();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placed = findDialog(w)->frameGeometry();
        QVERIFY2(screen.contains(placed), qPrintable(QStringLiteral("%1,%2").arg(placed.x()).arg(placed.y())));
        QCOMPARE(placed.right(), screen.right());
        QCOMPARE(placed.top(), screen.top());
    }

    // The busy cursor comes only once a search has run its time, and goes with it.
    void busyCursorAfterItsDelay()
    {
        QVERIFY(!QApplication::overrideCursor());
        {
            SearchBusyCursor later(60000);
            later.tick();
            QVERIFY(!QApplication::overrideCursor());
        }
        {
            SearchBusyCursor now(0);
            now.tick();
            now.tick();
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TstFind)
#include "tst_find.moc"
