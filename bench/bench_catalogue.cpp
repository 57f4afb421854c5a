// Each operation of the table object against raw SQLite doing the least equivalent
// work, in the same run. Prints the ratio ours/raw of the medians.
// Usage: bench_catalogue [--million] [benchmark options]: --million uses the
// 1,000,000-record catalogue instead of the 100,000-record one.

#include "bench/BenchCatalogue.h"
#include "bench/RatioReporter.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/TextMatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <thread>

namespace S = CatalogueSchema;

namespace {

int Records = 100000;
QString g_path;
constexpr int GotoRecord = 50000;

const char *const KeyOrder = "Archive COLLATE NOCASE, Archive, Product, Type";

struct Raw {
    sqlite3 *db = nullptr;
    Raw()
    {
        sqlite3_open_v2(QFile::encodeName(g_path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 5000);
        sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    }
    ~Raw() { sqlite3_close(db); }
    sqlite3_stmt *prepare(const char *sql) const
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        return st;
    }
};

// What raw SQLite knows before it is timed, as our table knows its order list: the row
// ids in the Archive order, and the key of each position a grid is shown at.
struct RawOrder {
    std::vector<qint64> rowIds;
    struct Key { QByteArray sort, archive, product, type; };
    std::vector<Key> gridKeys; // by GridPositions
};

// The positions the grid benchmarks show rows at, the same for both sides.
std::vector<int> gridPositions()
{
    std::vector<int> out;
    int pos = 0;
    for (int i = 0; i < 4096; ++i) {
        pos = (pos + 37813) % (Records - 40);
        out.push_back(pos);
    }
    return out;
}

// Touches every column of the row, as making it current does.
void readColumns(sqlite3_stmt *st, int n)
{
    for (int i = 0; i < n; ++i) {
        const void *p = sqlite3_column_type(st, i) == SQLITE_BLOB ? sqlite3_column_blob(st, i)
                                                                 : static_cast<const void *>(sqlite3_column_text(st, i));
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(sqlite3_column_bytes(st, i));
    }
}

void readFields(CatalogueTable &t, int n = S::FieldCount)
{
    for (int i = 0; i < n; ++i)
        benchmark::DoNotOptimize(t.field(i).value());
}

std::unique_ptr<CatalogueTable> openTable()
{
    auto t = std::make_unique<CatalogueTable>();
    const QFileInfo info(g_path);
    t->setDatabaseName(info.absolutePath());
    t->setTableName(info.fileName());
    t->open();
    return t;
}

const RawOrder &rawOrder()
{
    static const RawOrder order = [] {
        RawOrder o;
        Raw raw;
        const QByteArray sql = QByteArray("SELECT rowid FROM catalogue ORDER BY ") + KeyOrder;
        sqlite3_stmt *st = raw.prepare(sql.constData());
        while (sqlite3_step(st) == SQLITE_ROW)
            o.rowIds.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        sqlite3_stmt *key = raw.prepare("SELECT Archive, Product, Type FROM catalogue WHERE rowid = ?1");
        const auto text = [&](int col) { return QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(key, col))); };
        for (const int pos : gridPositions()) {
            sqlite3_bind_int64(key, 1, o.rowIds[size_t(pos)]);
            sqlite3_step(key);
            o.gridKeys.push_back({text(0), text(0), text(1), text(2)});
            sqlite3_reset(key);
        }
        sqlite3_finalize(key);
        return o;
    }();
    return order;
}

// ---- open to the first record (the count follows with the order list)

void openOurs(benchmark::State &state)
{
    for (auto _ : state) {
        auto t = openTable();
        readFields(*t);
        t->close();
    }
}

void openRaw(benchmark::State &state)
{
    for (auto _ : state) {
        Raw raw;
        const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source, OrigImg, "
                                          "CurrImg, Guide, Comments FROM catalogue ORDER BY ") + KeyOrder + " LIMIT 1";
        sqlite3_stmt *first = raw.prepare(sql.constData());
        sqlite3_step(first);
        readColumns(first, 14);
        sqlite3_finalize(first);
    }
}

// ---- the order list, which gives the record count and every record number

