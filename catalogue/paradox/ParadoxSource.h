#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Where the Paradox reader gets its bytes: a file, or bytes in memory. Every read is
// checked against the size the source had when it was opened, so nothing read from a
// damaged file can lead a read past its end; the failures throw EngineError naming the
// file and what was cut off.
class ParadoxSource
{
public:
    virtual ~ParadoxSource() = default;
    ParadoxSource(const ParadoxSource &) = delete;
    ParadoxSource &operator=(const ParadoxSource &) = delete;

    // The file as messages name it.
    const QString &name() const { return m_name; }
    qint64 size() const { return m_size; }
    // Whether `length` bytes from `offset` lie inside the source.
    bool holds(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
    }
    // `length` bytes from `offset`. Past the end it throws "<name>: <what> is cut off at
    // byte <size>."
    QByteArray read(qint64 offset, qint64 length, const QString &what);
    // Throws "<name>: <damage>." as a file that is no catalogue.
    [[noreturn]] void fail(const QString &damage) const;

protected:
    explicit ParadoxSource(QString name) : m_name(std::move(name)) {}
    // Measured once, when the source is opened.
    void setSize(qint64 size) { m_size = size; }
    // Fills `into`; false when the bytes could not be read (the reason in readError()).
    virtual bool readAt(qint64 offset, char *into, qint64 length) = 0;
    virtual QString readError() const = 0;

private:
    QString m_name;
    qint64 m_size = 0;
};

// A file on disk, opened for reading only.
class ParadoxFileSource : public ParadoxSource
{
public:
    // Throws when the file cannot be opened.
    explicit ParadoxFileSource(const QString &path);

protected:
    bool readAt(qint64 offset, char *into, qint64 length) override;
    QString readError() const override;

private:
    QFile m_file;
};

// Bytes in memory, named as the file they stand for.
class ParadoxMemorySource : public ParadoxSource
{
public:
    ParadoxMemorySource(const QString &name, QByteArray bytes);

protected:
    bool readAt(qint64 offset, char *into, qint64 length) override;
    QString readError() const override { return QString(); }

private:
    QByteArray m_bytes;
};
