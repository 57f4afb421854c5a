#include "catalogue/DataSource.h"
#include "tests/common/CatalogueFixture.h"
#include "tests/widgets/WidgetShot.h"
#include "widgets/grid/CatalogueGridModel.h"
#include "widgets/grid/DBGrid.h"
#include "widgets/grid/FlagDelegate.h"
#include "widgets/grid/GridIndicatorHeader.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

class TstDbGrid : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"a.zip", "Alpha", "Unit", "In use", "www.a.org", true},
        {"b.zip", "Beta", "Tool", "Testing", "www.b.org", false},
        {"c.zip", "Gamma", "Component", "Unseen", "", QVariant()},
        {"d.zip", "Delta", "Expert", "Discarded", "www.d.org", true},
    };

    static QPixmap solid(const QColor &color)
    {
        QPixmap p(FlagDelegate::PictureSize, FlagDelegate::PictureSize);
        p.fill(color);
        return p;
    }

    static QStringList titles(const QAbstractItemModel &m)
    {
        QStringList out;
        for (int c = 0; c < m.columnCount(); ++c)
            out << m.headerData(c, Qt::Horizontal).toString();
        return out;
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    // The model stays consistent through every change the table announces.
    void modelIsConsistent()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "tester.db", m_sample);
        DataSource ds(&t);
        CatalogueGridModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setDataSource(&ds);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 10);

        addRecord(t, {"0.zip", "First", "Unit", "In use", "", false});
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.index(0, 0).data().toString(), QString("0.zip"));
        t.setIndexName("idx_Product_Down");
        QCOMPARE(model.index(0, 1).data().toString(), QString("Gamma"));
        t.remove();
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(model.setColumnField(0, S::Origin));
        t.close();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.index(0, 0).data(), QVariant());
        t.open();
        QCOMPARE(model.rowCount(), 4);
        t.disableControls();
        addRecord(t, {"e.zip", "Epsilon", "Unit", "In use", "", false});
        QCOMPARE(model.rowCount(), 4);
        t.enableControls();
        QCOMPARE(model.rowCount(), 5);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    }

    // A window shows the records from its top, never one past the last, and keeps the
    // model consistent as it moves, shrinks and as records come and go.
    void windowShowsRecordsFromItsTop_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("shownTop");
        QTest::addColumn<int>("shownRows");
        QTest::newRow("inside") << 250 << 40 << 250 << 40;
        QTest::newRow("past the last record") << 290 << 40 << 290 << 10;
        QTest::newRow("at the last record") << 299 << 5 << 299 << 1;
        QTest::newRow("beyond the end") << 5000 << 5 << 299 << 1;
        QTest::newRow("before the first") << -7 << 3 << 0 << 3;
        QTest::newRow("no rows") << 10 << 0 << 10 << 1;
    }

    void windowShowsRecordsFromItsTop()
    {
        QFETCH(int, top);
        QFETCH(int, rows);
        QFETCH(int, shownTop);
        QFETCH(int, shownRows);
        CatalogueTable t;
        makeLargeCatalogue(t, m_dir, "window.db", 300);
        t.open();
        DataSource ds(&t);
        CatalogueGridModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setDataSource(&ds);
        QCOMPARE(model.rowCount(), 300);   // the whole table until a view sets a window
        model.setWindow(280, 30);
        model.setWindow(top, rows);
        QCOMPARE(model.windowTop(), shownTop);
        QCOMPARE(model.rowCount(), shownRows);
        QCOMPARE(model.recordRows(), 300);
        for (int row = 0; row < shownRows; ++row)
            QCOMPARE(model.index(row, 0).data().toString(), QString("a%1").arg(shownTop + row, 6, 10, QLatin1Char('0')));
        QCOMPARE(model.recordAt(shownRows - 1), shownTop + shownRows - 1);
        QCOMPARE(model.recordAt(shownRows), -1);
        QCOMPARE(model.rowOf(shownTop), 0);
        QCOMPARE(model.rowOf(shownTop - 1), -1);
        QCOMPARE(model.rowOf(shownTop + shownRows), -1);

        // Records removed under the window: it keeps to the records that remain.
        t.setRecNo(300);
        for (int i = 0; i < 5; ++i)
            t.remove();
        QCOMPARE(model.recordRows(), 295);
        QVERIFY(model.windowTop() <= 294);
        QCOMPARE(model.rowCount(), std::min(model.windowRows(), 295 - model.windowTop()));
        const int last = model.rowCount() - 1;
        QCOMPARE(model.index(last, 0).data().toString(),
                 QString("a%1").arg(model.windowTop() + last, 6, 10, QLatin1Char('0')));
    }

    void defaultColumns()
    {
        CatalogueGridModel model;
        QCOMPARE(titles(model), (QStringList{"Archive", "Product", "Type", "D1", "D2", "D3", "CB", "Status",
                                             "Source", "Origin"}));
        QCOMPARE(model.columnField(6), int(S::Cb));
        QCOMPARE(model.columnField(9), int(S::Origin));
        QCOMPARE(model.columnField(10), -1);
    }

    void columnBinding()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "binding.db", m_sample);
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        QAbstractItemModel &m = *grid.model();

        QVERIFY(grid.setColumn(0, S::Origin, 120));
        QCOMPARE(grid.columnField(0), int(S::Origin));
        QCOMPARE(grid.columnWidth(0), 120);
        QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QString("Origin"));
        QCOMPARE(m.index(1, 0).data().toString(), QString("www.b.org"));

        QVERIFY(grid.setColumnField(9, S::Guide));
        QCOMPARE(m.index(0, 9).data().toString(), QString("(Memo)"));
        QVERIFY(grid.setColumnField(8, S::CurrImg));
        QCOMPARE(m.headerData(8, Qt::Horizontal).toString(), QString(" "));

        QVERIFY(!grid.setColumn(0, 14, 50));
        QVERIFY(!grid.setColumn(10, 0, 50));
        QVERIFY(!grid.setColumnField(-1, 0));
        QCOMPARE(grid.columnField(0), int(S::Origin));
        QCOMPARE(grid.columnWidth(0), 120);

        // Widths the user gave survive a change of the rows.
        grid.setColumnWidth(1, 77);
        addRecord(t, {"e.zip", "Epsilon", "Unit", "In use", "", false});
        QCOMPARE(grid.columnWidth(0), 120);
        QCOMPARE(grid.columnWidth(1), 77);
    }

    void flagValues_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("true") << 0 << QVariant(true) << "True";
        QTest::newRow("false") << 1 << QVariant(false) << "False";
        QTest::newRow("empty") << 2 << QVariant() << "";
    }

    void flagValues()
    {
        QFETCH(int, row);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "flagvalues.db", m_sample);
        DataSource ds(&t);
        CatalogueGridModel model;
        model.setDataSource(&ds);
        const QModelIndex d1 = model.index(row, 3);
        QCOMPARE(d1.data(CatalogueGridModel::ValueRole), value);
        QCOMPARE(d1.data().toString(), text);
        QCOMPARE(d1.data(CatalogueGridModel::FieldPosRole).toInt(), int(S::D1));
    }

    // Flag columns show the picture for their value, centred across the cell at its
    // top, on the cell's background; drawn by the field they show, not by their place.
    void flagDrawing()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "drawing.db", m_sample);
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.setFlagPictures(solid(Qt::red), solid(Qt::blue));
        QVERIFY(grid.setColumn(0, S::D1, 40));     // a flag in the first column
        QVERIFY(grid.setColumn(3, S::Origin, 60)); // text where D1 stood
        grid.resize(600, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        t.setRecNo(2);
        const QImage shot = grid.viewport()->grab().toImage();
        const auto at = [&](int row, int column, int dx, int dy) {
            const QRect cell = grid.visualRect(grid.model()->index(row, column));
            return shot.pixelColor(FlagDelegate::picturePos(cell) + QPoint(dx, dy));
        };
        QCOMPARE(at(0, 0, 8, 8), QColor(Qt::red));
        QCOMPARE(at(0, 0, 0, 0), QColor(Qt::red));
        QCOMPARE(at(0, 0, 16, 16), QColor(Qt::red));
        QCOMPARE(at(1, 0, 8, 8), QColor(Qt::blue));
        QCOMPARE(at(2, 0, 8, 8), QColor(Qt::blue));   // no value: unchecked
        QCOMPARE(at(3, 0, 8, 8), QColor(Qt::red));
        const QRect cell = grid.visualRect(grid.model()->index(0, 0));
        QCOMPARE(FlagDelegate::picturePos(cell), QPoint(cell.left() + (cell.width() - 17) / 2, cell.top()));
        QCOMPARE(at(0, 0, -2, 4), grid.palette().color(QPalette::Active, QPalette::Base));
        // The current cell is selected: its picture sits on the highlight.
        QCOMPARE(at(1, 0, -2, 4), grid.palette().color(QPalette::Active, QPalette::Highlight));
        // Origin in the fourth column draws text, no picture.
        for (int row = 0; row < 4; ++row) {
            const QColor c = at(row, 3, 8, 8);
            QVERIFY(c != QColor(Qt::red) && c != QColor(Qt::blue));
        }
        // Cb, moved nowhere, still draws its picture in its own column.
        QCOMPARE(at(0, 6, 8, 8), QColor(Qt::blue));
    }

    void currentRowFollowsTable()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "current.db", m_sample);
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.resize(600, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.indicator()->currentRow(), 0);
        QCOMPARE(grid.indicator()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(grid.indicator()->width(), int(GridIndicatorHeader::IndicatorWidth));

        t.setRecNo(3);
        QCOMPARE(grid.currentIndex().row(), 2);
        QCOMPARE(grid.indicator()->currentRow(), 2);
        // The mark is drawn in the current row's section only.
        const QImage marks = grid.indicator()->viewport()->grab().toImage();
        const auto darkPixels = [&](int row) {
            const int top = grid.indicator()->sectionViewportPosition(row);
            int dark = 0;
            for (int y = top + 2; y < top + grid.indicator()->sectionSize(row) - 2; ++y) {
                for (int x = 2; x < marks.width() - 2; ++x)
                    dark += qGray(marks.pixel(x, y)) < 80;
            }
            return dark;
        };
        QVERIFY(darkPixels(2) > 5);
        QCOMPARE(darkPixels(1), 0);
        t.edit();
        QCOMPARE(grid.indicator()->mark(), GridIndicatorHeader::Mark::Edit);
        t.cancel();
        QCOMPARE(grid.indicator()->mark(), GridIndicatorHeader::Mark::Browse);

        // Choosing a row moves the table.
        const QRect second = grid.visualRect(grid.model()->index(1, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(t.recNo(), 2);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(t.recNo(), 3);
        QCOMPARE(grid.indicator()->currentRow(), 2);
        // Tab moves between columns and stays on the record.
        QTest::keyClick(&grid, Qt::Key_Tab);
        QCOMPARE(grid.currentIndex().column(), 3);
        QCOMPARE(t.recNo(), 3);
    }

    // A move the table refuses (its record cannot be posted) is reported and the
    // grid goes back to the table's row.
    void refusedMove()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "refused.db", m_sample);
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.resize(600, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy errors(&grid, &DBGrid::errorRaised);
        t.edit();
        t.field(S::Product).clear();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(2, 0)).center());
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(errors.last().at(0).toString(), QString("Field 'Product' must have a value"));
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(grid.currentIndex().row(), 0);
    }

    void titleAndDoubleClick()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "clicks.db", m_sample);
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.setColumnField(2, S::Status);
        grid.resize(600, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy titles(&grid, &DBGrid::titleClicked);
        QSignalSpy doubles(&grid, &DBGrid::recordDoubleClicked);
        QHeaderView *header = grid.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.last().at(0).toInt(), 2);
        QCOMPARE(titles.last().at(1).toInt(), int(S::Status));
        QCOMPARE(t.recNo(), 1);   // no sorting of its own

        const QPoint cell = grid.visualRect(grid.model()->index(3, 1)).center();
        // The view takes a double click as the second click of a pair.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(t.recNo(), 4);
    }

    // A large catalogue is read only where it is looked at, in bounded memory.
    void lazyReads()
    {
        CatalogueTable t;
        makeLargeCatalogue(t, m_dir, "lazy.db", 20000);
        t.open();
        DataSource ds(&t);
        CatalogueGridModel model;
        model.setDataSource(&ds);
        // The first rows show before the catalogue is counted; the rest once its order
        // list, read on a thread of its own, is in.
        QCOMPARE(model.rowCount(), CatalogueTable::FirstRows);
        QCOMPARE(model.rowsRead(), 0);
        QCOMPARE(model.index(CatalogueTable::FirstRows - 1, 0).data().toString(), QString("a001023"));
        QTRY_VERIFY((t.takeReadOrder(), t.knownRecordCount() >= 0));
        QCOMPARE(model.rowCount(), 20000);
        const qint64 before = model.rowsRead();
        QCOMPARE(before, qint64(CatalogueGridModel::BlockRows));
        QCOMPARE(model.index(15000, 0).data().toString(), QString("a015000"));
        QCOMPARE(model.index(15001, 3).data(CatalogueGridModel::ValueRole), QVariant(false));
        QCOMPARE(model.index(15002, 6).data(CatalogueGridModel::ValueRole), QVariant());
        QCOMPARE(model.rowsRead() - before, qint64(CatalogueGridModel::BlockRows));
        for (int row = 0; row < 20000; row += 97)
            QCOMPARE(model.index(row, 1).data().toString(), QString("Product %1").arg(row));
        QVERIFY(model.cachedBlocks() <= CatalogueGridModel::MaxBlocks);
    }

    void largeCatalogueIsQuick()
    {
        CatalogueTable t;
        makeLargeCatalogue(t, m_dir, "large.db", 100000);
        QElapsedTimer timer;
        timer.start();
        t.open();
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.resize(620, 365);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.recordRows(), CatalogueTable::FirstRows);
        grid.viewport()->repaint();
        const qint64 opened = timer.restart();
        QTRY_VERIFY((t.takeReadOrder(), t.knownRecordCount() >= 0));
        QCOMPARE(grid.recordRows(), 100000);

        // Page through a few screens spread over the catalogue.
        QScrollBar *bar = grid.verticalScrollBar();
        qint64 slowest = 0;
        for (int step = 0; step <= 10; ++step) {
            QElapsedTimer page;
            page.start();
            bar->setValue(bar->maximum() * step / 10);
            grid.viewport()->repaint();
            slowest = std::max(slowest, page.elapsed());
        }
        // At the end the last record sits on the bottom edge.
        QCOMPARE(grid.topRecord(), bar->maximum());
        const int bottom = grid.rowAt(grid.viewport()->height() - 2);
        QCOMPARE(grid.gridModel()->recordAt(bottom), 99999);
        QCOMPARE(grid.model()->index(bottom, 0).data().toString(), QString("a099999"));
        t.last();
        QCOMPARE(grid.currentRecord(), 99999);
        qInfo("100000 records: open and first screen %lld ms, slowest page %lld ms", opened, slowest);
        QVERIFY2(opened < 2000, qPrintable(QString::number(opened)));
        QVERIFY2(slowest < 250, qPrintable(QString::number(slowest)));
    }

    // Over many records the grid holds the rows it shows, not one per record, and the
    // keys, clicks, the wheel and the scroll bar reach the records they always did.
    void manyRecordsMoves()
    {
        constexpr int Records = 5000;
        CatalogueTable t;
        makeLargeCatalogue(t, m_dir, "moves.db", Records);
        t.open();
        t.prepareOrder();
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.resize(620, 365);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        QTRY_VERIFY((t.takeReadOrder(), t.knownRecordCount() == Records));
        QCOMPARE(grid.recordRows(), Records);
        QVERIFY2(grid.verticalHeader()->count() <= 100, qPrintable(QString::number(grid.verticalHeader()->count())));
        QVERIFY(grid.model()->rowCount() <= 100);

        const int rowHeight = grid.verticalHeader()->defaultSectionSize();
        const int page = grid.viewport()->height() / rowHeight;      // rows a Page Down moves
        const int fullRows = page;                                   // rows wholly in view
        QScrollBar *bar = grid.verticalScrollBar();
        // The current record is where the table is, marked, drawn and in view.
        const auto check = [&](int record) {
            QCOMPARE(grid.currentRecord(), record);
            QCOMPARE(t.recNo(), record + 1);
            QCOMPARE(t.field(S::Archive).asString(), QString("a%1").arg(record, 6, 10, QLatin1Char('0')));
            QCOMPARE(grid.indicator()->currentRow(), grid.gridModel()->rowOf(record));
            QVERIFY2(grid.topRecord() <= record && record < grid.topRecord() + fullRows,
                     qPrintable(QString("%1 not in view from %2").arg(record).arg(grid.topRecord())));
            QCOMPARE(grid.currentIndex().data().toString(), t.field(grid.columnField(grid.currentIndex().column())).asString());
            QCOMPARE(bar->value(), grid.topRecord());
            const QRect cell = grid.visualRect(grid.currentIndex());
            QVERIFY2(grid.viewport()->rect().contains(cell), qPrintable(QString("cell at %1,%2").arg(cell.x()).arg(cell.y())));
        };
        check(0);
        QTest::keyClick(&grid, Qt::Key_Down);
        check(1);
        for (int i = 1; i <= 3; ++i) {
            QTest::keyClick(&grid, Qt::Key_PageDown);
            check(1 + i * page);
        }
        QCOMPARE(grid.topRecord(), 1 + 3 * page - fullRows + 1);
        QTest::keyClick(&grid, Qt::Key_PageUp);
        check(1 + 2 * page);
        QTest::keyClick(&grid, Qt::Key_Up);
        check(2 * page);

        // A click on the third row shown.
        const int top = grid.topRecord();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.recordRect(top + 2, 1).center());
        check(top + 2);
        QCOMPARE(grid.currentIndex().column(), 1);
        // A click on the row cut at the bottom chooses it without moving the rows.
        const int cut = grid.topRecord() + fullRows;
        QVERIFY(grid.viewport()->height() % rowHeight > 4);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          QPoint(grid.recordRect(cut, 2).center().x(), grid.viewport()->height() - 2));
        QCOMPARE(t.recNo(), cut + 1);
        QCOMPARE(grid.topRecord(), top);
        QCOMPARE(grid.selectionModel()->selectedIndexes(), QModelIndexList{grid.currentIndex()});
        QCOMPARE(grid.gridModel()->recordAt(grid.currentIndex().row()), cut);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.recordRect(top + 2, 1).center());
        check(top + 2);

        // The wheel moves the rows shown, not the current record, three rows a notch.
        const auto wheel = [&](int notches) {
            const QPoint at = grid.viewport()->rect().center();
            QWheelEvent event(at, grid.viewport()->mapToGlobal(at), {}, {0, -120 * notches}, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid.viewport(), &event);
        };
        wheel(1);
        QCOMPARE(grid.topRecord(), top + 3);
        QCOMPARE(t.recNo(), top + 3);
        for (int i = 0; i < 100; ++i)
            wheel(1);
        QCOMPARE(grid.topRecord(), top + 303);
        QCOMPARE(t.recNo(), top + 3);
        QCOMPARE(grid.indicator()->currentRow(), grid.gridModel()->rowOf(top + 2));
        // A key moves from the current record, out of view as it is, and brings it in.
        QTest::keyClick(&grid, Qt::Key_Down);
        check(top + 3);

        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        check(Records - 1);
        QCOMPARE(grid.topRecord(), Records - fullRows);
        QCOMPARE(bar->maximum(), Records - fullRows);
        QCOMPARE(grid.currentIndex().column(), grid.gridColumnCount() - 1);
        QVERIFY(grid.horizontalScrollBar()->value() > 0);   // the last column came into view
        // The last record sits on the bottom edge; the one above the first whole row shows cut.
        QCOMPARE(grid.rowAt(grid.viewport()->height() - 1), grid.gridModel()->rowOf(Records - 1));
        QCOMPARE(grid.gridModel()->recordAt(grid.rowAt(0)), Records - fullRows - 1);
        QTest::keyClick(&grid, Qt::Key_Up);
        check(Records - 2);
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        check(Records - 1);
        QTest::keyClick(&grid, Qt::Key_PageDown);
        check(Records - 1);
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        check(0);
        QCOMPARE(grid.topRecord(), 0);

        // The scroll bar; then the table moves far away and the grid follows.
        bar->setValue(2500);
        QCOMPARE(grid.topRecord(), 2500);
        const int row = grid.rowAt(grid.viewport()->height() / 2);
        const int middle = grid.gridModel()->recordAt(row);
        QCOMPARE(middle, 2500 + grid.viewport()->height() / 2 / rowHeight);
        QCOMPARE(grid.model()->index(row, 0).data().toString(), QString("a%1").arg(middle, 6, 10, QLatin1Char('0')));
        t.setRecNo(4000);
        check(3999);
        QVERIFY(grid.verticalHeader()->count() <= 100);
    }

    // Before a large catalogue is counted the scroll bar reaches the rows known; when
    // the count comes in it reaches the last record, and the rows shown stay put.
    void scrollBarGrowsWithTheCount()
    {
        CatalogueTable t;
        makeLargeCatalogue(t, m_dir, "growing.db", 20000);
        t.open();
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        grid.resize(620, 365);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int whole = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
        QScrollBar *bar = grid.verticalScrollBar();
        QCOMPARE(grid.recordRows(), CatalogueTable::FirstRows);
        QCOMPARE(bar->maximum(), CatalogueTable::FirstRows - whole);
        bar->setValue(bar->maximum());
        QCOMPARE(grid.topRecord(), CatalogueTable::FirstRows - whole);
        QTRY_VERIFY((t.takeReadOrder(), t.knownRecordCount() >= 0));
        QCOMPARE(grid.recordRows(), 20000);
        QCOMPARE(bar->maximum(), 20000 - whole);
        QCOMPARE(grid.topRecord(), CatalogueTable::FirstRows - whole);
        QCOMPARE(bar->value(), grid.topRecord());
        QCOMPARE(t.recNo(), 1);
        QVERIFY(grid.verticalHeader()->count() <= whole + 2);
        bar->setValue(bar->maximum());
        const int last = grid.gridModel()->rowOf(19999);
        QVERIFY(last >= 0);
        QCOMPARE(grid.model()->index(last, 0).data().toString(), QString("a019999"));
    }

    void screenshot()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "shot.db", m_sample);
        t.edit();
        t.field(S::D3).setAsBoolean(true);
        t.field(S::Source).setAsBoolean(true);
        t.post();
        DataSource ds(&t);
        DBGrid grid;
        grid.setDataSource(&ds);
        const int widths[] = {90, 110, 80, 30, 30, 30, 30, 70, 40, 100};
        for (int c = 0; c < 10; ++c)
            grid.setColumnWidth(c, widths[c]);
        grid.resize(620, 160);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        t.setRecNo(2);
        QVERIFY(QFile::exists(saveShot(grid, "dbgrid.png")));
    }
};

QTEST_MAIN(TstDbGrid)
#include "tst_dbgrid.moc"
