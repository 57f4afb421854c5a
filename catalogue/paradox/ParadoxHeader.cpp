#include "catalogue/paradox/ParadoxHeader.h"

#include "catalogue/paradox/LittleEndian.h"
#include "catalogue/paradox/ParadoxCodePage.h"
#include "catalogue/paradox/ParadoxSource.h"

#include <QByteArray>
#include <algorithm>
#include <optional>

namespace {

// Places in the header, from the start of the file.
constexpr int RecordSizeAt = 0x00;
constexpr int HeaderSizeAt = 0x02;
constexpr int FileTypeAt = 0x04;
constexpr int BlockSizeAt = 0x05;
constexpr int RecordCountAt = 0x06;
constexpr int FileBlocksAt = 0x0C;
constexpr int FirstBlockAt = 0x0E;
constexpr int FieldCountAt = 0x21;
constexpr int KeyFieldsAt = 0x23;
constexpr int OldEncryptionAt = 0x25;
constexpr int VersionAt = 0x39;
// Paradox 4 and later data files carry more before their field list.
constexpr int EncryptionAt = 0x5C;
constexpr int CodePageAt = 0x6A;
constexpr int FieldsAt = 0x58;
constexpr int LaterFieldsAt = 0x78;

constexpr int OldestVersion = 3;   // Paradox 3.0
constexpr int LaterVersion = 5;    // Paradox 4.0: the longer header
constexpr int NewestVersion = 12;  // Paradox 7
constexpr int MaxFileType = 8;
// Tables that are no older than Paradox 4 and not encrypted carry this in the old place.
constexpr quint32 NoOldEncryption = 0xFF00FF00;

quint8 byteAt(QByteArrayView h, int at)
{
    return static_cast<quint8>(h[at]);
}

quint16 u16At(QByteArrayView h, int at)
{
    return littleEndianAt<quint16>(h, at);
}

quint32 u32At(QByteArrayView h, int at)
{
    return littleEndianAt<quint32>(h, at);
}

bool isBlockSize(int kib)
{
    return kib == 1 || kib == 2 || kib == 3 || kib == 4 || kib == 8 || kib == 16 || kib == 32;
}

} // namespace

namespace ParadoxType {

QString name(quint8 type)
{
    switch (type) {
    case Alpha: return QStringLiteral("alpha");
    case Date: return QStringLiteral("date");
    case Short: return QStringLiteral("short number");
    case Long: return QStringLiteral("long integer");
    case Currency: return QStringLiteral("money");
    case Number: return QStringLiteral("number");
    case Logical: return QStringLiteral("logical");
    case MemoBlob: return QStringLiteral("memo");
    case Blob: return QStringLiteral("binary");
    case FormattedMemo: return QStringLiteral("formatted memo");
    case Ole: return QStringLiteral("OLE");
    case Graphic: return QStringLiteral("graphic");
    case Time: return QStringLiteral("time");
    case Timestamp: return QStringLiteral("timestamp");
    case AutoIncrement: return QStringLiteral("autoincrement");
    case Bcd: return QStringLiteral("BCD");
    case Bytes: return QStringLiteral("bytes");
    default: return QStringLiteral("unknown (0x%1)").arg(type, 2, 16, QLatin1Char('0'));
    }
}

bool isBlob(quint8 type)
{
    return type == MemoBlob || type == Blob || type == FormattedMemo || type == Ole || type == Graphic;
}

} // namespace ParadoxType

bool ParadoxHeader::looksLikeParadox(QByteArrayView first)
{
    if (first.size() < BaseSize)
        return false;
    const int version = byteAt(first, VersionAt);
    return u16At(first, RecordSizeAt) > 0 && u16At(first, HeaderSizeAt) >= BaseSize
        && byteAt(first, FileTypeAt) <= MaxFileType && isBlockSize(byteAt(first, BlockSizeAt))
        && version >= OldestVersion && version <= NewestVersion;
}

