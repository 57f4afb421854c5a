#include "bench/BenchCatalogue.h"

#include "catalogue/engine/CatalogueFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <fstream>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

QByteArray makeBmp(int seed)
{
    constexpr int side = 32;
    constexpr int rowBytes = side * 3;
    constexpr int pixels = rowBytes * side;
    QByteArray bmp(54 + pixels, '\0');
    auto *p = reinterpret_cast<uchar *>(bmp.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(bmp.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(side, p + 18);
    qToLittleEndian<qint32>(side, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(quint32(pixels), p + 34);
    for (int i = 0; i < pixels; ++i)
        p[54 + i] = uchar((i * 7 + seed * 13) & 0xff);
    return bmp;
}

namespace {

const char *const Types[] = {"Application", "Component collection", "Document", "Expert", "Expert collection",
                             "Magazine", "Property editor", "Unit", "Tool"};
const char *const Statuses[] = {"Discarded", "In use", "Testing", "Unseen"};
const char *const Words[] = {"Grid", "Data", "Tool", "Fast", "Query", "Report", "Chart", "Edit",
                             "Button", "Panel", "Tree", "List", "Net", "Mail", "Zip", "Print"};

QByteArray words(QRandomGenerator &rng, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        if (i)
            out += ' ';
        out += Words[rng.bounded(16)];
    }
    return out;
}

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

} // namespace

QString benchCatalogue(int count)
{
    const QString folder = QDir::tempPath() + QStringLiteral("/moxarium-bench");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/bench%1.db").arg(count);
    const QString ready = path + QStringLiteral(".ready");
    if (QFile::exists(ready) && QFile::exists(path))
        return path;

    CatalogueFile::create(path);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt *st = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO catalogue (Archive, Product, Type, D1, D2, D3, CB, Status, Source, "
                                 "Origin, Guide, Comments, OrigImg, CurrImg) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &st, nullptr), db);
    QRandomGenerator rng(42);
    for (int i = 0; i < count; ++i) {
        const bool component = i % 10 == 0;
        const QByteArray archive = words(rng, 1).toLower() + QByteArray::number(i) + ".zip";
        const QByteArray product = words(rng, 2) + ' ' + QByteArray::number(i % 977);
        const QByteArray type = component ? "Component" : Types[rng.bounded(9)];
        const QByteArray origin = "www." + words(rng, 1).toLower() + QByteArray::number(i % 5000) + ".com/~dev";
        const QByteArray guide = words(rng, 30);
        const QByteArray comments = words(rng, 12);
        sqlite3_bind_text(st, 1, archive.constData(), int(archive.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, product.constData(), int(product.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, type.constData(), int(type.size()), SQLITE_TRANSIENT);
        for (int f = 4; f <= 7; ++f)
            sqlite3_bind_int(st, f, int(rng.bounded(2)));
        sqlite3_bind_text(st, 8, Statuses[rng.bounded(4)], -1, SQLITE_STATIC);
        sqlite3_bind_int(st, 9, int(rng.bounded(2)));
        sqlite3_bind_text(st, 10, origin.constData(), int(origin.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 11, guide.constData(), int(guide.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 12, comments.constData(), int(comments.size()), SQLITE_TRANSIENT);
        if (component) {
            const QByteArray a = makeBmp(i), b = makeBmp(i + 1);
            sqlite3_bind_blob(st, 13, a.constData(), int(a.size()), SQLITE_TRANSIENT);
            sqlite3_bind_blob(st, 14, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(st, 13);
            sqlite3_bind_null(st, 14);
        }
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    QFile marker(ready);
    marker.open(QIODevice::WriteOnly);
    return path;
}

long peakRssKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}
