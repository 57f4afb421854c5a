#pragma once

// Writes Paradox 7 catalogue tables of any size (NAME.DB and NAME.MB) for the
// benchmark and the tests: the catalogue's fourteen fields, 16 KiB data blocks chained
// in key order, memos in shared 4 KiB blocks of the .MB and images each in a block of
// its own, behind the 8-byte picture header.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <vector>

namespace paradox {

struct WrittenRecord {
    QByteArray archive, product, type, status, origin; // Windows 1252 bytes
    int d1 = 0, d2 = 0, d3 = 0, cb = 0, source = 0;    // 0 empty, 1 false, 2 true
    QByteArray guide, comments;                         // empty: none
    QByteArray origImg, currImg;                        // BMP files; empty: none
};

class ParadoxWriter
{
public:
    static constexpr int RecordSize = 192;
    static constexpr int BlockSize = 16384;
    static constexpr int HeaderSize = 2048;
    static constexpr int Chunk = 4096;

    // Records must come in key order with distinct keys.
    void add(WrittenRecord r) { m_records.push_back(std::move(r)); }

    void write(const QString &dbPath, const QString &mbPath)
    {
        m_mb = QByteArray(Chunk, '\0'); // block 0: the .MB's header
        m_mb[0] = 0;
        m_shared = -1;
        const int perBlock = (BlockSize - 6) / RecordSize;
        const int blocks = int((m_records.size() + perBlock - 1) / perBlock);
        QByteArray db = header(blocks);
        for (int b = 0; b < blocks; ++b) {
            QByteArray block(BlockSize, '\0');
            const int first = b * perBlock;
            const int count = std::min<int>(perBlock, int(m_records.size()) - first);
            put16(block, 0, b + 1 < blocks ? b + 2 : 0);
            put16(block, 2, b);
            put16(block, 4, (count - 1) * RecordSize);
            for (int i = 0; i < count; ++i)
                block.replace(6 + i * RecordSize, RecordSize, record(m_records[size_t(first + i)]));
            db += block;
        }
        save(dbPath, db);
        save(mbPath, m_mb);
    }

private:
    static void put16(QByteArray &b, int at, int v) { qToLittleEndian<quint16>(quint16(v), b.data() + at); }
    static void put32(QByteArray &b, int at, quint32 v) { qToLittleEndian<quint32>(v, b.data() + at); }

    static void save(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }

    struct FieldDef {
        const char *name;
        char type;
        int size;
    };
    static const std::vector<FieldDef> &fields()
    {
        static const std::vector<FieldDef> f = {
            {"Archive", 0x01, 35}, {"Product", 0x01, 35}, {"Type", 0x01, 20}, {"D1", 0x09, 1}, {"D2", 0x09, 1},
            {"D3", 0x09, 1}, {"CB", 0x09, 1}, {"Status", 0x01, 20}, {"Source", 0x09, 1}, {"Origin", 0x01, 35},
            {"Guide", 0x0C, 11}, {"Comments", 0x0C, 11}, {"OrigImg", 0x10, 10}, {"CurrImg", 0x10, 10},
        };
        return f;
    }

    QByteArray header(int blocks) const
    {
        QByteArray h(HeaderSize, '\0');
        put16(h, 0x00, RecordSize);
        put16(h, 0x02, HeaderSize);
        h[0x04] = 0; // keyed
        h[0x05] = char(BlockSize / 1024);
        put32(h, 0x06, quint32(m_records.size()));
        put16(h, 0x0C, blocks);
        put16(h, 0x0E, blocks > 0 ? 1 : 0);
        put16(h, 0x21, int(fields().size()));
        put16(h, 0x23, 3);
        put32(h, 0x25, 0xFF00FF00u);
        h[0x39] = 12;
        put16(h, 0x6A, 1252);
        int at = 0x78;
        for (const FieldDef &f : fields()) {
            h[at++] = f.type;
            h[at++] = char(f.size);
        }
        at += 4 + int(fields().size()) * 4;
        const QByteArray name("CONTENTS.DB");
        h.replace(at, name.size(), name);
        at += 261;
        for (const FieldDef &f : fields()) {
            const QByteArray n(f.name);
            h.replace(at, n.size(), n);
            at += int(n.size()) + 1;
        }
        return h;
    }

    static void alpha(QByteArray &rec, int &at, const QByteArray &text, int size)
    {
        rec.replace(at, std::min<int>(size, int(text.size())), text.left(size));
        at += size;
    }

    static void logical(QByteArray &rec, int &at, int v)
    {
        rec[at++] = char(v == 0 ? 0x00 : v == 1 ? 0x80 : 0x81);
    }

    // A memo: one byte in the leader, the rest in a shared block of the .MB.
    void memo(QByteArray &rec, int &at, const QByteArray &text)
    {
        if (text.isEmpty()) {
            at += 11;
            return;
        }
        rec[at] = text[0];
        if (text.size() == 1) {
            put32(rec, at + 5, 1);
        } else {
            const quint32 place = shared(text);
            put32(rec, at + 1, place);
            put32(rec, at + 5, quint32(text.size()));
            put16(rec, at + 9, 1);
        }
        at += 11;
    }

