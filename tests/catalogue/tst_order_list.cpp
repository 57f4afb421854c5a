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
        list.assign(std::move(ids));
        QCOMPARE(list.insertSorted(200000, std::ref(keys), SortKey::Less(CatalogueOrder{})), 50000);
        QVERIFY2(keys.reads <= 18, qPrintable(QString::number(keys.reads)));
    }
};

QTEST_APPLESS_MAIN(TstOrderList)
#include "tst_order_list.moc"
