#include "catalogue/session/ParadoxConversion.h"

#include "catalogue/EngineError.h"
#include "catalogue/engine/NewCatalogue.h"
#include "catalogue/paradox/ParadoxCatalogue.h"
#include "catalogue/paradox/ParadoxFiles.h"
#include "catalogue/paradox/ParadoxHeader.h"
#include "catalogue/paradox/ParadoxTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace ParadoxConversion {

namespace {

// Reading and writing the records is most of the work; the rest is the flush to disk.
constexpr qint64 ProgressSteps = 100;
constexpr qint64 RecordSteps = 90;
constexpr int RecordsPerReport = 64;
constexpr int MaxFolderNumber = 1000;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString converting(const QString &path)
{
    return QStringLiteral("Cannot convert %1").arg(native(path));
}

bool taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString folderName(const QString &path, int number)
{
    const QFileInfo table(path);
    const QString name = table.completeBaseName() + QStringLiteral("-paradox")
                       + (number > 1 ? QStringLiteral("-%1").arg(number) : QString());
    return table.absoluteDir().filePath(name);
}

// Makes the keeping folder; a name taken meanwhile gets the next number.
QString makeKeepingFolder(const QString &path)
{
    for (int number = 1; number <= MaxFolderNumber; ++number) {
        const QString folder = folderName(path, number);
        if (taken(folder))
            continue;
        if (QDir().mkdir(folder))
            return folder;
        if (!taken(folder))
            throw EngineError(QStringLiteral("%1: the folder %2 cannot be made.").arg(converting(path), native(folder)));
    }
    throw EngineError(QStringLiteral("%1: every name for a folder to keep its Paradox files in is taken.")
                          .arg(converting(path)));
}

// Makes the names in a folder durable; the reason when that fails.
QString syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const int failed = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return failed ? QString::fromLocal8Bit(std::strerror(failed)) : QString();
}

struct Move {
    QString from;
    QString to;
};

// Moves a file without replacing one: the keeping folder is new, and stays so.
void moveFile(const Move &move, const QString &failing)
{
    QFile file(move.from);
    if (!file.rename(move.to))
        throw EngineError(QStringLiteral("%1: %2 cannot be moved to %3: %4.")
                              .arg(failing, native(move.from), native(move.to), file.errorString()));
}

// Puts the moved files back and removes the keeping folder; says what could not be put
// back, so the message tells where the files are.
QString putBack(const QList<Move> &moved, const QString &folder)
{
    QStringList left;
    for (auto it = moved.crbegin(); it != moved.crend(); ++it) {
        if (!QFile::rename(it->to, it->from))
            left << native(it->to);
    }
    if (left.isEmpty()) {
        QDir().rmdir(folder);
        // Already failing: the names are back either way, durable as far as the disk allows.
        syncFolder(QFileInfo(folder).absolutePath());
        return QString();
    }
    return QStringLiteral(" The Paradox files that could not be put back are in %1.").arg(native(folder));
}

} // namespace

Probe probe(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    if (!ParadoxHeader::looksLikeParadox(file.read(ParadoxHeader::BaseSize)))
        return {};
    file.close();
    try {
        const std::unique_ptr<ParadoxTable> table = ParadoxTable::open(path);
        ParadoxCatalogue::match(*table);
    } catch (const EngineError &e) {
        return {Verdict::Refused, e.message()};
    }
    return {Verdict::Convertible, QString()};
}

QString keepingFolder(const QString &path)
{
    for (int number = 1; number < MaxFolderNumber; ++number) {
        if (!taken(folderName(path, number)))
            return folderName(path, number);
    }
    return folderName(path, MaxFolderNumber);
}

QString convert(const QString &path, const CatalogueFile::Progress &progress)
{
    const QString failing = converting(path);
    std::unique_ptr<ParadoxTable> table = ParadoxTable::open(path);
    const ParadoxCatalogue::Layout layout = ParadoxCatalogue::match(*table);
    const qint64 total = std::max<qint64>(table->header().recordCount, 1);

    // Everything is read and written before anything moves.
    NewCatalogue target(path);
    table->readRecords([&](int number, const ParadoxTable::Values &values) {
        if (!target.add(ParadoxCatalogue::record(values, layout)))
            table->fail(QStringLiteral("record %1 has the Archive, Product and Type of a record before it").arg(number));
        if (progress && number % RecordsPerReport == 0)
            progress(number * RecordSteps / total, ProgressSteps);
    });
    target.complete();
    table.reset(); // its files are closed before they move

    const QString folder = makeKeepingFolder(path);
    QList<Move> moved;
    try {
        for (const QString &file : ParadoxFiles::tableFiles(path)) {
            const Move move{file, QDir(folder).filePath(QFileInfo(file).fileName())};
            moveFile(move, failing);
            moved << move;
        }
        if (const QString reason = syncFolder(folder); !reason.isEmpty())
            throw EngineError(QStringLiteral("%1: the folder %2 cannot be written to the disk: %3.")
                                  .arg(failing, native(folder), reason));
        target.publish([&](qint64 done, qint64 all) {
            if (progress && all > 0)
                progress(RecordSteps + done * (ProgressSteps - RecordSteps) / all, ProgressSteps);
        });
    } catch (const EngineError &e) {
        const QString left = putBack(moved, folder);
        if (left.isEmpty())
            throw;
        throw EngineError(e.message() + left, e.kind());
    } catch (...) {
        putBack(moved, folder);
        throw;
    }
    return folder;
}

} // namespace ParadoxConversion
