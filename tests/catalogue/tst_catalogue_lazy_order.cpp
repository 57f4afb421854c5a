#include "../common/CatalogueFixture.h"

#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

constexpr int Records = 3000; // more than opening reads from the top

// What a person sees of the table: the place, the ends, the count and the rows.
struct Seen {
    int recNo = 0;
    int count = 0;
    bool bof = false;
    bool eof = false;
    QString archive;
    QStringList rows; // the archives of every row, by position

    bool operator==(const Seen &) const = default;
};

QStringList rowsOf(CatalogueTable &t)
{
    std::vector<CatalogueRow> rows;
    t.readRows(0, t.recordCount(), rows);
    QStringList out;
    for (const CatalogueRow &r : rows)
        out << r.values[S::Archive].toString();
    return out;
}

Seen seen(CatalogueTable &t)
{
    Seen s;
    s.recNo = t.recNo();
    s.count = t.recordCount();
    s.bof = t.bof();
    s.eof = t.eof();
    s.archive = archiveOf(t);
    s.rows = rowsOf(t);
    return s;
}

void openOn(CatalogueTable &t, const QTemporaryDir &dir, const QString &index)
{
    t.setDatabaseName(dir.path() + QLatin1Char('/'));
    t.setTableName(QStringLiteral("large.db"));
    if (!index.isEmpty())
        t.setIndexName(index);
    t.open();
}

void waitForOrder(CatalogueTable &t)
{
    QTRY_VERIFY((t.takeReadOrder(), t.knownRecordCount() >= 0 && t.placeKnown()));
}

// The shifts the table told.
struct Renumbering : TableObserver {
    QList<int> shifts;
    void tableEvent(TableEvent event, int info) override
    {
        if (event == TableEvent::Renumbered)
            shifts << info;
    }
};

} // namespace

