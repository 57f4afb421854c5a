// Each operation of the table object against raw SQLite doing the least equivalent
// work, in the same run. Prints the ratio ours/raw of the medians.

#include "bench/BenchCatalogue.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/TextMatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstring>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace S = CatalogueSchema;

namespace {

constexpr int Records = 100000;
QString g_path;

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

// ---- open to the first record plus the record count

void openOurs(benchmark::State &state)
{
    for (auto _ : state) {
        auto t = openTable();
        benchmark::DoNotOptimize(t->recordCount());
        readFields(*t);
        t->close();
    }
}

void openRaw(benchmark::State &state)
{
    for (auto _ : state) {
        Raw raw;
        sqlite3_stmt *count = raw.prepare("SELECT COUNT(*) FROM catalogue");
        sqlite3_step(count);
        benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
        sqlite3_finalize(count);
        const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source, OrigImg, "
                                          "CurrImg, Guide, Comments FROM catalogue ORDER BY ") + KeyOrder + " LIMIT 1";
        sqlite3_stmt *first = raw.prepare(sql.constData());
        sqlite3_step(first);
        readColumns(first, 14);
        sqlite3_finalize(first);
    }
}

// ---- index switch keeping the current record

void indexSwitchOurs(benchmark::State &state)
{
    auto t = openTable();
    t->setRecNo(50000);
    bool product = false;
    for (auto _ : state) {
        product = !product;
        t->setIndexName(product ? QStringLiteral("idx_Product_Up") : QStringLiteral("idx_Status_Up"));
        benchmark::DoNotOptimize(t->recNo());
    }
}

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
    bool byProduct = false;
    for (auto _ : state) {
        byProduct = !byProduct;
        // The new position of the current record in the new order.
        sqlite3_stmt *st = raw.prepare(byProduct
            ? "SELECT COUNT(*) FROM catalogue WHERE (Product COLLATE NOCASE, Archive, Product, Type) < (?1, ?2, ?3, ?4)"
            : "SELECT COUNT(*) FROM catalogue WHERE (Status COLLATE NOCASE, Archive, Product, Type) < (?1, ?2, ?3, ?4)");
        const QByteArray &sortKey = byProduct ? product : status;
        sqlite3_bind_text(st, 1, sortKey.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, archive.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, product.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, type.constData(), -1, SQLITE_STATIC);
        sqlite3_step(st);
        benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
    }
}

// ---- go to record number 50,000

void gotoOurs(benchmark::State &state)
{
    auto t = openTable();
    t->setRecNo(2); // the cursor's order is read once, as in use
    int target = 50000;
    for (auto _ : state) {
        target = target == 50000 ? 50001 : 50000;
        t->setRecNo(target);
        readFields(*t);
    }
}

void gotoRaw(benchmark::State &state)
{
    Raw raw;
    const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source, OrigImg, "
                                      "CurrImg, Guide, Comments FROM catalogue ORDER BY ") + KeyOrder + " LIMIT 1 OFFSET ?1";
    sqlite3_stmt *st = raw.prepare(sql.constData());
    int target = 50000;
    for (auto _ : state) {
        target = target == 50000 ? 50001 : 50000;
        sqlite3_bind_int(st, 1, target - 1);
        sqlite3_step(st);
        readColumns(st, 14);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// ---- 1,000 x next

// Both sides make the ten short fields of each record readable; memos and images
// are read when a control asks for them.
void nextOurs(benchmark::State &state)
{
    auto t = openTable();
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

void nextRaw(benchmark::State &state)
{
    Raw raw;
    const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source "
                                      "FROM catalogue ORDER BY ") + KeyOrder + " LIMIT -1 OFFSET ?1";
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
    std::vector<CatalogueRow> rows;
    int pos = 0;
    for (auto _ : state) {
        pos = (pos + 37813) % (Records - 40);
        t->readRows(pos, 40, rows);
        benchmark::DoNotOptimize(rows.data());
    }
}

void gridRaw(benchmark::State &state)
{
    Raw raw;
    const QByteArray sql = QByteArray("SELECT Archive, Product, Type, Origin, Status, D1, D2, D3, CB, Source "
                                      "FROM catalogue ORDER BY ") + KeyOrder + " LIMIT 40 OFFSET ?1";
    sqlite3_stmt *st = raw.prepare(sql.constData());
    int pos = 0;
    for (auto _ : state) {
        pos = (pos + 37813) % (Records - 40);
        sqlite3_bind_int(st, 1, pos);
        while (sqlite3_step(st) == SQLITE_ROW)
            readColumns(st, 10);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// Collects the median of each benchmark so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> medians;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    g_path = benchCatalogue(Records);
    struct Pair { const char *name; void (*ours)(benchmark::State &); void (*raw)(benchmark::State &); };
    const Pair pairs[] = {
        {"open, first record, count", openOurs, openRaw},
        {"index switch keeping the record", indexSwitchOurs, indexSwitchRaw},
        {"go to record 50,000", gotoOurs, gotoRaw},
        {"1,000 x next", nextOurs, nextRaw},
        {"durable post of an edit", postOurs, postRaw},
        {"search pass, no match", searchOurs, searchRaw},
        {"40 grid rows at a position", gridOurs, gridRaw},
    };
    for (const Pair &p : pairs) {
        benchmark::RegisterBenchmark((std::string(p.name) + " | ours").c_str(), p.ours)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string(p.name) + " | raw").c_str(), p.raw)->Unit(benchmark::kMicrosecond);
    }
    std::vector<char *> args(argv, argv + argc);
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
        t->setRecNo(50000);
        std::printf("Peak memory with the %d-record catalogue open: %.1f MiB\n", Records, peakRssKiB() / 1024.0);
    }
    benchmark::Shutdown();
    return 0;
}
