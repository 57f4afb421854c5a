#include "catalogue/engine/CatalogueSql.h"
#include "catalogue/engine/SortKey.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <sqlite3.h>

namespace S = CatalogueSchema;

namespace {

// Characters around the edges of A to Z and a to z, and beyond ASCII: accented letters
// in both cases (NOCASE leaves them apart), a two-byte and a four-byte character.
const QStringList Pieces = {"a", "A", "b", "B", "z", "Z", "@", "[", "`", "{", "_", "0", " ",
                            "\u00e9", "\u00c9", "\u00df", "\u0100", "\U0001F600", "\u007f"};

QByteArray randomText(QRandomGenerator &rng)
{
    QString text;
    const int length = int(rng.bounded(5));
    for (int i = 0; i < length; ++i)
        text += Pieces[int(rng.bounded(Pieces.size()))];
    return text.toUtf8();
}

struct Row {
    qint64 rowId = 0;
    std::array<SortKey::Part, 4> parts; // sort field, Archive, Product, Type
    SortKey key() const { return SortKey(rowId, parts[0], parts[1], parts[2], parts[3]); }
    bool operator==(const Row &o) const
    {
        if (rowId != o.rowId)
            return false;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (parts[i].null != o.parts[i].null || parts[i].bytes != o.parts[i].bytes)
                return false;
        }
        return true;
    }
};

QString shown(const Row &r)
{
    QStringList out{QString::number(r.rowId)};
    for (const SortKey::Part &p : r.parts)
        out << (p.null ? QStringLiteral("NULL") : QString::fromUtf8(p.bytes.toHex(' ')));
    return out.join(" | ");
}

} // namespace

class TstSortKey : public QObject
{
    Q_OBJECT

private:
    sqlite3 *m_db = nullptr;
    const CatalogueSql::Columns m_cols = CatalogueSql::createdColumns();

private slots:
    // A few thousand random rows in a catalogue held in memory, NULLs in the indexed
    // fields now and then.
    void initTestCase()
    {
        QCOMPARE(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(m_db, CatalogueSql::createCatalogue().toUtf8().constData(), nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(m_db, "INSERT OR IGNORE INTO catalogue (Archive, Product, Type, Status, Origin) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5)", -1, &st, nullptr);
        QRandomGenerator rng(20240611);
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 0; i < 4000; ++i) {
            for (int col = 1; col <= 5; ++col) {
                if (rng.bounded(12) == 0) {
                    sqlite3_bind_null(st, col);
                } else {
                    const QByteArray text = randomText(rng);
                    sqlite3_bind_text(st, col, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                }
            }
            QCOMPARE(sqlite3_step(st), SQLITE_DONE);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    }

    void cleanupTestCase() { sqlite3_close(m_db); }

    void ordersAsSqliteDoes_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("key order") << -1;
        for (int i = 0; i < S::IndexCount; ++i)
            QTest::newRow(S::indexes()[size_t(i)].name) << i;
    }

    void ordersAsSqliteDoes()
    {
        QFETCH(int, index);
        const CatalogueOrder order{index};
        const QString sortColumn = order.isKeyOrder() ? QStringLiteral("NULL") : QString("\"%1\"").arg(m_cols[size_t(order.sortField())]);
        const QString sql = QString("SELECT rowid, %1, Archive, Product, Type FROM catalogue ORDER BY %2")
                                .arg(sortColumn, CatalogueSql::orderBy(m_cols, order));
        std::vector<Row> sqliteOrder;
        sqlite3_stmt *st = nullptr;
        QCOMPARE(sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK);
        while (sqlite3_step(st) == SQLITE_ROW) {
            Row row;
            row.rowId = sqlite3_column_int64(st, 0);
            for (int part = 0; part < 4; ++part) {
                const int col = part + 1;
                row.parts[size_t(part)].null = sqlite3_column_type(st, col) == SQLITE_NULL;
                row.parts[size_t(part)].bytes = QByteArray(static_cast<const char *>(sqlite3_column_blob(st, col)),
                                                           sqlite3_column_bytes(st, col));
            }
            sqliteOrder.push_back(row);
        }
        sqlite3_finalize(st);
        QVERIFY(sqliteOrder.size() > 3000);

        const SortKey::Less less(order);
        // Neighbours in SQLite's order come in the same order by the sort key.
        for (size_t i = 1; i < sqliteOrder.size(); ++i) {
            const Row &a = sqliteOrder[i - 1];
            const Row &b = sqliteOrder[i];
            QVERIFY2(less(a.key(), b.key()) && !less(b.key(), a.key()), qPrintable(shown(a) + "  before  " + shown(b)));
        }
        // And sorting by the key alone gives SQLite's order.
        std::vector<Row> sorted = sqliteOrder;
        std::shuffle(sorted.begin(), sorted.end(), *QRandomGenerator::global());
        std::stable_sort(sorted.begin(), sorted.end(), [&](const Row &a, const Row &b) { return less(a.key(), b.key()); });
        QVERIFY(sorted == sqliteOrder);
    }

    // The rules a random sample might miss, each at its edge.
    void compareParts_data()
    {
        QTest::addColumn<bool>("aNull");
        QTest::addColumn<QString>("a");
        QTest::addColumn<bool>("bNull");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("noCase");
        QTest::addColumn<int>("binary");
        QTest::newRow("NULL first") << true << "" << false << "" << -1 << -1;
        QTest::newRow("two NULLs tie") << true << "" << true << "" << 0 << 0;
        QTest::newRow("case folded A-Z only") << false << "ABC" << false << "abc" << 0 << -1;
        QTest::newRow("prefix first") << false << "ab" << false << "abc" << -1 << -1;
        QTest::newRow("'[' after 'Z' but before 'z' folded") << false << "[" << false << "Z" << -1 << 1;
        QTest::newRow("accents keep their case") << false << "\u00c9" << false << "\u00e9" << -1 << -1;
        QTest::newRow("bytes, not characters") << false << "\u00ff" << false << "\U0001F600" << -1 << -1;
    }

    void compareParts()
    {
        QFETCH(bool, aNull);
        QFETCH(QString, a);
        QFETCH(bool, bNull);
        QFETCH(QString, b);
        QFETCH(int, noCase);
        QFETCH(int, binary);
        const SortKey::Part pa{aNull, a.toUtf8()};
        const SortKey::Part pb{bNull, b.toUtf8()};
        const auto sign = [](int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
        QCOMPARE(sign(SortKey::compareNoCase(pa, pb)), noCase);
        QCOMPARE(sign(SortKey::compareNoCase(pb, pa)), -noCase);
        QCOMPARE(sign(SortKey::compareBinary(pa, pb)), binary);
        QCOMPARE(sign(SortKey::compareBinary(pb, pa)), -binary);
    }
};

QTEST_APPLESS_MAIN(TstSortKey)
#include "tst_sort_key.moc"
