// The Paradox reader against tables written by another program: every value of the
// small table, the text in Windows 1252, memos in the .MB and in their leader, the
// images byte for byte, and damaged files refused with what is wrong with them.

#include "catalogue/EngineError.h"
#include "catalogue/paradox/ParadoxCatalogue.h"
#include "catalogue/paradox/ParadoxTable.h"
#include "tests/common/ParadoxFixture.h"

#include <QTemporaryDir>
#include <QTest>

using namespace paradox;

namespace {

struct Read {
    std::vector<ParadoxTable::Values> records;
    std::vector<ParadoxField> fields;
};

Read readAll(ParadoxTable &table)
{
    Read out;
    out.fields = table.header().fields;
    table.readRecords([&](int, const ParadoxTable::Values &v) { out.records.push_back(v); });
    return out;
}

Read readFile(const QString &path)
{
    return readAll(*ParadoxTable::open(path));
}

Read readBytes(const QByteArray &db, const QByteArray &mb)
{
    ParadoxTable table(std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.DB"), db),
                       std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.MB"), mb));
    return readAll(table);
}

// The message of the EngineError `run` throws; fails the test when it throws nothing.
template<typename Run>
QString refusal(Run run)
{
    try {
        run();
    } catch (const EngineError &e) {
        if (e.kind() != EngineError::Kind::NotACatalogue)
            return QStringLiteral("wrong kind: ") + e.message();
        return e.message();
    }
    return QStringLiteral("(no error)");
}

int fieldIndex(const Read &read, const char *name)
{
    for (size_t i = 0; i < read.fields.size(); ++i) {
        if (read.fields[i].name == QLatin1String(name))
            return int(i);
    }
    return -1;
}

QByteArray patched(QByteArray bytes, int at, const QByteArray &with)
{
    bytes.replace(at, with.size(), with);
    return bytes;
}

// Places in small/CONTENTS.DB: the data block follows the 2048-byte header, records
// of 192 bytes follow the block's 6 header bytes.
constexpr int Block1 = 0x800;
constexpr int Record0 = Block1 + 6;
constexpr int RecordSize = 192;
constexpr int GuidePointer = 151; // the Guide field's 10 bytes after its 1-byte leader
constexpr int OrigImgPointer = 172;
constexpr int D1 = 90;

} // namespace

class TstParadoxTable : public QObject
{
    Q_OBJECT

private:
    Read m_small;
    QByteArray m_db, m_mb;

private slots:
    void initTestCase()
    {
        m_small = readFile(dataDir(QStringLiteral("small/CONTENTS.DB")));
        m_db = bytesOf(dataDir(QStringLiteral("small/CONTENTS.DB")));
        m_mb = bytesOf(dataDir(QStringLiteral("small/CONTENTS.MB")));
    }

    void header()
    {
        const ParadoxTable table(std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.DB"), m_db),
                                 std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.MB"), m_mb));
        const ParadoxHeader &h = table.header();
        QCOMPARE(h.version, 12);
        QCOMPARE(h.recordSize, 192);
        QCOMPARE(h.blockSize, 16384);
        QCOMPARE(h.recordCount, 5);
        QCOMPARE(h.keyFields, 3);
        QCOMPARE(h.codePage, 1252);
        QStringList names;
        for (const ParadoxField &f : h.fields)
            names << QStringLiteral("%1:%2:%3").arg(f.name).arg(f.type).arg(f.size);
        QCOMPARE(names.join(u' '), QStringLiteral("Archive:1:35 Product:1:35 Type:1:20 D1:9:1 D2:9:1 D3:9:1 CB:9:1 "
                                                  "Status:1:20 Source:9:1 Origin:1:35 Guide:12:11 Comments:12:11 "
                                                  "OrigImg:16:10 CurrImg:16:10"));
    }

    void everyValueOfTheSmallTable_data()
    {
        QTest::addColumn<int>("record");
        for (int i = 0; i < smallDump().size(); ++i)
            QTest::addRow("record %d", i) << i;
    }

    void everyValueOfTheSmallTable()
    {
        QFETCH(int, record);
        QCOMPARE(int(m_small.records.size()), smallDump().size());
        QStringList got;
        const ParadoxTable::Values &values = m_small.records[size_t(record)];
        for (size_t i = 0; i < values.size(); ++i)
            got << dumpValue(values[i], ParadoxType::isBlob(m_small.fields[i].type));
        QCOMPARE(got.join(u'|'), smallDump()[record]);
    }

    void windowsTextBecomesUnicode()
    {
        const int product = fieldIndex(m_small, "Product");
        const int origin = fieldIndex(m_small, "Origin");
        QCOMPARE(m_small.records[2][size_t(product)].toString(), QStringLiteral("Caf\u00e9 tools"));
        QCOMPARE(m_small.records[2][size_t(origin)].toString(), QStringLiteral("Z\u00fcrich office"));
        QString memos;
        for (const ParadoxTable::Values &v : m_small.records) {
            memos += v[size_t(fieldIndex(m_small, "Guide"))].toString();
            memos += v[size_t(fieldIndex(m_small, "Comments"))].toString();
        }
        // é € – « »: the bytes E9 80 96 AB BB of the memos.
        for (const char16_t c : {u'\u00e9', u'\u20ac', u'\u2013', u'\u00ab', u'\u00bb'})
            QVERIFY2(memos.contains(QChar(c)), qPrintable(QString(QChar(c))));
    }

    // The code page the header names; none means Windows 1252.
    void codePageFromTheHeader_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("product"); // empty: refused
        QTest::newRow("none") << 0 << QStringLiteral("Caf\u00e9 tools");
        QTest::newRow("1252") << 1252 << QStringLiteral("Caf\u00e9 tools");
        QTest::newRow("437") << 437 << QStringLiteral("Caf\u0398 tools");
        QTest::newRow("850") << 850 << QStringLiteral("Caf\u00da tools");
        QTest::newRow("unknown") << 9999 << QString();
    }

