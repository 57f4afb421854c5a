#include "catalogue/engine/CatalogueFile.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/engine/DescriptorVfs.h"
#include "catalogue/engine/PendingFile.h"
#include "catalogue/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace CatalogueFile {

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void notACatalogue(const QString &path, const QString &reason)
{
    throw EngineError(QStringLiteral("Cannot open %1: %2.").arg(native(path), reason),
                      EngineError::Kind::NotACatalogue);
}

// Makes a rename or a new file in a folder durable.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A failure throws "<failing>: <reason>.".
void renameReplacing(const QString &from, const QString &to, const QString &failing)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return;
    const int err = errno;
    if (err != EXDEV)
        throw EngineError(QStringLiteral("%1: %2.").arg(failing, QString::fromLocal8Bit(std::strerror(err))));

    // Another file system: copy into a file beside the destination that gets its name
    // only when complete, then remove the source.
    PendingFile pending(to, "move", failing);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("%1: %2.").arg(failing, source.errorString()));
    QFile target;
    if (!target.open(pending.descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        throw EngineError(QStringLiteral("%1: %2.").arg(failing, target.errorString()));
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size() || !target.flush())
            throw EngineError(QStringLiteral("%1: %2.").arg(failing, chunk.isEmpty() ? source.errorString() : target.errorString()));
    }
    target.close();
    pending.commit();
    QFile::remove(from);
}

void removeCompanions(const QString &path)
{
    for (const QString &companion : companionPaths(path))
        QFile::remove(companion);
}

struct Connection {
    sqlite3 *db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

// A connection that writes straight into a pending file. The journal stays in memory
// and nothing is synced: nobody can see the file before it has its name, and the
// pending file makes it durable before naming it.
int openPending(const PendingFile &pending, sqlite3 **db)
{
    int rc = openConnection(QString::fromLatin1(DescriptorVfs::fileName(pending.descriptor())),
                            SQLITE_OPEN_READWRITE, db, DescriptorVfs::name());
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(*db, "PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    return rc;
}

void exec(sqlite3 *db, const char *sql, const QString &what, const QString &path)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString reason = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(err);
        throw EngineError(QStringLiteral("Cannot %1 %2: %3.").arg(what, native(path), reason));
    }
}

} // namespace

QStringList companionPaths(const QString &path)
{
    return {path + QStringLiteral("-journal"), path + QStringLiteral("-wal"), path + QStringLiteral("-shm")};
}

QString sqliteReason(sqlite3 *db, int rc)
{
    const char *text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return QString::fromUtf8(text ? text : sqlite3_errstr(rc));
}

int openConnection(const QString &path, int flags, sqlite3 **db, const char *vfs)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), db, flags, vfs);
    if (rc != SQLITE_OK)
        return rc;
    const auto set = [&](int option, int value) { sqlite3_db_config(*db, option, value, nullptr); };
    set(SQLITE_DBCONFIG_DEFENSIVE, 1);
    set(SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    set(SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    set(SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    set(SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0);
    return SQLITE_OK;
}

int findStoredCode(sqlite3 *db, QString &found)
{
    found.clear();
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT type, name FROM sqlite_master WHERE type IN ('trigger', 'view') "
                                    "ORDER BY rowid LIMIT 1", -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        found = QStringLiteral("a %1, \"%2\"")
                    .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
                         QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))));
        rc = SQLITE_DONE;
    }
    sqlite3_finalize(stmt);
    return rc;
}

