#include "settings/ProfileFile.h"

#include "settings/SettingsError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QString fullPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// What stands at the path, links followed, when it is not a regular file:
// "a named pipe", "a folder", ...; empty for a regular or a missing file.
QString kindOfNonRegularFile(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(info.st_mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a special file");
#else
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? QStringLiteral("a folder") : QStringLiteral("a special file");
#endif
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
    // Checked before opening: opening a named pipe for reading waits for a
    // writer that never comes, and opening a device can have effects of its own.
    m_nonRegularKind = kindOfNonRegularFile(m_path);
    if (!m_nonRegularKind.isEmpty()) {
        m_existed = true;
        m_readError = QStringLiteral("%1 is not a regular file (it is %2)").arg(fullPath(m_path), m_nonRegularKind);
        return;
    }
    QFile file(m_path);
    m_existed = file.exists();
    if (!m_existed)
        return;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readError = QStringLiteral("Unable to read %1: %2").arg(fullPath(m_path), file.errorString());
        return;
    }
    m_document = ProfileDocument::fromBytes(bytes);
}

QString ProfileFile::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return m_document.readString(section, key, defaultValue);
}

QStringList ProfileFile::keyNames(QStringView section) const
{
    return m_document.keyNames(section);
}

void ProfileFile::writeString(QStringView section, QStringView key, const QString &value)
{
    m_document.writeString(section, key, value);
    changed();
}

void ProfileFile::writeSection(QStringView section, const QList<ProfileDocument::Entry> &entries)
{
    m_document.writeSection(section, entries);
    changed();
}

void ProfileFile::eraseSection(QStringView section)
{
    m_document.eraseSection(section);
    changed();
}

void ProfileFile::changed()
{
    if (m_autoSave)
        save();
}

SettingsError ProfileFile::writeError(const QString &reason) const
{
    QString message = QStringLiteral("Unable to write to %1").arg(fullPath(m_path));
    if (!reason.isEmpty())
        message += QStringLiteral(": ") + reason;
    return SettingsError(message);
}

QString ProfileFile::save()
{
    // A rename over it would replace the pipe or device with a file, and
    // writing into it is no safe save either.
    if (!m_nonRegularKind.isEmpty())
        throw writeError(QStringLiteral("it is not a regular file (it is %1)").arg(m_nonRegularKind));
    const ProfileDocument::Encoded encoded = m_document.encode();
    const QByteArray &bytes = encoded.bytes;
    QSaveFile file(m_path);
    // The buffered part is written by flush(); commit() renames the temporary
    // file over the old one even when that last write failed (a full disk),
    // so the error must be caught before the rename, and looked at after it.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw writeError(reason);
    }
    if (!file.commit() || file.error() != QFileDevice::NoError)
        throw writeError(file.errorString());
    m_existed = true;
    m_notice.clear();
    if (!encoded.utf8Instead.isEmpty()) {
        m_notice = QStringLiteral("%1 was written in UTF-8 because %2.").arg(fullPath(m_path), encoded.utf8Instead);
        // From now on the file is UTF-8, the lines as read included.
        m_document = ProfileDocument::fromBytes(bytes);
    }
    return m_notice;
}