void orderOurs(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto t = openTable();
        state.ResumeTiming();
        t->prepareOrder();
        benchmark::DoNotOptimize(t->recordCount());
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}

void orderRaw(benchmark::State &state)
{
    Raw raw;
    const QByteArray sql = QByteArray("SELECT rowid FROM catalogue ORDER BY ") + KeyOrder;
    sqlite3_stmt *st = raw.prepare(sql.constData());
    for (auto _ : state) {
        std::vector<qint64> ids;
        while (sqlite3_step(st) == SQLITE_ROW)
            ids.push_back(sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
        benchmark::DoNotOptimize(ids.data());
    }
    sqlite3_finalize(st);
}

// ---- index switch keeping the current record: the new order shown around it

void indexSwitchOurs(benchmark::State &state)
{
    auto t = openTable();
    t->setRecNo(50000);
    bool product = false;
    std::vector<CatalogueRow> rows;
    for (auto _ : state) {
        product = !product;
        t->setIndexName(product ? QStringLiteral("idx_Product_Up") : QStringLiteral("idx_Status_Up"));
        t->readRows(t->recNo() - 21, 41, rows);
        benchmark::DoNotOptimize(rows.data());
        // As a user sorts: the order list, read on its thread through a connection of its
        // own, comes in before the next click.
        state.PauseTiming();
        while (t->orderPending()) {
            if (!t->takeReadOrder())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.ResumeTiming();
    }
}

// Raw SQLite knows the current record's key: 20 rows before it and 20 after it in the
// new order, each one seek in the order's index and 20 steps along it.
void indexSwitchRaw(benchmark::State &state)
{
    Raw raw;
    auto t = openTable();
    t->setRecNo(50000);
    const QByteArray archive = t->field(S::Archive).asString().toUtf8();
    const QByteArray product = t->field(S::Product).asString().toUtf8();
    const QByteArray type = t->field(S::Type).asString().toUtf8();
    const QByteArray status = t->field(S::Status).asString().toUtf8();
    t.reset();
    // The rows sharing the record's value, then those beyond it: an equality and a range
    // SQLite seeks to (a row-value range over a NOCASE column it does not).
    const auto around = [&](const char *field, bool after, bool same) {
        const QByteArray dir = after ? "" : " DESC";
        const QByteArray where = same ? QByteArray(field) + " COLLATE NOCASE = ?1 AND (Archive, Product, Type) "
                                            + (after ? ">=" : "<") + " (?2, ?3, ?4)"
                                      : QByteArray(field) + " COLLATE NOCASE " + (after ? ">" : "<") + " ?1";
        return QByteArray("SELECT rowid, Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source FROM catalogue "
                          "WHERE ") + where + " ORDER BY " + field + " COLLATE NOCASE" + dir + ", Archive" + dir
            + ", Product" + dir + ", Type" + dir + " LIMIT ?5";
    };
    bool byProduct = false;
    for (auto _ : state) {
        byProduct = !byProduct;
        const QByteArray &sortKey = byProduct ? product : status;
        int n = 0;
        for (const bool after : {false, true}) {
            int wanted = after ? 21 : 20;
            for (const bool same : {true, false}) {
                if (wanted == 0)
                    break;
                sqlite3_stmt *st = raw.prepare(around(byProduct ? "Product" : "Status", after, same).constData());
                sqlite3_bind_text(st, 1, sortKey.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 2, archive.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 3, product.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 4, type.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_int(st, 5, wanted);
                while (sqlite3_step(st) == SQLITE_ROW) {
                    readColumns(st, 11);
                    ++n;
                    --wanted;
                }
                sqlite3_finalize(st);
            }
        }
        if (n != 41)
            state.SkipWithError("the rows around the record are not 41");
    }
}

// ---- go to record number 50,000 (and 25,000, so that each is a jump)

void gotoOurs(benchmark::State &state)
{
    auto t = openTable();
    t->setRecNo(2); // the cursor's order is read once, as in use
    int target = GotoRecord;
    for (auto _ : state) {
        target = target == GotoRecord ? GotoRecord / 2 : GotoRecord;
        t->setRecNo(target);
        readFields(*t);
    }
}

// Raw SQLite knows the row ids in the order, as our table does: one seek by row id.
void gotoRaw(benchmark::State &state)
{
    Raw raw;
    const RawOrder &order = rawOrder();
    sqlite3_stmt *st = raw.prepare("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source, OrigImg, "
                                   "CurrImg, Guide, Comments FROM catalogue WHERE rowid = ?1");
    int target = GotoRecord;
    for (auto _ : state) {
        target = target == GotoRecord ? GotoRecord / 2 : GotoRecord;
        sqlite3_bind_int64(st, 1, order.rowIds[size_t(target - 1)]);
        sqlite3_step(st);
        readColumns(st, 14);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// ---- 1,000 x next

// Both sides make the ten short fields of each record readable; memos and images
// are read when a control asks for them.
void nextOursIn(benchmark::State &state, const QString &index)
{
    auto t = openTable();
    if (!index.isEmpty())
        t->setIndexName(index);
    t->setRecNo(2);
    for (auto _ : state) {
        state.PauseTiming();
        t->setRecNo(t->recNo() > 90000 ? 1000 : t->recNo() + 1);
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) {
            t->next();
            readFields(*t, 10);
        }
    }
}

void nextRawIn(benchmark::State &state, const QByteArray &orderBy)
{
    Raw raw;
    const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source "
                                      "FROM catalogue ORDER BY ") + orderBy + " LIMIT -1 OFFSET ?1";
    sqlite3_stmt *st = raw.prepare(sql.constData());
    int start = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        start = start > 90000 ? 1000 : start + 1001;
        sqlite3_reset(st);
        sqlite3_bind_int(st, 1, start);
        sqlite3_step(st); // positioned on the start record
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) {
            sqlite3_step(st);
            readColumns(st, 10);
        }
    }
    sqlite3_finalize(st);
}

void nextOurs(benchmark::State &state) { nextOursIn(state, QString()); }
void nextRaw(benchmark::State &state) { nextRawIn(state, KeyOrder); }
// An order where a quarter of the records share each value: steps on past a read-ahead
// window find their place among the ties by key.
void nextOursByStatus(benchmark::State &state) { nextOursIn(state, QStringLiteral("idx_Status_Down")); }
void nextRawByStatus(benchmark::State &state)
{
    nextRawIn(state, "Status COLLATE NOCASE DESC, Archive, Product, Type");
}

// ---- durable post of an edited record

void postOurs(benchmark::State &state)
{
    auto t = openTable();
    t->setRecNo(4321);
    int n = 0;
    for (auto _ : state) {
        t->edit();
        t->field(S::Comments).setAsString(QStringLiteral("edited %1").arg(++n));
        t->post();
    }
}

void postRaw(benchmark::State &state)
{
    Raw raw;
    auto t = openTable();
    t->setRecNo(4322);
    const QByteArray archive = t->field(S::Archive).asString().toUtf8();
    const QByteArray product = t->field(S::Product).asString().toUtf8();
    const QByteArray type = t->field(S::Type).asString().toUtf8();
    t.reset();
    sqlite3_stmt *st = raw.prepare("UPDATE catalogue SET Comments = ?1 WHERE Archive = ?2 AND Product = ?3 AND Type = ?4");
    int n = 0;
    for (auto _ : state) {
        const QByteArray text = "edited " + QByteArray::number(++n);
        sqlite3_bind_text(st, 1, text.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, archive.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, product.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, type.constData(), -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// ---- a pass over all records looking for a substring that matches nothing

bool containsFolded(const QString &text, const QString &needle)
{
    return TextMatch::containsFolded(text, needle);
}

void searchOurs(benchmark::State &state)
{
    auto t = openTable();
    const QString needle = QStringLiteral("qqxq");
    for (auto _ : state) {
        int hits = 0;
        t->first();
        while (!t->eof()) {
            if (containsFolded(t->field(S::Archive).asString(), needle)
                || containsFolded(t->field(S::Product).asString(), needle)
                || containsFolded(t->field(S::Origin).asString(), needle))
                ++hits;
            t->next();
        }
        benchmark::DoNotOptimize(hits);
    }
}

void searchRaw(benchmark::State &state)
{
    Raw raw;
    const QByteArray sql = QByteArray("SELECT Archive, Product, Origin FROM catalogue ORDER BY ") + KeyOrder;
    sqlite3_stmt *st = raw.prepare(sql.constData());
    for (auto _ : state) {
        int hits = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < 3; ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                if (text && strcasestr(text, "qqxq"))
                    ++hits;
            }
        }
        sqlite3_reset(st);
        benchmark::DoNotOptimize(hits);
    }
    sqlite3_finalize(st);
}

// ---- the 40 rows a grid shows at an arbitrary position

void gridOurs(benchmark::State &state)
{
    auto t = openTable();
    t->prepareOrder(); // as in use: the order list is read just after the window shows
    const std::vector<int> positions = gridPositions();
    std::vector<CatalogueRow> rows;
    size_t i = 0;
    for (auto _ : state) {
        t->readRows(positions[i++ % positions.size()], 40, rows);
        benchmark::DoNotOptimize(rows.data());
    }
}

// Raw SQLite knows the key of the first row at each position: one seek in the index,
// then 40 steps along it.
void gridRaw(benchmark::State &state)
{
    Raw raw;
    const RawOrder &order = rawOrder();
    const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source "
                                      "FROM catalogue WHERE Archive COLLATE NOCASE >= ?1 AND "
                                      "(Archive COLLATE NOCASE, Archive, Product, Type) >= (?1, ?2, ?3, ?4) ORDER BY ")
        + KeyOrder + " LIMIT 40";
    sqlite3_stmt *st = raw.prepare(sql.constData());
    size_t i = 0;
    for (auto _ : state) {
        const RawOrder::Key &key = order.gridKeys[i++ % order.gridKeys.size()];
        sqlite3_bind_text(st, 1, key.sort.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, key.archive.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, key.product.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, key.type.constData(), -1, SQLITE_STATIC);
        int n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            readColumns(st, 10);
            ++n;
        }
        if (n != 40)
            state.SkipWithError("the keyset read fewer than 40 rows");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--million") == 0)
            Records = 1000000;
        else
            args.push_back(argv[i]);
    }
    g_path = benchCatalogue(Records);
    struct Pair { const char *name; void (*ours)(benchmark::State &); void (*raw)(benchmark::State &); };
    const Pair pairs[] = {
        {"open, first record", openOurs, openRaw},
        {"order list (count, numbers)", orderOurs, orderRaw},
        {"index switch, the rows around shown", indexSwitchOurs, indexSwitchRaw},
        {"go to record 50,000", gotoOurs, gotoRaw},
        {"1,000 x next", nextOurs, nextRaw},
        {"1,000 x next, Status order (ties)", nextOursByStatus, nextRawByStatus},
        {"durable post of an edit", postOurs, postRaw},
        {"search pass, no match", searchOurs, searchRaw},
        {"40 grid rows at a position", gridOurs, gridRaw},
    };
    for (const Pair &p : pairs) {
        benchmark::RegisterBenchmark((std::string(p.name) + " | ours").c_str(), p.ours)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string(p.name) + " | raw").c_str(), p.raw)->Unit(benchmark::kMicrosecond);
    }
    std::string reps = "--benchmark_repetitions=5";
    std::string aggr = "--benchmark_report_aggregates_only=true";
    std::string minTime = "--benchmark_min_time=0.2";
    args.push_back(reps.data());
    args.push_back(aggr.data());
    args.push_back(minTime.data());
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nRatios ours/raw (median of 5 runs; goal <= 1.5):\n");
    for (const Pair &p : pairs) {
        const auto ours = reporter.medians.find(std::string(p.name) + " | ours");
        const auto raw = reporter.medians.find(std::string(p.name) + " | raw");
        if (ours != reporter.medians.end() && raw != reporter.medians.end())
            std::printf("  %-34s %6.2f  (%.1f us vs %.1f us)\n", p.name, ours->second / raw->second, ours->second, raw->second);
    }
    {
        auto t = openTable();
        t->last();
        std::printf("Peak memory with the %d-record catalogue open: %.1f MiB\n", Records, peakRssKiB() / 1024.0);
    }
    benchmark::Shutdown();
    return 0;
}
