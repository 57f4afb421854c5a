#include "catalogue/engine/OrderList.h"

#include <QTest>
#include <map>

namespace {

SortKey::Part text(const char *s)
{
    return {false, QByteArray(s)};
}

// Row ids with their archive names, read by the list through keyOf, counting the reads.
struct Keys {
    std::map<qint64, QByteArray> archives;
    int reads = 0;
    SortKey operator()(qint64 rowId)
    {
        ++reads;
        return SortKey(rowId, {}, text(archives.at(rowId).constData()), text("p"), text("t"));
    }
};

} // namespace

class TstOrderList : public QObject
{
    Q_OBJECT

private slots:
    // Until the list is read only the count opening found is known.
    void countBeforeAndAfterReading()
    {
        OrderList list;
        list.reset(5);
        QVERIFY(!list.isRead());
        QCOMPARE(list.count(), 5);
        list.assign({30, 10, 20});
        QVERIFY(list.isRead());
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.positionOf(20), 2);
        QCOMPARE(list.positionOf(99), -1);
        list.removeAt(0);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.rowId(0), 10);
        list.reset();
        QVERIFY(!list.isRead());
        QCOMPARE(list.count(), 0);
    }

    void insertSortedFindsThePlace_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<qint64>("rowId");
        QTest::addColumn<int>("place");
        QTest::newRow("before all") << QByteArray("a") << qint64(100) << 0;
        QTest::newRow("after all") << QByteArray("z") << qint64(100) << 5;
        QTest::newRow("between") << QByteArray("e") << qint64(100) << 2;
        // Equal keys stand in row id order, as the indexes keep them.
        QTest::newRow("tie, later row id") << QByteArray("f") << qint64(100) << 3;
        QTest::newRow("tie, earlier row id") << QByteArray("f") << qint64(1) << 2;
    }

    void insertSortedFindsThePlace()
    {
        QFETCH(QByteArray, archive);
        QFETCH(qint64, rowId);
        QFETCH(int, place);
        Keys keys;
        keys.archives = {{11, "b"}, {12, "d"}, {13, "f"}, {14, "h"}, {15, "k"}, {rowId, archive}};
        OrderList list;
        list.assign({11, 12, 13, 14, 15});
        const SortKey::Less less{CatalogueOrder{}};
        QCOMPARE(list.insertSorted(rowId, std::ref(keys), less), place);
        QCOMPARE(list.rowId(place), rowId);
        QCOMPARE(list.count(), 6);
        for (int i = 1; i < list.size(); ++i)
            QVERIFY(less(keys(list.rowId(i - 1)), keys(list.rowId(i))));
    }

    // A post in a large catalogue reads a handful of keys, not the whole order.
    void insertSortedReadsFewKeys()
    {
        Keys keys;
        std::vector<qint64> ids;
        for (qint64 id = 1; id <= 100000; ++id) {
            keys.archives[id] = QByteArray::number(id).rightJustified(6, '0');
            ids.push_back(id);
        }
        keys.archives[200000] = "050000x";
        OrderList list;
        list.assign(ids);
        QCOMPARE(list.insertSorted(200000, std::ref(keys), SortKey::Less(CatalogueOrder{})), 50000);
        QVERIFY2(keys.reads <= 18, qPrintable(QString::number(keys.reads)));
    }

    // Row ids are held in four bytes while they fit; one that does not widens the list,
    // and no id is ever mistaken for another that shares its low four bytes.
    void rowIdsKeepTheirValueNarrowOrWide_data()
    {
        QTest::addColumn<QList<qint64>>("ids");
        QTest::addColumn<bool>("narrow");
        const qint64 big = qint64(1) << 32;
        QTest::newRow("small") << QList<qint64>{3, 1, 2} << true;
        QTest::newRow("the largest four-byte id") << QList<qint64>{7, qint64(UINT32_MAX)} << true;
        QTest::newRow("one beyond") << QList<qint64>{5, big + 5, 6} << false;
        QTest::newRow("negative") << QList<qint64>{-1, 1} << false;
    }

    void rowIdsKeepTheirValueNarrowOrWide()
    {
        QFETCH(QList<qint64>, ids);
        QFETCH(bool, narrow);
        OrderList list;
        list.assign(std::vector<qint64>(ids.cbegin(), ids.cend()));
        QCOMPARE(list.size(), int(ids.size()));
        for (int i = 0; i < ids.size(); ++i) {
            QCOMPARE(list.rowId(i), ids[i]);
            QCOMPARE(list.positionOf(ids[i]), i);
        }
        const qint64 big = qint64(1) << 32;
        // Ids that agree with one in the list in their low four bytes only.
        for (const qint64 id : ids) {
            if (!ids.contains(id + big))
                QCOMPARE(list.positionOf(id + big), -1);
        }
        std::vector<qint64> copied;
        list.copyRowIds(0, list.size(), copied);
        QCOMPARE(QList<qint64>(copied.cbegin(), copied.cend()), ids);
        QCOMPARE(list.bytesHeld() < size_t(ids.size() + 16) * 8, true);
        if (narrow)
            QVERIFY(list.bytesHeld() <= size_t(ids.size() + 16) * 4);
    }

    // A million rows cost at most four bytes each; an insert beyond four bytes widens
    // the list and keeps every id and its place.
    void aMillionRowsInFourBytesEach()
    {
        OrderList list;
        list.beginFill(1000000);
        for (qint64 id = 1; id <= 1000000; ++id)
            list.append(id * 7);
        list.endFill();
        QCOMPARE(list.count(), 1000000);
        QVERIFY2(list.bytesHeld() <= 4 * 1000016, qPrintable(QString::number(list.bytesHeld())));
        QCOMPARE(list.rowId(999999), 7000000);
        QCOMPARE(list.positionOf(7000000), 999999);

        Keys keys;
        keys.archives = {{7, "a"}, {14, "c"}, {21, "e"}};
        OrderList small;
        small.assign({7, 14, 21});
        const qint64 wide = (qint64(1) << 40) + 14;
        keys.archives[wide] = "d";
        QCOMPARE(small.insertSorted(wide, std::ref(keys), SortKey::Less(CatalogueOrder{})), 2);
        QCOMPARE(small.rowId(0), 7);
        QCOMPARE(small.rowId(1), 14);
        QCOMPARE(small.rowId(2), wide);
        QCOMPARE(small.rowId(3), 21);
        QCOMPARE(small.positionOf(14), 1);
        small.removeAt(2);
        QCOMPARE(small.positionOf(wide), -1);
        QCOMPARE(small.rowId(2), 21);
    }
};

QTEST_APPLESS_MAIN(TstOrderList)
#include "tst_order_list.moc"
