#include "catalogue/paradox/ParadoxBlobs.h"

#include "catalogue/paradox/LittleEndian.h"
#include "catalogue/paradox/ParadoxSource.h"

namespace {

// The .MB is made of 4 KiB blocks; block 0 is its header.
constexpr qint64 Chunk = 4096;
// A block that holds one blob: type byte, chunks (u16), length (u32), change number
// (u16), then the blob.
constexpr int SingleBlock = 2;
constexpr int SingleDataAt = 9;
constexpr int SingleSlot = 0xFF;
// A block shared by up to 64 small blobs: type byte, chunks (u16), nine bytes, then 64
// slots of five bytes (offset / 16, length / 16 rounded up, change number, length % 16),
// then the blobs, each at a multiple of 16 bytes.
constexpr int SharedBlock = 3;
constexpr int SlotsAt = 12;
constexpr int SlotSize = 5;
constexpr int SlotCount = 64;
constexpr int SharedDataAt = SlotsAt + SlotCount * SlotSize;

} // namespace

QByteArray ParadoxBlobs::read(QByteArrayView field, const ParadoxValueName &name)
{
    const int leaderSize = int(field.size()) - PointerSize;
    const quint32 place = littleEndianAt<quint32>(field, leaderSize);
    const quint32 length = littleEndianAt<quint32>(field, leaderSize + 4);
    if (length == 0)
        return QByteArray();

    if (place == 0) {
        // Short enough to live in the leader alone.
        if (length > quint32(leaderSize))
            m_db.fail(QStringLiteral("%1 says it holds %2 bytes, but keeps them nowhere").arg(name.text()).arg(length));
        return field.first(length).toByteArray();
    }
    if (!m_mb)
        m_db.fail(QStringLiteral("%1 is kept in the memo and image file, which is missing").arg(name.text()));
    const qint64 blockAt = place & ~quint32(0xFF);
    const int slot = int(place & 0xFF);
    if (blockAt % Chunk != 0)
        m_mb->fail(QStringLiteral("%1 points to byte %2, where no block starts").arg(name.text()).arg(blockAt));
    if (slot == SingleSlot)
        return readSingle(blockAt, length, name);
    if (slot < SlotCount)
        return readSlot(blockAt, slot, length, name);
    m_mb->fail(QStringLiteral("%1 points to slot %2 of the block at byte %3, which has %4 slots")
                   .arg(name.text()).arg(slot).arg(blockAt).arg(SlotCount));
}

QByteArray ParadoxBlobs::readSingle(qint64 blockAt, quint32 length, const ParadoxValueName &name)
{
    const QByteArray head = m_mb->read(blockAt, SingleDataAt, QStringLiteral("the block of %1").arg(name.text()));
    const int type = quint8(head[0]);
    const int chunks = littleEndianAt<quint16>(head, 1);
    const quint32 stored = littleEndianAt<quint32>(head, 3);
    if (type != SingleBlock)
        m_mb->fail(QStringLiteral("%1 points to the block at byte %2, which is not a block of one blob (type %3)")
                       .arg(name.text()).arg(blockAt).arg(type));
    if (stored != length)
        m_mb->fail(QStringLiteral("%1 is %2 bytes long in the table, but %3 in its block at byte %4")
                       .arg(name.text()).arg(length).arg(stored).arg(blockAt));
    if (SingleDataAt + qint64(length) > chunks * Chunk)
        m_mb->fail(QStringLiteral("the block of %1 at byte %2 is damaged: %3 bytes do not fit in it")
                       .arg(name.text()).arg(blockAt).arg(length));
    return m_mb->read(blockAt + SingleDataAt, length, name.text());
}

QByteArray ParadoxBlobs::readSlot(qint64 blockAt, int slot, quint32 length, const ParadoxValueName &name)
{
    const QByteArray head = m_mb->read(blockAt, SharedDataAt, QStringLiteral("the block of %1").arg(name.text()));
    const int type = quint8(head[0]);
    if (type != SharedBlock)
        m_mb->fail(QStringLiteral("%1 points to the block at byte %2, which is not a block of small blobs (type %3)")
                       .arg(name.text()).arg(blockAt).arg(type));
    const char *entry = head.constData() + SlotsAt + slot * SlotSize;
    const qint64 dataAt = qint64(quint8(entry[0])) * 16;
    const qint64 room = qint64(quint8(entry[1])) * 16;
    if (dataAt < SharedDataAt)
        m_mb->fail(QStringLiteral("%1 points to slot %2 of the block at byte %3, which holds nothing")
                       .arg(name.text()).arg(slot).arg(blockAt));
    if (length > room || dataAt + length > Chunk)
        m_mb->fail(QStringLiteral("%1 is %2 bytes long, more than its slot %3 of the block at byte %4 holds")
                       .arg(name.text()).arg(length).arg(slot).arg(blockAt));
    return m_mb->read(blockAt + dataAt, length, name.text());
}