void checkHeader(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        notACatalogue(path, QStringLiteral("the file does not exist"));
    if (info.isDir())
        notACatalogue(path, QStringLiteral("it is a folder, not a catalogue file"));
    constexpr auto readBits = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile file(path);
    if (!(info.permissions() & readBits) || !file.open(QIODevice::ReadOnly))
        notACatalogue(path, QStringLiteral("the file cannot be read (permission denied)"));
    const qint64 size = file.size();
    if (size == 0)
        notACatalogue(path, QStringLiteral("the file is empty (0 bytes)"));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3", 16)))
        notACatalogue(path, QStringLiteral("it is not a catalogue file"));

    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    const quint32 appId = qFromBigEndian<quint32>(h + 68);
    if (appId != CatalogueSchema::ApplicationId)
        notACatalogue(path, QStringLiteral("it is a database of another program, not a catalogue"));
    const qint32 version = qFromBigEndian<qint32>(h + 60);
    if (version > CatalogueSchema::FormatVersion)
        notACatalogue(path, QStringLiteral("it was made by a newer version of Moxarium (format %1)").arg(version));
    if (version < 1)
        notACatalogue(path, QStringLiteral("its format is unknown (version %1)").arg(version));

    quint32 pageSize = qFromBigEndian<quint16>(h + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        notACatalogue(path, QStringLiteral("the file is damaged (bad page size)"));
    const quint32 changeCounter = qFromBigEndian<quint32>(h + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(h + 28);
    const quint32 validFor = qFromBigEndian<quint32>(h + 92);
    const bool journalled = QFileInfo::exists(path + QStringLiteral("-journal"))
                         || QFileInfo::exists(path + QStringLiteral("-wal"));
    // A hot journal may legitimately leave the file shorter or longer until it is replayed.
    if (!journalled && pageCount != 0 && changeCounter == validFor) {
        const qint64 expected = qint64(pageCount) * pageSize;
        if (size < expected)
            notACatalogue(path, QStringLiteral("the file is truncated (%1 of %2 bytes)").arg(size).arg(expected));
    }
    if (!journalled && size % pageSize != 0)
        notACatalogue(path, QStringLiteral("the file is truncated or damaged (%1 bytes)").arg(size));
}

bool isWriteProtected(const QString &path)
{
    // The owner/group/other bits, not the effective user's: a file marked read-only
    // stays read-only even for an administrator.
    constexpr auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    return !(file.permissions() & writeBits) || !(folder.permissions() & writeBits)
        || !file.isWritable() || !folder.isWritable();
}

void create(const QString &path)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        throw EngineError(QStringLiteral("Cannot create %1: the folder %2 does not exist.")
                              .arg(native(path), native(folder)));

    // Built beside the old one and named only when complete, so a failure or a kill
    // leaves the old catalogue as it was.
    PendingFile pending(path, "new", QStringLiteral("Cannot create %1").arg(native(path)));
    {
        Connection conn;
        const int rc = openPending(pending, &conn.db);
        if (rc != SQLITE_OK)
            throw EngineError(QStringLiteral("Cannot create %1: %2.").arg(native(path), sqliteReason(conn.db, rc)));
        const QByteArray sql = "BEGIN;\n" + CatalogueSchema::createSql().toUtf8() + "COMMIT;";
        exec(conn.db, sql.constData(), QStringLiteral("create"), path);
    }
    removeCompanions(path);
    pending.commit();
}

void copyDatabase(sqlite3 *source, const QString &sourcePath, const QString &dest, const Progress &progress)
{
    if (QFileInfo(sourcePath).absoluteFilePath() == QFileInfo(dest).absoluteFilePath())
        return; // copying a catalogue onto itself leaves it as it is
    PendingFile pending(dest, "copy", QStringLiteral("Cannot copy to %1").arg(native(dest)));
    // Progress runs over the pages twice: copied, then on the disk.
    qint64 pages = 0;
    {
        // One read transaction on the source for the whole copy: a consistent snapshot
        // that no writer restarts, and a wait for another program's lock that happens
        // in an ordinary statement, under the source connection's own timeout.
        struct Snapshot {
            sqlite3 *db;
            ~Snapshot()
            {
                if (!sqlite3_get_autocommit(db))
                    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            }
        } snapshot{source};
        sqlite3 *failed = source;
        int rc = sqlite3_exec(source, "BEGIN; SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr);
        Connection conn;
        if (rc == SQLITE_OK) {
            failed = nullptr;
            rc = openPending(pending, &conn.db);
            failed = conn.db;
        }
        if (rc == SQLITE_OK) {
            // Finished on every path, also when a progress handler throws.
            struct Backup {
                sqlite3_backup *p;
                ~Backup() { sqlite3_backup_finish(p); }
            } backup{sqlite3_backup_init(conn.db, "main", source, "main")};
            if (!backup.p) {
                rc = sqlite3_errcode(conn.db);
            } else {
                // In slices, so a large catalogue can show how far the copy is.
                do {
                    rc = sqlite3_backup_step(backup.p, 256);
                    pages = sqlite3_backup_pagecount(backup.p);
                    if (progress && rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                        progress(pages - sqlite3_backup_remaining(backup.p), 2 * pages);
                } while (rc == SQLITE_OK);
                rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
            }
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            throw EngineError(QStringLiteral("Cannot copy to %1: the catalogue %2 is locked by another program; try again in a moment.")
                                  .arg(native(dest), native(sourcePath)), EngineError::Kind::Locked);
        if (rc != SQLITE_OK)
            throw EngineError(QStringLiteral("Cannot copy to %1: %2.").arg(native(dest), sqliteReason(failed, rc)));
    }
    removeCompanions(dest);
    pending.commit([&](qint64 done, qint64 total) {
        if (progress && total > 0)
            progress(pages + done * pages / total, 2 * pages);
    });
}

void move(const QString &from, const QString &to)
{
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        return;
    if (!QFileInfo::exists(from))
        throw EngineError(QStringLiteral("Cannot rename %1: the file does not exist.").arg(native(from)));
    const QString failing = QStringLiteral("Cannot rename %1 to %2").arg(native(from), native(to));
    removeCompanions(to);
    // A journal left by an interrupted write belongs to its file: move it first,
    // so the file is never without it.
    const QStringList fromCompanions = companionPaths(from);
    const QStringList toCompanions = companionPaths(to);
    for (int i = 0; i < fromCompanions.size(); ++i) {
        if (QFileInfo::exists(fromCompanions[i]))
            renameReplacing(fromCompanions[i], toCompanions[i], failing);
    }
    renameReplacing(from, to, failing);
    syncFolder(QFileInfo(to).absolutePath());
    syncFolder(QFileInfo(from).absolutePath());
}

void remove(const QString &path)
{
    QFile file(path);
    if (file.exists() && !file.remove())
        throw EngineError(QStringLiteral("Cannot delete %1: %2.").arg(native(path), file.errorString()));
    removeCompanions(path);
}

void pack(const QString &path, const Progress &progress)
{
    checkHeader(path);
    if (isWriteProtected(path))
        throw EngineError(QStringLiteral("Cannot pack %1: the catalogue is read-only.").arg(native(path)),
                          EngineError::Kind::ReadOnly);
    Connection conn;
    int rc = openConnection(path, SQLITE_OPEN_READWRITE, &conn.db);
    if (rc != SQLITE_OK)
        throw EngineError(QStringLiteral("Cannot pack %1: %2.").arg(native(path), sqliteReason(conn.db, rc)));
    sqlite3_busy_timeout(conn.db, 5000);
    QString code;
    rc = findStoredCode(conn.db, code);
    if (rc != SQLITE_DONE)
        throw EngineError(QStringLiteral("Cannot pack %1: %2.").arg(native(path), sqliteReason(conn.db, rc)));
    if (!code.isEmpty())
        throw EngineError(QStringLiteral("Cannot pack %1: it contains %2, that this program will not run.")
                              .arg(native(path), code), EngineError::Kind::NotACatalogue);
    exec(conn.db, "PRAGMA synchronous = FULL", QStringLiteral("pack"), path);
    if (progress) {
        // Packing cannot say how far it is; it says that it is still going.
        sqlite3_progress_handler(conn.db, 20000, [](void *p) {
            (*static_cast<const Progress *>(p))(0, 0);
            return 0;
        }, const_cast<Progress *>(&progress));
    }
    exec(conn.db, "REINDEX", QStringLiteral("pack"), path);
    exec(conn.db, "VACUUM", QStringLiteral("pack"), path);
}

} // namespace CatalogueFile
