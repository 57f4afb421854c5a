// A catalogue larger than the rows the window reads before it is counted: what the
// window shows while its order list is read on a thread of its own, and after.

#include "tests/app/MainWindowFixture.h"
#include "tests/common/CatalogueFixture.h"

#include "catalogue/CatalogueTable.h"
#include "widgets/data/DBNavigator.h"
#include "widgets/grid/CatalogueGridModel.h"
#include "widgets/grid/DBGrid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QToolButton>
#include <QTest>
#include <QWheelEvent>

namespace S = CatalogueSchema;

namespace {

constexpr int Records = 3000;

// What the window shows once everything is in.
struct Shown {
    QString position;
    int recNo = 0;
    QString archive;
    int gridRow = -1;
    int gridRows = 0;
};

Shown settled(TfrmMain &w)
{
    CatalogueTable &t = table(w);
    QElapsedTimer waited;
    waited.start();
    while (t.orderPending() && waited.elapsed() < 10000)
        QTest::qWait(10);
    QApplication::processEvents();
    DBGrid *grid = child<DBGrid>(w, "grdContents");
    return {panel(w, 0), t.recNo(), t.field(S::Archive).asString(), grid->currentRecord(), grid->recordRows()};
}

// The archives in the Product order (titles "Product N" sort as text).
QStringList productOrder()
{
    QStringList products;
    for (int i = 0; i < Records; ++i)
        products << QString("Product %1").arg(i);
    products.sort();
    QStringList archives;
    for (const QString &product : products)
        archives << QString("a%1").arg(product.mid(8).toInt(), 6, 10, QLatin1Char('0'));
    return archives;
}

void clickTitle(DBGrid *grid, int column)
{
    QHeaderView *titles = grid->horizontalHeader();
    const int x = titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2;
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(x, titles->height() / 2));
}

// The archives the grid shows, from its top record, as many as it shows whole.
QStringList shownArchives(DBGrid *grid)
{
    QStringList out;
    const int top = grid->topRecord();
    for (int record = top; grid->recordRect(record, 0).bottom() < grid->viewport()->height()
                           && !grid->recordRect(record, 0).isEmpty(); ++record) {
        const int row = grid->gridModel()->rowOf(record);
        out << grid->gridModel()->index(row, 0).data().toString();
    }
    return out;
}

} // namespace

class TstLargeCatalogue : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_catalogues;

    void startOn(MainWindowFixture &f)
    {
        QFile::copy(m_catalogues.filePath("large.db"), f.dir.filePath("large.db"));
        f.writeIni(QByteArray("[Program]\nSaveInterface=1\nSaveRecNo=1\n[View]\nGrid=1\nDatabaseName=")
                   + QFile::encodeName(f.folder()) + "\nTableName=large.db\nRecNo=1\n"
                   "[StatusDefs]\nStatus0=In use\n");
        f.start();
    }

