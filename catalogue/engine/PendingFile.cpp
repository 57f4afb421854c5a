#include "catalogue/engine/PendingFile.h"

#include "catalogue/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_unnamedAllowed{true};

constexpr const char *Kinds[] = {"copy", "new", "move"};
constexpr int SuffixLength = 6;

bool isAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// ".mox-<kind>-" and six letters or digits, or the journal an older version of the
// program could leave beside such a file. Nothing else is touched.
bool isPendingName(const char *name)
{
    for (const char *kind : Kinds) {
        const QByteArray prefix = QByteArray(".mox-") + kind + '-';
        if (std::strncmp(name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        const char *suffix = name + prefix.size();
        for (int i = 0; i < SuffixLength; ++i) {
            if (!isAlnum(suffix[i])) // the terminating zero included
                return false;
        }
        const char *rest = suffix + SuffixLength;
        return *rest == '\0' || std::strcmp(rest, "-journal") == 0;
    }
    return false;
}

QByteArray randomSuffix()
{
    static constexpr char chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(SuffixLength, '\0');
    for (char &c : suffix)
        c = chars[QRandomGenerator::global()->bounded(int(sizeof chars - 1))];
    return suffix;
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Makes a new name in a folder durable.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the file's data to the disk in slices, saying how far it is; returns the
// errno of a failure, 0 on success. The slices only let progress be told: the
// closing fsync is what makes the file durable.
int flushToDisk(int fd, const std::function<void(qint64 done, qint64 total)> &sliceDone)
{
    const off_t size = ::lseek(fd, 0, SEEK_END);
    constexpr off_t Slice = 8 << 20;
    for (off_t at = 0; size > 0 && at < size; at += Slice) {
        if (::sync_file_range(fd, at, std::min(Slice, size - at),
                              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) != 0)
            break; // not supported here: the fsync below does it all at once
        if (sliceDone)
            sliceDone(std::min<qint64>(at + Slice, size), size);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

PendingFile::PendingFile(const QString &dest, const char *kind, const QString &failing)
    : m_failing(failing), m_dest(dest), m_folder(QFileInfo(dest).absolutePath()), m_kind(QLatin1String(kind))
{
    if (!g_unnamedAllowed || !openUnnamed())
        openNamed();
}

PendingFile::~PendingFile()
{
    // Removed while still held, so no clean-up elsewhere can mistake it for a leftover.
    if (!m_tempPath.isEmpty())
        ::unlink(m_tempPath.constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

void PendingFile::setUnnamedAllowed(bool allowed)
{
    g_unnamedAllowed = allowed;
}

// False when the file system cannot hold unnamed files; then the named way is taken.
bool PendingFile::openUnnamed()
{
    m_fd = ::open(QFile::encodeName(m_folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        const int err = errno;
        if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL)
            return false;
        fail(err);
    }
    // Held from the start, so the name it gets for a moment at commit is never a leftover.
    ::flock(m_fd, LOCK_EX);
    m_unnamed = true;
    return true;
}

void PendingFile::openNamed()
{
    const QByteArray folder = QFile::encodeName(m_folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray path = folder + "/.mox-" + m_kind.toLatin1() + '-' + QByteArray(SuffixLength, 'X');
        const int fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0)
            fail(errno);
        // A clean-up in another program may have found the name before we locked it;
        // then it is gone or about to be, and another name is taken.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, path)) {
            m_fd = fd;
            m_tempPath = path;
            return;
        }
        ::close(fd);
    }
    fail(QStringLiteral("no temporary file could be made in %1").arg(QDir::toNativeSeparators(m_folder)));
}

// Gives the unnamed file a hidden name of its own, which the rename then replaces.
QByteArray PendingFile::linkToTemporaryName() const
{
    const QByteArray folder = QFile::encodeName(m_folder);
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = folder + "/.mox-" + m_kind.toLatin1() + '-' + randomSuffix();
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, path.constData(), AT_SYMLINK_FOLLOW) == 0)
            return path;
        int err = errno;
        if (err == ENOENT) {
            // No /proc: linking the descriptor itself needs a privilege, but may be allowed.
            if (::linkat(m_fd, "", AT_FDCWD, path.constData(), AT_EMPTY_PATH) == 0)
                return path;
            err = errno;
        }
        if (err != EEXIST)
            fail(err);
    }
    fail(QStringLiteral("no temporary name could be taken in %1").arg(QDir::toNativeSeparators(m_folder)));
}

void PendingFile::commit(const std::function<void(qint64 done, qint64 total)> &flushed)
{
    if (const int err = flushToDisk(m_fd, flushed))
        fail(err);
    if (m_unnamed)
        m_tempPath = linkToTemporaryName();
    if (::rename(m_tempPath.constData(), QFile::encodeName(m_dest).constData()) != 0)
        fail(errno);
    m_tempPath.clear();
    syncFolder(QFile::encodeName(m_folder));
    ::close(m_fd);
    m_fd = -1;
}

void PendingFile::removeLeftovers(const QString &folder)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isPendingName(entry->d_name))
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {};
        struct stat named {};
        // Only a plain file that nobody holds, and still the file of that name. A
        // failed removal (a read-only folder) is no failure of the open that asked
        // for it; the next open tries again.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0
            && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

void PendingFile::fail(int err) const
{
    fail(QString::fromLocal8Bit(std::strerror(err)));
}

void PendingFile::fail(const QString &reason) const
{
    throw EngineError(QStringLiteral("%1: %2.").arg(m_failing, reason));
}
