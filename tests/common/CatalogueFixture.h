#pragma once

#include "catalogue/CatalogueTable.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <optional>
#include <sqlite3.h>

// Helpers shared by the catalogue, widget and main-window tests: a fresh folder,
// a catalogue in it and raw SQLite access that bypasses the table object.
namespace fixture {

struct Rec {
    QString archive, product, type, status, origin;
    std::optional<QVariant> d1 = std::nullopt;  // left as a new record has it when not given
};

inline void setFields(CatalogueTable &t, const Rec &r)
{
    t.field(CatalogueSchema::Archive).setAsString(r.archive);
    t.field(CatalogueSchema::Product).setAsString(r.product);
    t.field(CatalogueSchema::Type).setAsString(r.type);
    t.field(CatalogueSchema::Status).setAsString(r.status);
    t.field(CatalogueSchema::Origin).setAsString(r.origin);
    if (r.d1)
        t.field(CatalogueSchema::D1).setValue(*r.d1);
}

inline void addRecord(CatalogueTable &t, const Rec &r)
{
    t.append();
    setFields(t, r);
    t.post();
}

// Four records whose orders differ in every index: two share an archive, the
// archives and products differ in case.
inline QList<Rec> fourRecords()
{
    return {
        {"b.zip", "Beta", "Unit", "In use", "www.b.org"},
        {"a.zip", "alpha", "Component", "Testing", ""},
        {"C.zip", "Gamma", "Tool", "Unseen", "www.c.org"},
        {"a.zip", "Delta", "Expert", "Discarded", "www.a.org"},
    };
}

// Opens `table` on a new catalogue `name` in `folder` holding `recs`, on the last
// record added.
inline void makeCatalogue(CatalogueTable &t, const QString &folder, const QString &name, const QList<Rec> &recs = {})
{
    t.setDatabaseName(folder);
    t.setTableName(name);
    t.createTable();
    t.open();
    for (const Rec &r : recs)
        addRecord(t, r);
}

inline void makeCatalogue(CatalogueTable &t, const QTemporaryDir &dir, const QString &name,
                          const QList<Rec> &recs = {})
{
    makeCatalogue(t, dir.path(), name, recs);
}

// A new catalogue `name` in `folder` holding `recs`, written and closed, as another
// program or an earlier run left it.
inline void makeCatalogueFile(const QString &folder, const QString &name, const QList<Rec> &recs = {})
{
    CatalogueTable t;
    makeCatalogue(t, folder, name, recs);
}

// The same, then on the first record, as a window shows a catalogue it opens.
inline void makeCatalogueAtFirst(CatalogueTable &t, const QTemporaryDir &dir, const QString &name,
                                 const QList<Rec> &recs = {})
{
    makeCatalogue(t, dir, name, recs);
    t.first();
}

// A catalogue of `count` records written straight into the file in one transaction,
// left closed; record i has archive "aNNNNNN" (so key order is i's order) and D1
// true for even i.
inline void makeLargeCatalogue(CatalogueTable &t, const QTemporaryDir &dir, const QString &name, int count)
{
    t.setDatabaseName(dir.path() + QLatin1Char('/'));
    t.setTableName(name);
    t.createTable();
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(dir.filePath(name)).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO catalogue (Archive, Product, Type, Status, Origin, D1, D2, D3, CB, Source) "
                       "VALUES (?1, ?2, 'Component', 'In use', 'www.example.org', ?3, 0, 1, NULL, 0)",
                       -1, &st, nullptr);
    for (int i = 0; i < count; ++i) {
        const QByteArray archive = QByteArray("a") + QByteArray::number(i).rightJustified(6, '0');
        const QByteArray product = QByteArray("Product ") + QByteArray::number(i);
        sqlite3_bind_text(st, 1, archive.constData(), int(archive.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, product.constData(), int(product.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, i % 2 == 0 ? 1 : 0);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

inline QString archiveOf(CatalogueTable &t)
{
    return t.field(CatalogueSchema::Archive).asString();
}

// Walks the whole table in its current order and returns one field of every record.
inline QStringList column(CatalogueTable &t, int field)
{
    QStringList out;
    t.first();
    while (!t.eof()) {
        out << t.field(field).asString();
        t.next();
    }
    return out;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

struct RawDb {
    sqlite3 *db = nullptr;
    explicit RawDb(const QString &path) { sqlite3_open(QFile::encodeName(path).constData(), &db); }
    ~RawDb() { sqlite3_close(db); }
    QStringList rows(const QString &sql) const
    {
        QStringList out;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                cols << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
            out << cols.join(u'|');
        }
        sqlite3_finalize(st);
        return out;
    }
    int exec(const QString &sql) const { return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr); }
    // Rows written behind the table's back, as another program would, in one transaction.
    template <typename ValuesOf>
    void insertMany(int count, const QString &columns, ValuesOf valuesOf) const
    {
        exec("BEGIN");
        for (int i = 0; i < count; ++i)
            exec(QStringLiteral("INSERT INTO catalogue (%1) VALUES (%2)").arg(columns, valuesOf(i)));
        exec("COMMIT");
    }
};

} // namespace fixture