    void codePageFromTheHeader()
    {
        QFETCH(int, codePage);
        QFETCH(QString, product);
        const QByteArray db = patched(m_db, 0x6A, QByteArray(1, char(codePage & 0xFF)) + char(codePage >> 8));
        if (product.isEmpty()) {
            QCOMPARE(refusal([&] { readBytes(db, m_mb); }),
                     QStringLiteral("CONTENTS.DB: its text is in code page 9999, which this system cannot read."));
            return;
        }
        const Read read = readBytes(db, m_mb);
        QCOMPARE(read.records[2][size_t(fieldIndex(read, "Product"))].toString(), product);
    }

    void longMemoKeepsItsLineBreaks()
    {
        const QString guide = m_small.records[0][size_t(fieldIndex(m_small, "Guide"))].toString();
        QCOMPARE(guide.size(), 825);
        QCOMPARE(guide.count(QStringLiteral("\r\n")), 19);
        QCOMPARE(guide.count(u'\n'), 19);
    }

    void memoHeldInItsLeader()
    {
        QCOMPARE(m_small.records[3][size_t(fieldIndex(m_small, "Comments"))], QVariant(QStringLiteral("Y")));
    }

    void imagesAreTheBitmapsByteForByte_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("field");
        for (const int rec : {1, 3}) {
            for (const char *field : {"OrigImg", "CurrImg"})
                QTest::addRow("rec%d %s", rec, field) << rec << QString::fromLatin1(field);
        }
    }

    void imagesAreTheBitmapsByteForByte()
    {
        QFETCH(int, record);
        QFETCH(QString, field);
        const QVariant image = m_small.records[size_t(record)][size_t(fieldIndex(m_small, qPrintable(field)))];
        QCOMPARE(image.typeId(), QMetaType::QByteArray);
        QCOMPARE(image.toByteArray(), bytesOf(dataDir(QStringLiteral("images/rec%1_%2.bmp").arg(record).arg(field))));
    }

    void companionsFoundInAnyLetterCase_data()
    {
        QTest::addColumn<QString>("dbName");
        QTest::addColumn<QString>("mbName");
        QTest::newRow("lower table, upper memo") << "contents.db" << "CONTENTS.MB";
        QTest::newRow("upper table, lower memo") << "CONTENTS.DB" << "contents.mb";
        QTest::newRow("mixed") << "Contents.Db" << "conTENTS.mB";
    }

    void companionsFoundInAnyLetterCase()
    {
        QFETCH(QString, dbName);
        QFETCH(QString, mbName);
        QTemporaryDir dir;
        QFile::copy(dataDir(QStringLiteral("small/CONTENTS.DB")), dir.filePath(dbName));
        QFile::copy(dataDir(QStringLiteral("small/CONTENTS.MB")), dir.filePath(mbName));
        const Read read = readFile(dir.filePath(dbName));
        QCOMPARE(int(read.records.size()), 5);
        QCOMPARE(read.records[1][size_t(fieldIndex(read, "OrigImg"))].toByteArray().size(), 3126);
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("reason");
        QTest::newRow("truncated") << "bad/truncated" << "CONTENTS.DB: data block 1 is missing: the file ends at byte 1000.";
        QTest::newRow("truncated_data") << "bad/truncated_data" << "CONTENTS.DB: data block 1 is cut off at byte 2200.";
        QTest::newRow("no_mb") << "bad/no_mb" << "CONTENTS.DB: its memo and image file (.MB) is missing.";
        QTest::newRow("empty") << "bad/empty" << "CONTENTS.DB: the file is empty.";
    }

    void damagedFilesAreRefused()
    {
        QFETCH(QString, table);
        QFETCH(QString, reason);
        const QString path = dataDir(table + QStringLiteral("/CONTENTS.DB"));
        const QString message = refusal([&] { readFile(path); });
        // The message names the file by its whole path.
        QCOMPARE(message, QDir::toNativeSeparators(dataDir(table)) + QDir::separator() + reason);
    }

