#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

class ParadoxSource;

// The kinds of field a Paradox table holds, by the byte its header names them with.
namespace ParadoxType {
enum : quint8 {
    Alpha = 0x01, Date = 0x02, Short = 0x03, Long = 0x04, Currency = 0x05, Number = 0x06, Logical = 0x09,
    MemoBlob = 0x0C, Blob = 0x0D, FormattedMemo = 0x0E, Ole = 0x0F, Graphic = 0x10, Time = 0x14,
    Timestamp = 0x15, AutoIncrement = 0x16, Bcd = 0x17, Bytes = 0x18,
};
// "alpha", "memo", ... as a message names the kind; "unknown (0x42)" for any other byte.
QString name(quint8 type);
// Memo, formatted memo, binary, OLE and graphic fields: a leader in the record and the
// rest in the .MB file.
bool isBlob(quint8 type);
} // namespace ParadoxType

struct ParadoxField {
    QString name;
    quint8 type = 0;
    int size = 0;   // bytes in the record
    int offset = 0; // where it starts in the record
};

// The header of a Paradox data file (.DB): the record and block sizes, where the data
// blocks start and which comes first, the record count, the code page and the fields.
struct ParadoxHeader {
    int recordSize = 0;
    int headerSize = 0;
    int fileType = 0;     // 0 keyed table, 2 table without a key
    int blockSize = 0;    // bytes in a data block
    qint64 recordCount = 0;
    int fileBlocks = 0;   // data blocks the file holds
    int firstBlock = 0;   // 0: none
    int version = 0;      // the file version byte: 3 is Paradox 3.0, 12 is Paradox 7
    int keyFields = 0;
    int codePage = 0;     // 0: the header names none
    std::vector<ParadoxField> fields;

    // The first bytes every Paradox file has, before anything is known of it.
    static constexpr int BaseSize = 0x58;
    // Whether a file beginning with `first` (at least BaseSize bytes) is a Paradox file
    // of any kind: a table, an index or another companion.
    static bool looksLikeParadox(QByteArrayView first);

    // Reads and checks the header of the data file `db`, and that the file holds every
    // data block the header counts; a damaged one throws, naming the damage.
    static ParadoxHeader read(ParadoxSource &db);

    // Where data block `block` (from 1) starts in the file.
    qint64 blockOffset(int block) const { return headerSize + qint64(block - 1) * blockSize; }
};
