#pragma once

#include "catalogue/CatalogueTable.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <sqlite3.h>

// Helpers shared by the catalogue tests: a fresh folder, a catalogue in it and
// raw SQLite access that bypasses the table object.
namespace fixture {

struct Rec {
    QString archive, product, type, status, origin;
};

inline void setFields(CatalogueTable &t, const Rec &r)
{
    t.field(CatalogueSchema::Archive).setAsString(r.archive);
    t.field(CatalogueSchema::Product).setAsString(r.product);
    t.field(CatalogueSchema::Type).setAsString(r.type);
    t.field(CatalogueSchema::Status).setAsString(r.status);
    t.field(CatalogueSchema::Origin).setAsString(r.origin);
}

inline void addRecord(CatalogueTable &t, const Rec &r)
{
    t.append();
    setFields(t, r);
    t.post();
}

// Opens `table` on a new catalogue `name` in `dir` holding `recs`.
inline void makeCatalogue(CatalogueTable &t, const QTemporaryDir &dir, const QString &name,
                          const QList<Rec> &recs = {})
{
    t.setDatabaseName(dir.path() + QLatin1Char('/'));
    t.setTableName(name);
    t.createTable();
    t.open();
    for (const Rec &r : recs)
        addRecord(t, r);
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