    // Values read from the file that point elsewhere are checked before they are used.
    void damageInsideIsRefused_data()
    {
        QTest::addColumn<bool>("inMemoFile");
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray le32Huge("\xff\xff\xff\x7f", 4);
        QTest::newRow("chain back to itself") << false << Block1 << QByteArray("\x01\x00", 2)
                                              << "the chain of data blocks comes back to block 1";
        QTest::newRow("chain past the file") << false << Block1 << QByteArray("\x07\x00", 2)
                                             << "the chain of data blocks leads to block 7, but the file has 1";
        QTest::newRow("block claims too much") << false << Block1 + 4 << QByteArray("\x40\x3f", 2)
                                               << "data block 1 is damaged: it claims 16384 bytes of records";
        QTest::newRow("record count") << false << 6 << QByteArray("\x06", 1)
                                      << "it holds 5 records, but its header counts 6";
        QTest::newRow("logical") << false << Record0 + D1 << QByteArray("\x42", 1)
                                 << "the field D1 of record 1 holds 0x42, which is neither true nor false";
        QTest::newRow("memo block past the end") << false << Record0 + GuidePointer << QByteArray("\x3f\x90\x00\x00", 4)
                                                 << "CONTENTS.MB: the block of the memo Guide of record 1 is cut off at byte 24576";
        QTest::newRow("memo longer than its slot") << false << Record0 + GuidePointer + 4 << le32Huge
                                                   << "is 2147483647 bytes long, more than its slot 63";
        QTest::newRow("memo in the leader too long") << false << Record0 + GuidePointer << QByteArray(4, '\0') + QByteArray("\x05\0\0\0", 4)
                                                     << "the memo Guide of record 1 says it holds 5 bytes, but keeps them nowhere";
        QTest::newRow("memo pointer off a block") << false << Record0 + GuidePointer << QByteArray("\x3f\x18\x00\x00", 4)
                                                  << "points to byte 6144, where no block starts";
        QTest::newRow("image length differs") << false << Record0 + RecordSize + OrigImgPointer + 4 << QByteArray("\x3f\x0c", 2)
                                              << "the image OrigImg of record 2 is 3135 bytes long in the table, but 3134";
        QTest::newRow("image block of another kind") << true << 0x2000 << QByteArray("\x03", 1)
                                                     << "which is not a block of one blob (type 3)";
        QTest::newRow("image block too long") << true << 0x2003 << QByteArray("\x00\x00\x01\x00", 4)
                                              << "is 3134 bytes long in the table, but 65536";
        QTest::newRow("image not a bitmap") << true << 0x2011 << QByteArray("XX", 2)
                                            << "the image OrigImg of record 2 is not a Windows bitmap";
        QTest::newRow("image size in its header") << true << 0x200D << QByteArray("\x00\x0d", 2)
                                                  << "says its picture has 3328 bytes, but it has 3126";
        QTest::newRow("slot that holds nothing") << true << 0x1000 + 12 + 0x3f * 5 << QByteArray("\x00", 1)
                                                 << "points to slot 63 of the block at byte 4096, which holds nothing";
    }

    void damageInsideIsRefused()
    {
        QFETCH(bool, inMemoFile);
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QByteArray db = inMemoFile ? m_db : patched(m_db, at, bytes);
        const QByteArray mb = inMemoFile ? patched(m_mb, at, bytes) : m_mb;
        const QString message = refusal([&] { readBytes(db, mb); });
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.startsWith(QLatin1String("CONTENTS.")), qPrintable(message));
    }

    void otherLayoutsAreNoCatalogue_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        // The field names follow one another from 0x1D5 on; Status's type is at 0x86.
        QTest::newRow("renamed field") << 0x1D5 << QByteArray("Archiv\x01", 7)
                                       << "it is a Paradox table, but not a catalogue: its field Archiv\u0001 is none of a catalogue's";
        QTest::newRow("field twice") << 0x1D5 << QByteArray("Product", 7)
                                     << "it is a Paradox table, but not a catalogue: it has the field Product twice";
        QTest::newRow("other kind") << 0x86 << QByteArray("\x02", 1)
                                    << "it is a Paradox table, but not a catalogue: its field Status is a date field, where a catalogue has an alpha field";
        QTest::newRow("longer alpha") << 0x78 + 1 << QByteArray("\x24", 1) << "(record)";
    }

    void otherLayoutsAreNoCatalogue()
    {
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QByteArray db = patched(m_db, at, bytes);
        const QString message = refusal([&] {
            const ParadoxTable table(std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.DB"), db),
                                     std::make_unique<ParadoxMemorySource>(QStringLiteral("CONTENTS.MB"), m_mb));
            ParadoxCatalogue::match(table);
        });
        if (reason == QLatin1String("(record)")) {
            // A longer alpha field no longer fits the record's size: the header is damaged.
            QVERIFY2(message.contains(QLatin1String("its fields take 193 bytes, but a record 192")), qPrintable(message));
            return;
        }
        QCOMPARE(message, QStringLiteral("CONTENTS.DB: ") + reason + u'.');
    }
};

QTEST_APPLESS_MAIN(TstParadoxTable)
#include "tst_paradox_table.moc"