    // An image in a block of its own, behind its picture header.
    void image(QByteArray &rec, int &at, const QByteArray &bmp)
    {
        if (!bmp.isEmpty()) {
            QByteArray blob("\x01\x00\x00\x01", 4);
            blob += QByteArray(4, '\0');
            put32(blob, 4, quint32(bmp.size()));
            blob += bmp;
            const int chunks = int((9 + blob.size() + Chunk - 1) / Chunk);
            const int blockAt = int(m_mb.size());
            QByteArray block(chunks * Chunk, '\0');
            block[0] = 2;
            put16(block, 1, chunks);
            put32(block, 3, quint32(blob.size()));
            put16(block, 7, 1);
            block.replace(9, blob.size(), blob);
            m_mb += block;
            put32(rec, at, quint32(blockAt) | 0xFF);
            put32(rec, at + 4, quint32(blob.size()));
            put16(rec, at + 8, 1);
        }
        at += 10;
    }

    // Puts a memo into the current shared block, or a new one when it is full.
    quint32 shared(const QByteArray &text)
    {
        constexpr int SlotsAt = 12, SlotSize = 5, DataAt = 12 + 64 * 5;
        const int room = int((text.size() + 15) / 16);
        if (m_shared < 0 || m_sharedSlot == 64 || m_sharedNext + room * 16 > Chunk) {
            m_shared = int(m_mb.size());
            m_mb += QByteArray(Chunk, '\0');
            m_mb[m_shared] = 3;
            put16(m_mb, m_shared + 1, 1);
            m_sharedSlot = 0;
            m_sharedNext = (DataAt + 15) / 16 * 16;
        }
        const int slot = m_sharedSlot++;
        char *entry = m_mb.data() + m_shared + SlotsAt + slot * SlotSize;
        entry[0] = char(m_sharedNext / 16);
        entry[1] = char(room);
        entry[2] = 1;
        entry[3] = 0;
        entry[4] = char(text.size() % 16);
        m_mb.replace(m_shared + m_sharedNext, text.size(), text);
        m_sharedNext += room * 16;
        return quint32(m_shared) | quint32(slot);
    }

    QByteArray record(const WrittenRecord &r)
    {
        QByteArray rec(RecordSize, '\0');
        int at = 0;
        alpha(rec, at, r.archive, 35);
        alpha(rec, at, r.product, 35);
        alpha(rec, at, r.type, 20);
        logical(rec, at, r.d1);
        logical(rec, at, r.d2);
        logical(rec, at, r.d3);
        logical(rec, at, r.cb);
        alpha(rec, at, r.status, 20);
        logical(rec, at, r.source);
        alpha(rec, at, r.origin, 35);
        memo(rec, at, r.guide);
        memo(rec, at, r.comments);
        image(rec, at, r.origImg);
        image(rec, at, r.currImg);
        return rec;
    }

    std::vector<WrittenRecord> m_records;
    QByteArray m_mb;
    int m_shared = -1;
    int m_sharedSlot = 0;
    int m_sharedNext = 0;
};

// A 32x32 24-bit BMP, its pixels made from `seed`.
inline QByteArray bitmap(int seed)
{
    constexpr int Side = 32, Row = Side * 3, Pixels = Row * Side, Size = 54 + Pixels;
    QByteArray b(Size, '\0');
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(Size, b.data() + 2);
    qToLittleEndian<quint32>(54, b.data() + 10);
    qToLittleEndian<quint32>(40, b.data() + 14);
    qToLittleEndian<qint32>(Side, b.data() + 18);
    qToLittleEndian<qint32>(Side, b.data() + 22);
    qToLittleEndian<quint16>(1, b.data() + 26);
    qToLittleEndian<quint16>(24, b.data() + 28);
    qToLittleEndian<quint32>(Pixels, b.data() + 34);
    for (int i = 0; i < Pixels; ++i)
        b[54 + i] = char((seed * 31 + i * 7) & 0xFF);
    return b;
}

// The benchmark's table: `records` records, every `records / memos`-th with a memo
// Guide (CP1252 text with line breaks), every `records / images`-th with both images.
inline void writeCatalogueTable(const QString &dbPath, const QString &mbPath, int records, int memos, int imagePairs)
{
    ParadoxWriter w;
    const int memoEvery = memos > 0 ? records / memos : 0;
    const int imageEvery = imagePairs > 0 ? records / imagePairs : 0;
    for (int i = 0; i < records; ++i) {
        WrittenRecord r;
        r.archive = "Archive " + QByteArray::number(i / 100).rightJustified(4, '0');
        r.product = "Caf\xE9 product " + QByteArray::number(i).rightJustified(6, '0');
        r.type = i % 3 == 0 ? "Component" : "Application";
        r.status = "Active";
        r.origin = i % 2 ? "www.example.org" : "";
        r.d1 = i % 3;
        r.d2 = (i + 1) % 3;
        r.source = 2;
        if (memoEvery > 0 && i % memoEvery == 0)
            r.guide = "Installed on " + QByteArray::number(i) + ".\r\nNotes \x80 \x96 \xAB\xBB\r\n" + QByteArray(120 + i % 200, 'g');
        if (imageEvery > 0 && i % imageEvery == 0) {
            r.origImg = bitmap(i);
            r.currImg = bitmap(i + 1);
        }
        w.add(std::move(r));
    }
    w.write(dbPath, mbPath);
}

} // namespace paradox
