#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class ParadoxSource;

// Names a value in messages, "the memo Guide of record 3"; made into text only when
// something is wrong with the value.
struct ParadoxValueName {
    const char *kind; // "memo", "image", "field"
    const QString &field;
    int record;

    QString text() const
    {
        return QStringLiteral("the %1 %2 of record %3").arg(QLatin1String(kind), field).arg(record);
    }
};

// The memo and image file of a Paradox table (.MB): where the blob fields of a record
// keep what does not fit in their leader. A field's last ten bytes point into it: the
// block's offset with a slot in its low byte, the length, a change number.
class ParadoxBlobs
{
public:
    // `mb` may be null when the table has no .MB; `db` names the table in messages.
    ParadoxBlobs(ParadoxSource &db, ParadoxSource *mb) : m_db(db), m_mb(mb) {}

    // The bytes of the blob whose field in the record is `field` (leader and pointer).
    // Empty for an empty field; damage throws, naming the file, `whose` and the damage.
    QByteArray read(QByteArrayView field, const ParadoxValueName &whose);

    // The ten bytes at the end of every blob field.
    static constexpr int PointerSize = 10;

private:
    QByteArray readSingle(qint64 blockAt, quint32 length, const ParadoxValueName &name);
    QByteArray readSlot(qint64 blockAt, int slot, quint32 length, const ParadoxValueName &name);

    ParadoxSource &m_db;
    ParadoxSource *m_mb;
};
