#include "catalogue/paradox/ParadoxTable.h"

#include "catalogue/paradox/LittleEndian.h"
#include "catalogue/paradox/ParadoxBlobs.h"
#include "catalogue/paradox/ParadoxFiles.h"

#include <algorithm>

namespace {

constexpr int BlockHeaderSize = 6;
// A logical field: 0 empty, then the high bit with 0 for false or 1 for true.
constexpr quint8 LogicalFalse = 0x80;
constexpr quint8 LogicalTrue = 0x81;
// The header Delphi puts before the picture of a graphic field: a count of 1, the kind
// 0x0100 and the picture's size.
constexpr char GraphicHeader[] = {1, 0, 0, 1};
constexpr int GraphicHeaderSize = 8;

} // namespace

std::unique_ptr<ParadoxTable> ParadoxTable::open(const QString &path)
{
    auto db = std::make_unique<ParadoxFileSource>(path);
    const QString mbPath = ParadoxFiles::companion(path, QStringLiteral("MB"));
    std::unique_ptr<ParadoxSource> mb;
    if (!mbPath.isEmpty())
        mb = std::make_unique<ParadoxFileSource>(mbPath);
    auto table = std::make_unique<ParadoxTable>(std::move(db), std::move(mb));
    return table;
}

ParadoxTable::ParadoxTable(std::unique_ptr<ParadoxSource> db, std::unique_ptr<ParadoxSource> mb)
    : m_db(std::move(db)), m_mb(std::move(mb)), m_header(ParadoxHeader::read(*m_db)),
      m_codePage(ParadoxCodePage::forNumber(m_header.codePage))
{
    const bool hasBlobs = std::any_of(m_header.fields.begin(), m_header.fields.end(),
                                      [](const ParadoxField &f) { return ParadoxType::isBlob(f.type); });
    if (hasBlobs && !m_mb)
        fail(QStringLiteral("its memo and image file (.MB) is missing"));
}

void ParadoxTable::readRecords(const std::function<void(int number, const Values &values)> &take)
{
    const ParadoxHeader &h = m_header;
    std::vector<bool> visited(size_t(h.fileBlocks) + 1, false);
    Values values(h.fields.size());
    qint64 number = 0;
    for (int block = h.recordCount > 0 ? h.firstBlock : 0; block != 0;) {
        if (block > h.fileBlocks)
            fail(QStringLiteral("the chain of data blocks leads to block %1, but the file has %2").arg(block).arg(h.fileBlocks));
        if (visited[size_t(block)])
            fail(QStringLiteral("the chain of data blocks comes back to block %1").arg(block));
        visited[size_t(block)] = true;
        const QByteArray bytes = m_db->read(h.blockOffset(block), h.blockSize, QStringLiteral("data block %1").arg(block));
        const int next = littleEndianAt<quint16>(bytes, 0);
        const int lastAt = littleEndianAt<qint16>(bytes, 4);
        // The offset of the block's last record; negative in a block without records.
        const int records = lastAt < 0 ? 0 : lastAt / h.recordSize + 1;
        if (lastAt >= 0 && (lastAt % h.recordSize != 0 || BlockHeaderSize + records * h.recordSize > h.blockSize))
            fail(QStringLiteral("data block %1 is damaged: it claims %2 bytes of records").arg(block).arg(lastAt + h.recordSize));
        if (number + records > h.recordCount)
            fail(QStringLiteral("it holds more records than the %1 its header counts").arg(h.recordCount));
        for (int i = 0; i < records; ++i) {
            ++number;
            readRecord(bytes.constData() + BlockHeaderSize + i * h.recordSize, int(number), values);
            take(int(number), values);
        }
        block = next;
    }
    if (number != h.recordCount)
        fail(QStringLiteral("it holds %1 records, but its header counts %2").arg(number).arg(h.recordCount));
}

void ParadoxTable::readRecord(const char *record, int number, Values &values)
{
    ParadoxBlobs blobs(*m_db, m_mb.get());
    for (size_t i = 0; i < m_header.fields.size(); ++i) {
        const ParadoxField &field = m_header.fields[i];
        const QByteArrayView bytes(record + field.offset, field.size);
        switch (field.type) {
        case ParadoxType::Alpha: {
            const qsizetype end = bytes.indexOf('\0');
            values[i] = readText(end < 0 ? bytes : bytes.first(end), {"field", field.name, number});
            break;
        }
        case ParadoxType::Logical:
            values[i] = readLogical(bytes.data(), field, number);
            break;
        case ParadoxType::MemoBlob:
        case ParadoxType::FormattedMemo: {
            checkBlobSize(field);
            const ParadoxValueName name{"memo", field.name, number};
            values[i] = readText(blobs.read(bytes, name), name);
            break;
        }
        case ParadoxType::Graphic: {
            checkBlobSize(field);
            const ParadoxValueName name{"image", field.name, number};
            const QByteArray blob = blobs.read(bytes, name);
            values[i] = blob.isEmpty() ? QVariant() : QVariant(bitmapOf(blob, name));
            break;
        }
        case ParadoxType::Blob:
        case ParadoxType::Ole: {
            checkBlobSize(field);
            const QByteArray blob = blobs.read(bytes, {"field", field.name, number});
            values[i] = blob.isEmpty() ? QVariant() : QVariant(blob);
            break;
        }
        default:
            fail(QStringLiteral("its field %1 is a %2 field, which this program does not read")
                     .arg(field.name, ParadoxType::name(field.type)));
        }
    }
}

void ParadoxTable::checkBlobSize(const ParadoxField &field) const
{
    if (field.size < ParadoxBlobs::PointerSize)
        fail(QStringLiteral("the header is damaged: the %1 field %2 has %3 bytes")
                 .arg(ParadoxType::name(field.type), field.name).arg(field.size));
}

QVariant ParadoxTable::readLogical(const char *bytes, const ParadoxField &field, int number) const
{
    const auto b = static_cast<quint8>(bytes[0]);
    if (field.size != 1)
        fail(QStringLiteral("the header is damaged: the logical field %1 has %2 bytes").arg(field.name).arg(field.size));
    if (b == 0)
        return QVariant();
    if (b != LogicalFalse && b != LogicalTrue)
        fail(QStringLiteral("the field %1 of record %2 holds 0x%3, which is neither true nor false")
                 .arg(field.name).arg(number).arg(b, 2, 16, QLatin1Char('0')));
    return QVariant(b == LogicalTrue);
}

QVariant ParadoxTable::readText(QByteArrayView bytes, const ParadoxValueName &name) const
{
    if (bytes.isEmpty())
        return QVariant();
    const std::optional<QString> text = m_codePage->decode(bytes);
    if (!text)
        fail(QStringLiteral("%1 is no text in code page %2").arg(name.text()).arg(m_codePage->number()));
    return QVariant(*text);
}

QByteArray ParadoxTable::bitmapOf(const QByteArray &blob, const ParadoxValueName &name) const
{
    QByteArray bitmap = blob;
    if (blob.size() >= GraphicHeaderSize && blob.startsWith(QByteArrayView(GraphicHeader, sizeof GraphicHeader))) {
        const quint32 size = littleEndianAt<quint32>(blob, 4);
        if (size != quint32(blob.size() - GraphicHeaderSize))
            fail(QStringLiteral("%1 says its picture has %2 bytes, but it has %3").arg(name.text()).arg(size).arg(blob.size() - GraphicHeaderSize));
        bitmap = blob.sliced(GraphicHeaderSize);
    }
    if (!bitmap.startsWith("BM"))
        fail(QStringLiteral("%1 is not a Windows bitmap").arg(name.text()));
    return bitmap;
}
