#include "catalogue/paradox/ParadoxSource.h"

#include "catalogue/EngineError.h"

#include <QDir>
#include <cstring>

QByteArray ParadoxSource::read(qint64 offset, qint64 length, const QString &what)
{
    if (!holds(offset, length))
        fail(QStringLiteral("%1 is cut off at byte %2").arg(what).arg(m_size));
    QByteArray bytes(length, Qt::Uninitialized);
    // Another program may have cut the file since it was measured: a short read is
    // damage too, never bytes taken as zeros.
    if (!readAt(offset, bytes.data(), length))
        fail(QStringLiteral("%1 could not be read (%2)").arg(what, readError()));
    return bytes;
}

void ParadoxSource::fail(const QString &damage) const
{
    throw EngineError(QStringLiteral("%1: %2.").arg(m_name, damage), EngineError::Kind::NotACatalogue);
}

ParadoxFileSource::ParadoxFileSource(const QString &path)
    : ParadoxSource(QDir::toNativeSeparators(path)), m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        fail(m_file.errorString());
    setSize(m_file.size());
}

bool ParadoxFileSource::readAt(qint64 offset, char *into, qint64 length)
{
    return m_file.seek(offset) && m_file.read(into, length) == length;
}

QString ParadoxFileSource::readError() const
{
    return m_file.error() == QFileDevice::NoError ? QStringLiteral("the file has become shorter") : m_file.errorString();
}

ParadoxMemorySource::ParadoxMemorySource(const QString &name, QByteArray bytes)
    : ParadoxSource(name), m_bytes(std::move(bytes))
{
    setSize(m_bytes.size());
}

bool ParadoxMemorySource::readAt(qint64 offset, char *into, qint64 length)
{
    std::memcpy(into, m_bytes.constData() + offset, size_t(length));
    return true;
}