private slots:
    void initTestCase()
    {
        CatalogueTable t;
        fixture::makeLargeCatalogue(t, m_catalogues, "large.db", Records);
    }

    // The status bar shows no count until it is known, then the true one; the grid,
    // the record numbers and the navigator then agree with a walk through the table.
    void countShowsOnceKnownAndIsTrue()
    {
        MainWindowFixture f;
        startOn(f);
        TfrmMain &w = *f.window;
        const QString early = panel(w, 0);
        QVERIFY2(early.isEmpty() || early == QString("Record 1 of %1").arg(Records), qPrintable(early));
        const Shown s = settled(w);
        QVERIFY(!table(w).orderPending());
        QCOMPARE(s.position, QString("Record 1 of %1").arg(Records));
        QCOMPARE(s.gridRows, Records);
        QCOMPARE(s.gridRow, 0);
        QDir().mkpath("artifacts");
        w.grab().save("artifacts/large-catalogue.png");

        DBGrid *grid = child<DBGrid>(w, "grdContents");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(panel(w, 0), QString("Record %1 of %1").arg(Records));
        QCOMPARE(table(w).field(S::Archive).asString(), QString("a%1").arg(Records - 1, 6, 10, QLatin1Char('0')));
        QCOMPARE(table(w).recNo(), Records);
        // In the record view the navigator's Last leaves what a walk to the end leaves.
        command(w, "ItmRecord")->trigger();
        DBNavigator *nav = child<DBNavigator>(w, "navContents");
        QVERIFY(nav->isEnabled());
        QTest::mouseClick(nav->button(DBNavigator::Last), Qt::LeftButton);
        QVERIFY(table(w).eof());
        QVERIFY(!nav->button(DBNavigator::Next)->isEnabled());
        QVERIFY(nav->button(DBNavigator::Prior)->isEnabled());
        QCOMPARE(panel(w, 0), QString("Record %1 of %1").arg(Records));
        f.stop();
    }

    // A click on a column title that puts the current record beyond the new order's
    // first rows shows the rows around it at once, with no number in the status bar;
    // once the order list is in, the same rows stay on the same screen rows with their
    // true numbers, as a walk through the order gives them.
    void sortFarShowsTheRowsAroundAtOnce()
    {
        MainWindowFixture f;
        startOn(f);
        TfrmMain &w = *f.window;
        settled(w);
        DBGrid *grid = child<DBGrid>(w, "grdContents");
        table(w).setRecNo(2501); // a002500: "Product 2500" is far down the Product order
        QApplication::processEvents();
        const QStringList walk = productOrder();
        const int truePlace = int(walk.indexOf("a002500"));
        QVERIFY(truePlace >= CatalogueTable::FirstRows);

        clickTitle(grid, 1);
        QVERIFY2(!table(w).placeKnown(), "the new order's list came in before the first look");
        QCOMPARE(table(w).field(S::Archive).asString(), QString("a002500"));
        QCOMPARE(panel(w, 0), QString());
        const int shownAt = grid->currentRecord();
        QVERIFY(shownAt >= 0);
        const QRect place = grid->recordRect(shownAt, 1);
        QVERIFY(grid->viewport()->rect().contains(place));
        const QStringList before = shownArchives(grid);
        const int top = grid->topRecord();
        QCOMPARE(before, walk.mid(truePlace - (shownAt - top), before.size()));
        QDir().mkpath("artifacts");
        w.grab().save("artifacts/large-catalogue-sorted-at-once.png");

        const Shown s = settled(w);
        QVERIFY(table(w).placeKnown());
        QCOMPARE(s.recNo, truePlace + 1);
        QCOMPARE(s.position, QString("Record %1 of %2").arg(truePlace + 1).arg(Records));
        QCOMPARE(s.gridRow, truePlace);
        QCOMPARE(grid->recordRect(truePlace, 1), place);
        QCOMPARE(shownArchives(grid), before);
        QCOMPARE(grid->topRecord(), top + truePlace - shownAt);
        w.grab().save("artifacts/large-catalogue-sorted.png");
        f.stop();
    }

    // Keys and clicks right after such a sort, while the list is read, end as they do
    // once it is in.
    void inputAfterASortFarActsAsLater_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("page down") << QString("page down");
        QTest::newRow("up") << QString("up");
        QTest::newRow("click on a row") << QString("click");
        QTest::newRow("wheel") << QString("wheel");
        QTest::newRow("another title") << QString("title");
    }

    void inputAfterASortFarActsAsLater()
    {
        QFETCH(QString, input);
        const auto run = [&](bool waitFirst) {
            MainWindowFixture f;
            startOn(f);
            TfrmMain &w = *f.window;
            settled(w);
            DBGrid *grid = child<DBGrid>(w, "grdContents");
            grid->setFocus();
            table(w).setRecNo(2501);
            QApplication::processEvents();
            clickTitle(grid, 1);
            if (waitFirst)
                settled(w);
            else
                [&] { QVERIFY(!table(w).placeKnown()); }();
            if (input == "page down") {
                QTest::keyClick(grid, Qt::Key_PageDown);
            } else if (input == "up") {
                QTest::keyClick(grid, Qt::Key_Up);
            } else if (input == "click") {
                const int row = grid->currentRecord() + 2;
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->recordRect(row, 0).center());
            } else if (input == "wheel") {
                const QPoint at = grid->viewport()->rect().center();
                QWheelEvent wheel(at, grid->viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, {},
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(grid->viewport(), &wheel);
            } else if (input == "title") {
                clickTitle(grid, 0);
            }
            Shown s = settled(w);
            const QStringList rows = shownArchives(grid);
            f.stop();
            return std::make_pair(s, rows);
        };
        const auto atOnce = run(false);
        if (QTest::currentTestFailed())
            return;
        const auto later = run(true);
        QCOMPARE(atOnce.first.position, later.first.position);
        QCOMPARE(atOnce.first.recNo, later.first.recNo);
        QCOMPARE(atOnce.first.archive, later.first.archive);
        QCOMPARE(atOnce.first.gridRow, later.first.gridRow);
        QCOMPARE(atOnce.second, later.second);
        QVERIFY(!later.first.position.isEmpty());
    }

    // A Page Down, a click on a column title or a save right after the window shows,
    // while the order list may still be read, ends as it does once it is in.
    void inputAtOnceActsAsLater_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("page down") << QString("page down");
        QTest::newRow("sort") << QString("sort");
        QTest::newRow("save") << QString("save");
        QTest::newRow("last") << QString("last");
        QTest::newRow("navigator last") << QString("navigator last");
    }

    void inputAtOnceActsAsLater()
    {
        QFETCH(QString, input);
        const auto act = [&](TfrmMain &w) {
            DBGrid *grid = child<DBGrid>(w, "grdContents");
            grid->setFocus();
            if (input == "page down") {
                for (int i = 0; i < 60; ++i)
                    QTest::keyClick(grid, Qt::Key_PageDown);
            } else if (input == "sort") {
                QHeaderView *titles = grid->horizontalHeader();
                const int x = titles->sectionViewportPosition(1) + titles->sectionSize(1) / 2;
                QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(x, titles->height() / 2));
            } else if (input == "save") {
                command(w, "ItmSave")->trigger();
            } else if (input == "navigator last") {
                command(w, "ItmRecord")->trigger();
                QTest::mouseClick(child<DBNavigator>(w, "navContents")->button(DBNavigator::Last), Qt::LeftButton);
                command(w, "ItmGrid")->trigger();
            } else if (input == "last") {
                QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
            }
        };
        Shown atOnce, later;
        {
            MainWindowFixture f;
            startOn(f);
            act(*f.window);
            atOnce = settled(*f.window);
            f.stop();
        }
        {
            MainWindowFixture f;
            startOn(f);
            settled(*f.window);
            act(*f.window);
            later = settled(*f.window);
            f.stop();
        }
        QCOMPARE(atOnce.position, later.position);
        QCOMPARE(atOnce.recNo, later.recNo);
        QCOMPARE(atOnce.archive, later.archive);
        QCOMPARE(atOnce.gridRow, later.gridRow);
        QCOMPARE(atOnce.gridRows, later.gridRows);
        QVERIFY(!later.position.isEmpty());
    }
};

QTEST_MAIN(TstLargeCatalogue)
#include "tst_large_catalogue.moc"
