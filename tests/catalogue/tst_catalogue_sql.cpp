#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/CatalogueSql.h"
#include "catalogue/engine/Connection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sqlite3.h>

namespace S = CatalogueSchema;

namespace {

// Every order the table reads in: the key order and each index's.
QList<CatalogueOrder> allOrders()
{
    QList<CatalogueOrder> orders{CatalogueOrder{}};
    for (int i = 0; i < S::IndexCount; ++i)
        orders << CatalogueOrder{i};
    return orders;
}

QString orderName(CatalogueOrder order)
{
    return order.isKeyOrder() ? QStringLiteral("key order") : QString::fromLatin1(S::indexes()[size_t(order.index)].name);
}

// A catalogue file opened with raw SQLite, as the statements' reader.
class Db
{
public:
    explicit Db(const QString &path)
    {
        sqlite3_open(QFile::encodeName(path).constData(), &m_db);
        Connection::addSearchFunction(m_db);
    }
    ~Db() { sqlite3_close(m_db); }
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    // Empty when `sql` prepares; else SQLite's reason.
    QString prepareError(const QString &sql) const
    {
        sqlite3_stmt *st = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr);
        sqlite3_finalize(st);
        return rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    // One column of every row, each parameter bound as text or integer.
    QStringList column(const QString &sql, const QVariantList &params = {}, int col = 0) const
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr);
        for (int i = 0; i < params.size(); ++i) {
            if (params[i].typeId() == QMetaType::Int)
                sqlite3_bind_int64(st, i + 1, params[i].toInt());
            else if (!params[i].isNull())
                sqlite3_bind_text(st, i + 1, params[i].toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        QStringList out;
        while (st && sqlite3_step(st) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, col)));
        sqlite3_finalize(st);
        return out;
    }
    void exec(const QString &sql) const { QCOMPARE(sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK); }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

class TstCatalogueSql : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const CatalogueSql::Columns m_cols = CatalogueSql::createdColumns();

    QString newCatalogue(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        CatalogueFile::create(path);
        return path;
    }

