// Converting a Paradox catalogue of 5,000 records with 1,000 memos and 500 image pairs,
// written by our own generator: the whole conversion, from reading the table to the
// catalogue durable at its path and the Paradox files moved. Goal: under one second.

#include "catalogue/session/ParadoxConversion.h"
#include "tests/common/ParadoxWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Records = 5000;
constexpr int Memos = 1000;
constexpr int ImagePairs = 500;

QByteArray g_db, g_mb;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
        qFatal("cannot write %s", qPrintable(path));
}

void BM_ConvertParadoxCatalogue(benchmark::State &state)
{
    // On the disk the program's catalogues live on, not in memory.
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/.moxarium-bench-XXXXXX"));
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = dir.filePath(QString::number(++run));
        QDir().mkpath(folder);
        writeFile(folder + QStringLiteral("/CONTENTS.DB"), g_db);
        writeFile(folder + QStringLiteral("/CONTENTS.MB"), g_mb);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ParadoxConversion::convert(folder + QStringLiteral("/CONTENTS.DB")));
    }
}
BENCHMARK(BM_ConvertParadoxCatalogue)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(false);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir made;
    paradox::writeCatalogueTable(made.filePath("CONTENTS.DB"), made.filePath("CONTENTS.MB"), Records, Memos, ImagePairs);
    QFile db(made.filePath("CONTENTS.DB")), mb(made.filePath("CONTENTS.MB"));
    if (!db.open(QIODevice::ReadOnly) || !mb.open(QIODevice::ReadOnly))
        return 1;
    g_db = db.readAll();
    g_mb = mb.readAll();
    std::printf("table: %lld bytes, memo file: %lld bytes\n", qint64(g_db.size()), qint64(g_mb.size()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
