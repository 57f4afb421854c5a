#include "ProfileFile.h"

#include "SettingsError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString fullPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
    QFile file(m_path);
    m_existed = file.exists();
    if (!m_existed)
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_readError = QStringLiteral("Unable to read %1").arg(fullPath(m_path));
        return;
    }
    m_document = ProfileDocument::fromBytes(file.readAll());
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

void ProfileFile::save()
{
    const QByteArray bytes = m_document.toBytes();
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
}