class TstCatalogueLazyOrder : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CatalogueTable t;
        makeLargeCatalogue(t, m_dir, "large.db", Records);
        // Ties that differ in letter case only, and a third of the rows without an Origin.
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_dir.filePath("large.db")).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "UPDATE catalogue SET Status = CASE WHEN rowid % 5 = 0 THEN 'Testing' "
                                  "WHEN rowid % 2 = 0 THEN 'in use' ELSE 'In use' END, "
                                  "Origin = CASE WHEN rowid % 3 = 0 THEN NULL ELSE Origin END",
                              nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    void orders_data()
    {
        QTest::addColumn<QString>("index");
        QTest::newRow("archive") << QString();
        QTest::newRow("product up") << QString("idx_Product_Up");
        QTest::newRow("product down") << QString("idx_Product_Down");
        QTest::newRow("status down") << QString("idx_Status_Down");
    }

    // What shows before the order list is in is true, and once it is in, every record
    // number, the count and the rows are those of a walk from record to record.
    void lazilyKnownValuesEqualAFullWalk_data() { orders_data(); }
    void lazilyKnownValuesEqualAFullWalk()
    {
        QFETCH(QString, index);
        CatalogueTable walked;
        openOn(walked, m_dir, index);
        QStringList walk;
        QList<int> numbers;
        walked.first();
        while (!walked.eof()) {
            walk << archiveOf(walked);
            numbers << walked.recNo();
            walked.next();
        }
        QCOMPARE(walk.size(), Records);

        CatalogueTable t;
        openOn(t, m_dir, index);
        QVERIFY(t.orderPending());
        QCOMPARE(t.knownRecordCount(), -1); // not counted yet, and not shown as a number
        QCOMPARE(t.knownRowCount(), CatalogueTable::FirstRows);
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(archiveOf(t), walk.first());
        std::vector<CatalogueRow> first;
        t.readRows(0, CatalogueTable::FirstRows, first);
        QCOMPARE(int(first.size()), CatalogueTable::FirstRows);
        for (int pos = 0; pos < CatalogueTable::FirstRows; pos += 97)
            QCOMPARE(first[size_t(pos)].values[S::Archive].toString(), walk[pos]);

        waitForOrder(t);
        QVERIFY(!t.orderPending());
        QCOMPARE(t.knownRecordCount(), qint64(Records));
        QCOMPARE(t.knownRowCount(), Records);
        QCOMPARE(t.recNo(), 1);
        QVERIFY(t.bof());
        QVERIFY(!t.eof());
        QCOMPARE(rowsOf(t), walk);
        for (int pos = 0; pos < Records; pos += 211) {
            t.setRecNo(pos + 1);
            QCOMPARE(archiveOf(t), walk[pos]);
            QCOMPARE(t.recNo(), numbers[pos]);
        }
    }

    // A new order shows at once. When the current record is among its first rows its
    // place is known; beyond them the rows around it are read by key and shown at a
    // provisional place (where it was, or counted from the end), with the ends of the
    // table as they are, until the order list tells the true place. Either way the
    // rows, the place and the count end as a walk gives them.
    void sortKeepsTheRecordAndItsPlace_data()
    {
        QTest::addColumn<int>("recNo");     // current before the sort, in the Archive order
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("known");    // the place is known at once
        QTest::newRow("to the top") << Records << QString("idx_Archive_Down") << true;
        QTest::newRow("among the first rows") << Records - 200 << QString("idx_Archive_Down") << true;
        QTest::newRow("among the first rows, past those counted") << Records - 500 << QString("idx_Archive_Down") << false;
        QTest::newRow("far down") << 1 << QString("idx_Archive_Down") << false;
        QTest::newRow("far down, from the middle") << 1400 << QString("idx_Archive_Down") << false;
        QTest::newRow("another field, near the top") << 2 << QString("idx_Product_Up") << true;
        QTest::newRow("another field, far down") << Records << QString("idx_Product_Up") << false;
        QTest::newRow("another field, in the middle") << 1701 << QString("idx_Status_Down") << false;
        QTest::newRow("without a value, those with one before") << 2100 << QString("idx_Origin_Down") << false;
        QTest::newRow("with a value, those without before") << 2101 << QString("idx_Origin_Up") << false;
    }

    void sortKeepsTheRecordAndItsPlace()
    {
        QFETCH(int, recNo);
        QFETCH(QString, index);
        QFETCH(bool, known);
        CatalogueTable walked;
        openOn(walked, m_dir, index);
        QStringList walk;
        walked.first();
        while (!walked.eof()) {
            walk << archiveOf(walked);
            walked.next();
        }

        CatalogueTable t;
        Renumbering renumbering;
        t.addObserver(&renumbering);
        openOn(t, m_dir, QString());
        waitForOrder(t);
        t.setRecNo(recNo);
        const QString current = archiveOf(t);
        const int truePlace = int(walk.indexOf(current));
        t.setIndexName(index);
        QVERIFY(t.orderPending());
        QCOMPARE(t.placeKnown(), known);
        QCOMPARE(t.knownRecordCount(), qint64(Records));
        QCOMPARE(archiveOf(t), current);
        QCOMPARE(t.bof(), truePlace == 0);
        QCOMPARE(t.eof(), truePlace == Records - 1);
        const int shown = t.recNo() - 1;
        if (known) {
            QCOMPARE(shown, truePlace);
            std::vector<CatalogueRow> first;
            t.readRows(0, 40, first);
            for (int pos = 0; pos < 40; ++pos)
                QCOMPARE(first[size_t(pos)].values[S::Archive].toString(), walk[pos]);
        } else {
            constexpr int Reach = CatalogueTable::PlaceReach;
            QVERIFY(truePlace >= Reach);
            // Where it was, unless few rows follow it: then the count less those rows.
            const int following = Records - 1 - truePlace;
            QCOMPARE(shown, following < Reach ? truePlace : std::max(Reach, std::min(recNo - 1, Records - 1 - Reach)));
            // The rows a grid would show around it, read in blocks, are the walk's.
            for (const int from : {shown - 250, shown - 3, shown + 40, shown + 120}) {
                std::vector<CatalogueRow> rows;
                t.readRows(from, 128, rows);
                QCOMPARE(int(rows.size()), 128);
                for (int i = 0; i < 128; ++i) {
                    const int truePos = from + i + truePlace - shown;
                    QCOMPARE(rows[size_t(i)].values[S::Archive].toString(),
                             truePos < Records ? walk[truePos] : QString());
                }
            }
        }
        waitForOrder(t);
        QCOMPARE(t.recNo(), truePlace + 1);
        QCOMPARE(renumbering.shifts, known ? QList<int>{} : QList<int>{truePlace - shown});
        QCOMPARE(t.bof(), truePlace == 0);
        QCOMPARE(t.eof(), truePlace == Records - 1);
        QCOMPARE(rowsOf(t), walk);
        t.removeObserver(&renumbering);
    }

    // Whatever is asked before the order list is in gives what it gives after it.
    void inputDuringTheReadingActsAsAfterIt_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action : {"page down past the first rows", "next", "last", "sort", "post", "insert", "delete",
                                   "sort far, then next", "sort far, then a record chosen", "sort far, then post",
                                   "sort far, then sort again", "sort far, then delete", "sort far, then find"})
            QTest::newRow(action) << QString(action);
    }

    void inputDuringTheReadingActsAsAfterIt()
    {
        QFETCH(QString, action);
        const QString path = m_dir.filePath("input.db");
        QFile::remove(path);
        QVERIFY(QFile::copy(m_dir.filePath("large.db"), path));
        // For the sorts far, "during" is while the new order's list is read.
        const auto act = [&](CatalogueTable &t, bool waitFirst) {
            if (action.startsWith("page down")) {
                t.setRecNo(CatalogueTable::FirstRows + 200);
            } else if (action == "next") {
                t.next();
            } else if (action == "last") {
                t.last();
            } else if (action == "sort") {
                t.setIndexName("idx_Product_Down");
            } else if (action == "post") {
                t.edit();
                t.field(S::Archive).setAsString("zz-moved.zip"); // to the far end of the order
                t.post();
            } else if (action == "insert") {
                addRecord(t, {"a001500x.zip", "New", "Unit", "In use", ""});
            } else if (action == "delete") {
                t.remove();
            } else if (action.startsWith("sort far")) {
                // From a record the new order puts beyond its first rows.
                t.setRecNo(3); // no Origin: among the last rows
                t.setIndexName("idx_Origin_Down");
                if (waitFirst)
                    waitForOrder(t);
                else
                    QVERIFY2(!t.placeKnown(), "the new order's list was in before the input");
                if (action.endsWith("next")) {
                    t.next();
                } else if (action.endsWith("chosen")) {
                    t.setRecNo(t.recNo() + 7); // counted from the place shown
                } else if (action.endsWith("post")) {
                    t.edit();
                    t.field(S::Origin).setAsString("zzz first");
                    t.post();
                } else if (action.endsWith("again")) {
                    t.setIndexName("idx_Status_Down");
                } else if (action.endsWith("delete")) {
                    t.remove();
                } else if (action.endsWith("find")) {
                    QVERIFY(t.findText("a00290", {S::Archive}, SearchStart::Next));
                }
            }
        };
        const auto run = [&](bool waitFirst, Seen &out) {
            QFile::remove(path);
            QFile::copy(m_dir.filePath("large.db"), path);
            CatalogueTable t;
            t.setDatabaseName(m_dir.path() + QLatin1Char('/'));
            t.setTableName("input.db");
            t.open();
            if (waitFirst)
                waitForOrder(t);
            else
                QVERIFY2(t.orderPending(), "the order list was in before the input");
            act(t, waitFirst);
            waitForOrder(t); // what was still pending comes in, and changes nothing
            out = seen(t);
        };
        Seen during, after;
        run(false, during);
        run(true, after);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(during.recNo, after.recNo);
        QCOMPARE(during.count, after.count);
        QCOMPARE(during.bof, after.bof);
        QCOMPARE(during.eof, after.eof);
        QCOMPARE(during.archive, after.archive);
        QCOMPARE(during.rows, after.rows);
    }

    // Another program's record, written while the order list is being read, is in the
    // list taken: a reading the file outdated is not used.
    void anotherProgramsWriteDuringTheReadingCounts()
    {
        const QString path = m_dir.filePath("shared.db");
        QFile::remove(path);
        QVERIFY(QFile::copy(m_dir.filePath("large.db"), path));
        CatalogueTable t;
        t.setDatabaseName(m_dir.path() + QLatin1Char('/'));
        t.setTableName("shared.db");
        t.open();
        QVERIFY(t.orderPending());
        QVERIFY(!t.takeReadOrder()); // the reading starts
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 5000);
        QCOMPARE(sqlite3_exec(db, "INSERT INTO catalogue (Archive, Product, Type) VALUES ('a000000a', 'x', 'Unit')",
                              nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        waitForOrder(t);
        QCOMPARE(t.knownRecordCount(), qint64(Records + 1));
        t.setRecNo(2);
        QCOMPARE(archiveOf(t), QString("a000000a"));
    }

    // A catalogue small enough is read whole when it opens: its count is known at once.
    void smallCatalogueIsCountedAtOnce()
    {
        CatalogueTable t;
        makeCatalogueFile(m_dir.path(), "small.db", fourRecords());
        t.setDatabaseName(m_dir.path() + QLatin1Char('/'));
        t.setTableName("small.db");
        t.open();
        QVERIFY(!t.orderPending());
        QCOMPARE(t.knownRecordCount(), 4);
        QCOMPARE(t.knownRowCount(), 4);
    }
};

QTEST_GUILESS_MAIN(TstCatalogueLazyOrder)
#include "tst_catalogue_lazy_order.moc"