ParadoxHeader ParadoxHeader::read(ParadoxSource &db)
{
    if (db.size() == 0)
        db.fail(QStringLiteral("the file is empty"));
    const QByteArray base = db.read(0, BaseSize, QStringLiteral("the header"));
    if (!looksLikeParadox(base))
        db.fail(QStringLiteral("it is not a Paradox table"));

    ParadoxHeader h;
    h.fileType = byteAt(base, FileTypeAt);
    if (h.fileType != 0 && h.fileType != 2)
        db.fail(QStringLiteral("it is a Paradox index or another companion file (type %1), not a table").arg(h.fileType));
    h.version = byteAt(base, VersionAt);
    h.recordSize = u16At(base, RecordSizeAt);
    h.headerSize = u16At(base, HeaderSizeAt);
    h.blockSize = byteAt(base, BlockSizeAt) * 1024;
    h.recordCount = u32At(base, RecordCountAt);
    h.fileBlocks = u16At(base, FileBlocksAt);
    h.firstBlock = u16At(base, FirstBlockAt);
    h.keyFields = u16At(base, KeyFieldsAt);
    const int fieldCount = u16At(base, FieldCountAt);

    // The header ends in padding: a file cut inside it still tells its fields, so the
    // message can say that the data blocks are missing. Nothing past the file's end is read.
    const QByteArray header = db.read(0, std::min<qint64>(h.headerSize, db.size()), QStringLiteral("the header"));
    const auto cutOff = [&] { db.fail(QStringLiteral("the header is cut off at byte %1").arg(db.size())); };
    const bool later = h.version >= LaterVersion;
    const int fieldsAt = later ? LaterFieldsAt : FieldsAt;
    if (fieldsAt > h.headerSize)
        db.fail(QStringLiteral("the header is damaged: it is %1 bytes long, too short for a table").arg(h.headerSize));
    if (fieldsAt > header.size())
        cutOff();
    const quint32 oldEncryption = u32At(header, OldEncryptionAt);
    const bool encrypted = later ? u32At(header, EncryptionAt) != 0 || (oldEncryption != 0 && oldEncryption != NoOldEncryption)
                                 : oldEncryption != 0;
    if (encrypted)
        db.fail(QStringLiteral("the table is protected by a password"));
    if (later)
        h.codePage = u16At(header, CodePageAt);
    const std::optional<ParadoxCodePage> codePage = ParadoxCodePage::forNumber(h.codePage);
    if (!codePage)
        db.fail(QStringLiteral("its text is in code page %1, which this system cannot read").arg(h.codePage));

    if (fieldCount == 0)
        db.fail(QStringLiteral("the header is damaged: it names no fields"));
    if (h.keyFields > fieldCount)
        db.fail(QStringLiteral("the header is damaged: it has %1 key fields of %2 fields").arg(h.keyFields).arg(fieldCount));
    // Field types and sizes, then a pointer to the table name, one pointer per field name
    // (both meaningless on disk), the table name, and the field names one after another.
    const int tableNameLength = h.version >= NewestVersion ? 261 : 79;
    const qint64 namesAt = fieldsAt + qint64(fieldCount) * 2 + 4 + qint64(fieldCount) * 4 + tableNameLength;
    if (namesAt > h.headerSize)
        db.fail(QStringLiteral("the header is damaged: its %1 fields do not fit in its %2 bytes").arg(fieldCount).arg(h.headerSize));
    if (namesAt > header.size())
        cutOff();
    int offset = 0;
    int nameAt = int(namesAt);
    h.fields.reserve(size_t(fieldCount));
    for (int i = 0; i < fieldCount; ++i) {
        ParadoxField field;
        field.type = byteAt(header, fieldsAt + 2 * i);
        field.size = byteAt(header, fieldsAt + 2 * i + 1);
        field.offset = offset;
        offset += field.size;
        if (field.size == 0)
            db.fail(QStringLiteral("the header is damaged: field %1 takes no bytes").arg(i + 1));
        const qsizetype end = header.indexOf('\0', nameAt);
        if (end < 0 && header.size() < h.headerSize)
            cutOff();
        if (end < 0)
            db.fail(QStringLiteral("the header is damaged: the name of field %1 runs past its end").arg(i + 1));
        const std::optional<QString> name = codePage->decode(QByteArrayView(header).sliced(nameAt, end - nameAt));
        if (!name)
            db.fail(QStringLiteral("the header is damaged: the name of field %1 is no text").arg(i + 1));
        if (name->isEmpty())
            db.fail(QStringLiteral("the header is damaged: field %1 has no name").arg(i + 1));
        field.name = *name;
        nameAt = int(end) + 1;
        h.fields.push_back(std::move(field));
    }
    if (offset != h.recordSize)
        db.fail(QStringLiteral("the header is damaged: its fields take %1 bytes, but a record %2").arg(offset).arg(h.recordSize));
    if (h.recordSize + 6 > h.blockSize)
        db.fail(QStringLiteral("the header is damaged: a record of %1 bytes does not fit in a block of %2")
                    .arg(h.recordSize).arg(h.blockSize));

    // Every block the header counts is in the file; a file cut short is damaged even
    // where the blocks it still holds could be read.
    if (h.recordCount > 0 && (h.firstBlock == 0 || h.fileBlocks == 0))
        db.fail(QStringLiteral("the header is damaged: it counts %1 records but no data block").arg(h.recordCount));
    const qint64 end = h.blockOffset(h.fileBlocks + 1);
    if (db.size() < end) {
        if (h.fileBlocks == 0)
            cutOff();
        const int cut = db.size() <= h.headerSize ? 1 : int((db.size() - h.headerSize) / h.blockSize) + 1;
        if (db.size() <= h.blockOffset(cut))
            db.fail(QStringLiteral("data block %1 is missing: the file ends at byte %2").arg(cut).arg(db.size()));
        db.fail(QStringLiteral("data block %1 is cut off at byte %2").arg(cut).arg(db.size()));
    }
    return h;
}