private slots:
    void createdColumnsAreTheSchemasNames()
    {
        QCOMPARE(m_cols[S::Cb], QString("CB"));
        QCOMPARE(m_cols[S::Archive], QString("Archive"));
        QCOMPARE(m_cols[S::Comments], QString("Comments"));
    }

    void everyStatementPrepares()
    {
        Db db(newCatalogue("prepare.db"));
        QStringList texts{CatalogueSql::tableColumns(), CatalogueSql::storedCode(), CatalogueSql::indexExists(),
                          CatalogueSql::countRows(), CatalogueSql::selectRecord(m_cols),
                          CatalogueSql::selectGridFields(m_cols), CatalogueSql::selectLongFields(m_cols),
                          CatalogueSql::selectSortKey(m_cols), CatalogueSql::insertRecord(m_cols),
                          CatalogueSql::updateFields(m_cols, {S::Origin}),
                          CatalogueSql::updateFields(m_cols, {S::Archive, S::Cb, S::CurrImg, S::Comments}),
                          CatalogueSql::deleteRecord(m_cols), CatalogueSql::begin(), CatalogueSql::beginWrite(),
                          CatalogueSql::durableWrites(), CatalogueSql::pageCache(), CatalogueSql::rebuildIndexes(),
                          CatalogueSql::compact()};
        for (const CatalogueOrder order : allOrders()) {
            texts << CatalogueSql::rowIdsInOrder(m_cols, order) << CatalogueSql::firstRowIds(m_cols, order)
                  << CatalogueSql::gridRowsInOrder(m_cols, order);
            for (const bool noValue : {false, true}) {
                texts << CatalogueSql::gridRowsBeside(m_cols, order, CatalogueSql::Toward::After, noValue)
                      << CatalogueSql::gridRowsBeside(m_cols, order, CatalogueSql::Toward::Before, noValue, true);
            }
        }
        texts << CatalogueSql::rowWithoutKey(m_cols);
        texts << CatalogueSql::dataVersion() << CatalogueSql::rowsHolding(m_cols, {S::Archive})
              << CatalogueSql::rowsHolding(m_cols, {S::Archive, S::Product, S::Origin});
        for (const QString &sql : texts)
            QVERIFY2(db.prepareError(sql).isEmpty(), qPrintable(sql + ": " + db.prepareError(sql)));
    }

    // Every order must be read straight from its index, also a page at a time and a
    // keyset step at a time: no sort step. A keyset step seeks to its anchor.
    void everyOrderIsServedByItsIndex_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("seeks");
        for (const CatalogueOrder order : allOrders()) {
            const QString name = orderName(order);
            QTest::newRow(qPrintable(name + ", row ids")) << CatalogueSql::rowIdsInOrder(m_cols, order) << false;
            QTest::newRow(qPrintable(name + ", first rows")) << CatalogueSql::firstRowIds(m_cols, order) << false;
            QTest::newRow(qPrintable(name + ", grid page")) << CatalogueSql::gridRowsInOrder(m_cols, order) << false;
            for (const auto toward : {CatalogueSql::Toward::After, CatalogueSql::Toward::Before}) {
                for (const bool noValue : {false, true}) {
                    const QStringList parts = CatalogueSql::gridRowsBeside(m_cols, order, toward, noValue);
                    for (int i = 0; i < parts.size(); ++i)
                        QTest::newRow(qPrintable(QString("%1, rows %2 %3, part %4").arg(name,
                                          toward == CatalogueSql::Toward::After ? "after" : "before",
                                          noValue ? "a row without value" : "a row").arg(i + 1)))
                            << parts[i] << true;
                }
            }
        }
    }

    void everyOrderIsServedByItsIndex()
    {
        QFETCH(QString, sql);
        QFETCH(bool, seeks);
        const QString path = m_dir.filePath("plan.db");
        if (!QFile::exists(path))
            newCatalogue("plan.db");
        const QString plan = Db(path).column("EXPLAIN QUERY PLAN " + sql, {}, 3).join('\n');
        QVERIFY2(!plan.contains("TEMP B-TREE"), qPrintable(sql + "\n" + plan));
        QVERIFY2(plan.contains("INDEX"), qPrintable(sql + "\n" + plan));
        if (seeks)
            QVERIFY2(plan.startsWith("SEARCH"), qPrintable(sql + "\n" + plan));
        // A read from a record seeks to the record itself, not only to its sort value:
        // among rows sharing the value (a status every record has) a seek to the value
        // alone walks through all of them.
        if (seeks && sql.contains("?2"))
            QVERIFY2(plan.contains("(Archive,Product,Type)"), qPrintable(sql + "\n" + plan));
    }

    // The search reads the table once in its own order, whatever order the window shows,
    // and gives only what matches: no index, no sort.
    void searchReadsTheTableOnce_data()
    {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("folded") << "zip" << QStringList{"1", "3"};
        QTest::newRow("not an unbroken piece") << "ab" << QStringList{"4"};
        QTest::newRow("accents as they are") << QString::fromUtf8("é") << QStringList{"2"};
        QTest::newRow("none") << "qq" << QStringList{};
    }

    void searchReadsTheTableOnce()
    {
        QFETCH(QString, needle);
        QFETCH(QStringList, found);
        const QString path = m_dir.filePath("search.db");
        if (!QFile::exists(path)) {
            newCatalogue("search.db");
            Db(path).exec("INSERT INTO catalogue (rowid, Archive, Product, Origin) VALUES "
                          "(1, 'A.ZIP', 'x', NULL), (2, 'ÉTÉ', 'x', 'été'), (3, 'c', NULL, 'www.zip.org'),"
                          "(4, 'a b', 'x', 'ab'), (5, X'7a6970', 'x', NULL), (6, 'É', 'é', NULL)");
        }
        const QString sql = CatalogueSql::rowsHolding(m_cols, {S::Archive, S::Origin});
        Db db(path);
        const QString plan = db.column("EXPLAIN QUERY PLAN " + sql, {QString()}, 3).join('\n');
        QVERIFY2(plan == "SCAN catalogue", qPrintable(plan));
        // The BLOB spelling "zip" (row 5) reads as the table reads it: as its bytes.
        if (needle == "zip")
            found << "5";
        QCOMPARE(db.column(sql, {needle}), found);
    }

    void everyOrder_data()
    {
        QTest::addColumn<int>("index");
        for (const CatalogueOrder order : allOrders())
            QTest::newRow(qPrintable(orderName(order))) << order.index;
    }

    // The rows beside an anchor, read part after part, are its neighbours in the whole
    // order, nearest first, in both directions and from every kind of anchor: rows
    // without a sort value (standing together at one end), ties letter case aside.
    void rowsBesideAnAnchorAreItsNeighbours_data() { everyOrder_data(); }
    void rowsBesideAnAnchorAreItsNeighbours()
    {
        QFETCH(int, index);
        const CatalogueOrder order{index};
        const QString path = m_dir.filePath("beside.db");
        if (!QFile::exists(path)) {
            newCatalogue("beside.db");
            Db db(path);
            db.exec("BEGIN");
            for (int i = 0; i < 150; ++i) {
                db.exec(QString("INSERT INTO catalogue (Archive, Product, Type, Status, Origin) "
                                "VALUES ('%1', '%2', '%3', %4, %5)")
                            .arg(i % 3 ? QString("arc%1.zip").arg(i % 7) : QString("ARC%1.ZIP").arg(i % 5))
                            .arg(i % 2 ? "beta" : "Beta")
                            .arg(QString(i % 4 ? "Unit%1" : "unit%1").arg(i))
                            .arg(i % 5 ? (i % 2 ? "'In use'" : "'in USE'") : (i % 3 ? "NULL" : "'Testing'"))
                            .arg(i % 6 ? QString("'www.%1'").arg(i % 4 ? "X" : "x") : QString("NULL")));
            }
            db.exec("COMMIT");
        }
        Db db(path);
        const QStringList all = db.column(CatalogueSql::rowIdsInOrder(m_cols, order));
        QCOMPARE(all.size(), 150);
        const int sortField = order.sortField();
        const auto valueOf = [&](const QString &rowId, const QString &column) {
            return db.column(QString("SELECT \"%1\" FROM catalogue WHERE rowid = %2 AND \"%1\" IS NOT NULL")
                                 .arg(column, rowId)).value(0);
        };
        for (int at = 0; at < all.size(); at += 7) {
            const QString anchor = all[at];
            const QString sortValue = sortField >= 0 ? valueOf(anchor, m_cols[size_t(sortField)]) : QString("x");
            QVERIFY(!sortValue.isNull() || (sortField != S::Archive && sortField != S::Product && sortField != S::Type));
            for (const auto toward : {CatalogueSql::Toward::After, CatalogueSql::Toward::Before}) {
                const bool after = toward == CatalogueSql::Toward::After;
                for (const int limit : {1, 12, 200}) {
                    QStringList expected;
                    for (int pos = after ? at + 1 : at - 1; pos >= 0 && pos < all.size() && expected.size() < limit;
                         pos += after ? 1 : -1)
                        expected << all[pos];
                    QStringList got;
                    for (const QString &part : CatalogueSql::gridRowsBeside(m_cols, order, toward, sortValue.isNull())) {
                        if (got.size() == limit)
                            break;
                        got << db.column(part, {sortValue.isNull() ? QVariant() : QVariant(sortValue),
                                                valueOf(anchor, "Archive"), valueOf(anchor, "Product"),
                                                valueOf(anchor, "Type"), int(limit - got.size())});
                    }
                    QVERIFY2(got == expected, qPrintable(QString("anchor at %1, %2, limit %3: %4 against %5")
                                                             .arg(at).arg(after ? "after" : "before").arg(limit)
                                                             .arg(got.join(','), expected.join(','))));
                }
            }
        }
    }

    // Rows lacking part of their key are found by a seek, so a keyset read is never
    // trusted on a file that holds them.
    void rowWithoutKeyIsFound()
    {
        const QString path = newCatalogue("nokey.db");
        Db db(path);
        const QString sql = CatalogueSql::rowWithoutKey(m_cols);
        const QString plan = db.column("EXPLAIN QUERY PLAN " + sql, {}, 3).join('\n');
        QVERIFY2(!plan.contains("SCAN catalogue"), qPrintable(plan));
        db.exec("INSERT INTO catalogue (Archive, Product, Type) VALUES ('a', 'b', 'c')");
        QVERIFY(db.column(sql).isEmpty());
        for (const char *column : {"Archive", "Product", "Type"}) {
            db.exec(QString("UPDATE catalogue SET \"%1\" = NULL").arg(column));
            QCOMPARE(db.column(sql), QStringList{"1"});
            db.exec(QString("UPDATE catalogue SET \"%1\" = 'v'").arg(column));
        }
    }
};

QTEST_APPLESS_MAIN(TstCatalogueSql)
#include "tst_catalogue_sql.moc"
