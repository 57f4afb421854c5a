#include "catalogue/engine/DescriptorVfs.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DescriptorVfs {

namespace {

constexpr char Prefix[] = "mox-fd-";

struct DescriptorFile {
    sqlite3_file base;
    int fd;
};

int descriptorOf(sqlite3_file *file)
{
    return reinterpret_cast<DescriptorFile *>(file)->fd;
}

// The descriptor belongs to whoever opened the file; closing the database leaves it open.
int fileClose(sqlite3_file *)
{
    return SQLITE_OK;
}

int fileRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    auto *out = static_cast<char *>(buffer);
    int done = 0;
    while (done < amount) {
        const ssize_t n = ::pread(descriptorOf(file), out + done, size_t(amount - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return SQLITE_IOERR_READ;
        if (n == 0)
            break;
        done += int(n);
    }
    if (done == amount)
        return SQLITE_OK;
    // SQLite expects the unread rest zeroed on a short read.
    std::memset(out + done, 0, size_t(amount - done));
    return SQLITE_IOERR_SHORT_READ;
}

int fileWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    const auto *in = static_cast<const char *>(buffer);
    int done = 0;
    while (done < amount) {
        const ssize_t n = ::pwrite(descriptorOf(file), in + done, size_t(amount - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 && errno == ENOSPC ? SQLITE_FULL : SQLITE_IOERR_WRITE;
        done += int(n);
    }
    return SQLITE_OK;
}

int fileTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    return ::ftruncate(descriptorOf(file), off_t(size)) == 0 ? SQLITE_OK : SQLITE_IOERR_TRUNCATE;
}

// The owner makes the file durable once it is complete, before it gets its name.
int fileSync(sqlite3_file *, int)
{
    return SQLITE_OK;
}

int fileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    struct stat info {};
    if (::fstat(descriptorOf(file), &info) != 0)
        return SQLITE_IOERR_FSTAT;
    *size = info.st_size;
    return SQLITE_OK;
}

// Nobody else can reach a file that is not named yet (or whose name only we know).
int fileLock(sqlite3_file *, int)
{
    return SQLITE_OK;
}

int fileCheckReservedLock(sqlite3_file *, int *reserved)
{
    *reserved = 0;
    return SQLITE_OK;
}

int fileControl(sqlite3_file *, int, void *)
{
    return SQLITE_NOTFOUND;
}

int fileSectorSize(sqlite3_file *)
{
    return 4096;
}

int fileDeviceCharacteristics(sqlite3_file *)
{
    return 0;
}

const sqlite3_io_methods descriptorMethods = {
    1,
    fileClose, fileRead, fileWrite, fileTruncate, fileSync, fileSize,
    fileLock, fileLock, fileCheckReservedLock, fileControl, fileSectorSize, fileDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

sqlite3_vfs *base(sqlite3_vfs *vfs)
{
    return static_cast<sqlite3_vfs *>(vfs->pAppData);
}

bool isOurs(const char *name)
{
    return name && std::strncmp(name, Prefix, sizeof Prefix - 1) == 0;
}

int vfsOpen(sqlite3_vfs *vfs, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    if (!name)
        return base(vfs)->xOpen(base(vfs), name, file, flags, outFlags);
    file->pMethods = nullptr;
    // A journal or anything else named would land beside nothing; refuse it.
    if (!isOurs(name) || !(flags & SQLITE_OPEN_MAIN_DB))
        return SQLITE_CANTOPEN;
    char *end = nullptr;
    const long fd = std::strtol(name + sizeof Prefix - 1, &end, 10);
    if (fd < 0 || !end || *end != '\0')
        return SQLITE_CANTOPEN;
    auto *ours = reinterpret_cast<DescriptorFile *>(file);
    ours->fd = int(fd);
    ours->base.pMethods = &descriptorMethods;
    if (outFlags)
        *outFlags = flags;
    return SQLITE_OK;
}

int vfsDelete(sqlite3_vfs *vfs, const char *name, int syncDir)
{
    return isOurs(name) ? SQLITE_OK : base(vfs)->xDelete(base(vfs), name, syncDir);
}

int vfsAccess(sqlite3_vfs *vfs, const char *name, int flags, int *result)
{
    if (isOurs(name)) {
        *result = 0; // no journal or other companion exists for our files
        return SQLITE_OK;
    }
    return base(vfs)->xAccess(base(vfs), name, flags, result);
}

int vfsFullPathname(sqlite3_vfs *vfs, const char *name, int size, char *out)
{
    if (!isOurs(name))
        return base(vfs)->xFullPathname(base(vfs), name, size, out);
    if (int(std::strlen(name)) >= size)
        return SQLITE_CANTOPEN;
    std::strcpy(out, name);
    return SQLITE_OK;
}

void *vfsDlOpen(sqlite3_vfs *vfs, const char *name) { return base(vfs)->xDlOpen(base(vfs), name); }
void vfsDlError(sqlite3_vfs *vfs, int size, char *out) { base(vfs)->xDlError(base(vfs), size, out); }
void (*vfsDlSym(sqlite3_vfs *vfs, void *handle, const char *symbol))(void)
{
    return base(vfs)->xDlSym(base(vfs), handle, symbol);
}
void vfsDlClose(sqlite3_vfs *vfs, void *handle) { base(vfs)->xDlClose(base(vfs), handle); }
int vfsRandomness(sqlite3_vfs *vfs, int size, char *out) { return base(vfs)->xRandomness(base(vfs), size, out); }
int vfsSleep(sqlite3_vfs *vfs, int micros) { return base(vfs)->xSleep(base(vfs), micros); }
int vfsCurrentTime(sqlite3_vfs *vfs, double *now) { return base(vfs)->xCurrentTime(base(vfs), now); }
int vfsGetLastError(sqlite3_vfs *vfs, int size, char *out) { return base(vfs)->xGetLastError(base(vfs), size, out); }
int vfsCurrentTimeInt64(sqlite3_vfs *vfs, sqlite3_int64 *now)
{
    return base(vfs)->xCurrentTimeInt64(base(vfs), now);
}

sqlite3_vfs *registered()
{
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs *fallback = sqlite3_vfs_find(nullptr);
        sqlite3_vfs v{};
        v.iVersion = 2;
        v.szOsFile = std::max(fallback->szOsFile, int(sizeof(DescriptorFile)));
        v.mxPathname = fallback->mxPathname;
        v.zName = "mox-descriptor";
        v.pAppData = fallback;
        v.xOpen = vfsOpen;
        v.xDelete = vfsDelete;
        v.xAccess = vfsAccess;
        v.xFullPathname = vfsFullPathname;
        v.xDlOpen = vfsDlOpen;
        v.xDlError = vfsDlError;
        v.xDlSym = vfsDlSym;
        v.xDlClose = vfsDlClose;
        v.xRandomness = vfsRandomness;
        v.xSleep = vfsSleep;
        v.xCurrentTime = vfsCurrentTime;
        v.xGetLastError = vfsGetLastError;
        v.xCurrentTimeInt64 = vfsCurrentTimeInt64;
        return v;
    }();
    static const int rc = sqlite3_vfs_register(&vfs, 0);
    return rc == SQLITE_OK ? &vfs : nullptr;
}

} // namespace

const char *name()
{
    const sqlite3_vfs *vfs = registered();
    return vfs ? vfs->zName : "mox-descriptor";
}

QByteArray fileName(int fd)
{
    return QByteArray(Prefix) + QByteArray::number(fd);
}

} // namespace DescriptorVfs
