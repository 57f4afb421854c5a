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
    QTRY_VERIFY((t.takeReadOrder(), t.knownRecordCount() >= 0));
}

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

    // A new order shows at once when the current record is among its first rows: its
    // place is known, the count stays, and the list read afterwards agrees with a walk.
    void sortKeepsTheRecordAndItsPlace_data()
    {
        QTest::addColumn<int>("recNo");     // current before the sort, in the Archive order
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("atOnce");   // the rest of the list is read afterwards
        QTest::newRow("to the top") << Records << QString("idx_Archive_Down") << true;
        QTest::newRow("among the first rows") << Records - 500 << QString("idx_Archive_Down") << true;
        QTest::newRow("far down") << 1 << QString("idx_Archive_Down") << false;
        QTest::newRow("another field, near the top") << 2 << QString("idx_Product_Up") << true;
        QTest::newRow("another field, far down") << Records << QString("idx_Product_Up") << false;
    }

    void sortKeepsTheRecordAndItsPlace()
    {
        QFETCH(int, recNo);
        QFETCH(QString, index);
        QFETCH(bool, atOnce);
        CatalogueTable walked;
        openOn(walked, m_dir, index);
        QStringList walk;
        walked.first();
        while (!walked.eof()) {
            walk << archiveOf(walked);
            walked.next();
        }

        CatalogueTable t;
        openOn(t, m_dir, QString());
        waitForOrder(t);
        t.setRecNo(recNo);
        const QString current = archiveOf(t);
        t.setIndexName(index);
        QCOMPARE(t.orderPending(), atOnce);
        QCOMPARE(t.knownRecordCount(), qint64(Records));
        QCOMPARE(archiveOf(t), current);
        QCOMPARE(t.recNo(), int(walk.indexOf(current)) + 1);
        std::vector<CatalogueRow> first;
        t.readRows(0, 40, first);
        for (int pos = 0; pos < 40; ++pos)
            QCOMPARE(first[size_t(pos)].values[S::Archive].toString(), walk[pos]);
        waitForOrder(t);
        QCOMPARE(t.recNo(), int(walk.indexOf(current)) + 1);
        QCOMPARE(rowsOf(t), walk);
    }

    // Whatever is asked before the order list is in gives what it gives after it.
    void inputDuringTheReadingActsAsAfterIt_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action : {"page down past the first rows", "next", "last", "sort", "post", "insert", "delete"})
            QTest::newRow(action) << QString(action);
    }

    void inputDuringTheReadingActsAsAfterIt()
    {
        QFETCH(QString, action);
        const QString path = m_dir.filePath("input.db");
        QFile::remove(path);
        QVERIFY(QFile::copy(m_dir.filePath("large.db"), path));
        const auto act = [&](CatalogueTable &t) {
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
            act(t);
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
