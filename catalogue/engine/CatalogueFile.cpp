#include "catalogue/engine/CatalogueFile.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/engine/CatalogueSql.h"
#include "catalogue/engine/Connection.h"
#include "catalogue/engine/PendingFile.h"
#include "catalogue/engine/SqlStatement.h"
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

} // namespace

QStringList companionPaths(const QString &path)
{
    return {path + QStringLiteral("-journal"), path + QStringLiteral("-wal"), path + QStringLiteral("-shm")};
}

bool findStoredCode(Connection &db, QString &found, int &result)
{
    found.clear();
    SqlStatement query(db, CatalogueSql::storedCode(), QStringLiteral("read the catalogue"),
                       SqlStatement::Prepare::MayFail);
    result = query.result();
    if (!query.isValid())
        return false;
    const SqlStatement::Step got = query.tryStep();
    result = query.result();
    if (got == SqlStatement::Step::Row)
        found = QStringLiteral("a %1, \"%2\"").arg(query.columnText(0), query.columnText(1));
    return got == SqlStatement::Step::Row || got == SqlStatement::Step::Done;
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
        const QString failing = QStringLiteral("Cannot create %1").arg(native(path));
        Connection conn;
        conn.openPending(pending.descriptor(), failing);
        conn.execute(CatalogueSql::createCatalogue(), failing);
    }
    removeCompanions(path);
    pending.commit();
}

void copyDatabase(Connection &source, const QString &dest, const Progress &progress)
{
    if (QFileInfo(source.path()).absoluteFilePath() == QFileInfo(dest).absoluteFilePath())
        return; // copying a catalogue onto itself leaves it as it is
    const QString failing = QStringLiteral("Cannot copy to %1").arg(native(dest));
    PendingFile pending(dest, "copy", failing);
    // Progress runs over the pages twice: copied, then on the disk.
    qint64 pages = 0;
    {
        // One read transaction on the source for the whole copy: a consistent snapshot
        // that no writer restarts, and a wait for another program's lock that happens
        // in an ordinary statement, under the source connection's own timeout.
        const Connection::Snapshot snapshot(source, failing);
        Connection target;
        target.openPending(pending.descriptor(), failing);
        pages = source.copyInto(target, failing, [&](qint64 copied, qint64 total) {
            if (progress)
                progress(copied, 2 * total);
        });
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
    const QString failing = QStringLiteral("Cannot pack %1").arg(native(path));
    Connection conn;
    conn.open(path, Connection::Access::ReadWrite, failing);
    conn.setBusyTimeout(5000);
    QString code;
    int rc = 0;
    if (!findStoredCode(conn, code, rc))
        throw conn.plainError(rc, failing);
    if (!code.isEmpty())
        throw EngineError(QStringLiteral("Cannot pack %1: it contains %2, that this program will not run.")
                              .arg(native(path), code), EngineError::Kind::NotACatalogue);
    conn.execute(CatalogueSql::durableWrites(), failing);
    if (progress) {
        // Packing cannot say how far it is; it says that it is still going.
        conn.setProgressHandler([&progress] { progress(0, 0); });
    }
    conn.execute(CatalogueSql::rebuildIndexes(), failing);
    conn.execute(CatalogueSql::compact(), failing);
}

} // namespace CatalogueFile
