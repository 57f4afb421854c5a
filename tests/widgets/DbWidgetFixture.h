#pragma once

#include "catalogue/CatalogueTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <sqlite3.h>

// Catalogues for the data-aware widget tests.
namespace dbfixture {

struct Rec {
    QString archive, product, type, status, origin;
    QVariant d1 = false;
};

inline void addRecord(CatalogueTable &t, const Rec &r)
{
    namespace S = CatalogueSchema;
    t.append();
    t.field(S::Archive).setAsString(r.archive);
    t.field(S::Product).setAsString(r.product);
    t.field(S::Type).setAsString(r.type);
    t.field(S::Status).setAsString(r.status);
    t.field(S::Origin).setAsString(r.origin);
    t.field(S::D1).setValue(r.d1);
    t.post();
}

inline void makeCatalogue(CatalogueTable &t, const QTemporaryDir &dir, const QString &name,
                          const QList<Rec> &recs = {})
{
    t.setDatabaseName(dir.path() + QLatin1Char('/'));
    t.setTableName(name);
    t.createTable();
    t.open();
    for (const Rec &r : recs)
        addRecord(t, r);
    t.first();
}

// A catalogue of `count` records written straight into the file in one transaction;
// record i has archive "aNNNNNN" (so key order is i's order) and D1 true for even i.
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

// Saves a picture of a widget where the test run keeps its artefacts.
inline QString saveShot(QWidget &w, const QString &name)
{
#ifdef MOX_ARTIFACT_DIR
    QDir().mkpath(QStringLiteral(MOX_ARTIFACT_DIR));
    const QString path = QStringLiteral(MOX_ARTIFACT_DIR) + QLatin1Char('/') + name;
#else
    const QString path = QDir::temp().filePath(name);
#endif
    w.grab().save(path);
    return path;
}

} // namespace dbfixture
