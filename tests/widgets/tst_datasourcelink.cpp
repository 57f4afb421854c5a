#include "catalogue/DataSource.h"
#include "tests/common/CatalogueFixture.h"
#include "widgets/data/DataSourceLink.h"

#include <QSignalSpy>
#include <QTest>
#include <map>
#include <memory>
#include <type_traits>

using namespace fixture;
namespace S = CatalogueSchema;

class TstDataSourceLink : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"a.zip", "Alpha", "Unit", "In use", ""},
        {"b.zip", "Beta", "Tool", "Testing", ""},
        {"c.zip", "Gamma", "Component", "Unseen", ""},
    };

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void passesOnEachSignal_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("signal");
        QTest::newRow("closed") << "close" << "activeChanged";
        QTest::newRow("editing") << "edit" << "stateChanged";
        QTest::newRow("moved") << "next" << "recordChanged";
        QTest::newRow("field") << "field" << "fieldChanged";
        QTest::newRow("order") << "index" << "dataSetChanged";
    }

    // Each signal of the source reaches whoever listens to the link, once and
    // under its own name.
    void passesOnEachSignal()
    {
        QFETCH(QString, action);
        QFETCH(QString, signal);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "signals.db", m_sample);
        DataSource ds(&t);
        DataSourceLink link;
        QVERIFY(link.setDataSource(&ds));
        QCOMPARE(link.table(), &t);
        if (action == "field")
            t.edit();

        const auto spyOn = [](auto *sender) {
            using Sender = std::remove_pointer_t<decltype(sender)>;
            std::map<QString, std::unique_ptr<QSignalSpy>> spies;
            spies["activeChanged"] = std::make_unique<QSignalSpy>(sender, &Sender::activeChanged);
            spies["stateChanged"] = std::make_unique<QSignalSpy>(sender, &Sender::stateChanged);
            spies["recordChanged"] = std::make_unique<QSignalSpy>(sender, &Sender::recordChanged);
            spies["fieldChanged"] = std::make_unique<QSignalSpy>(sender, &Sender::fieldChanged);
            spies["dataSetChanged"] = std::make_unique<QSignalSpy>(sender, &Sender::dataSetChanged);
            return spies;
        };
        const auto fromSource = spyOn(&ds);
        const auto fromLink = spyOn(&link);

        if (action == "close")
            t.close();
        else if (action == "edit")
            t.edit();
        else if (action == "next")
            t.next();
        else if (action == "field")
            t.field(S::Product).setAsString("Other");
        else if (action == "index")
            t.setIndexName("idx_Product_Down");

        QVERIFY2(fromLink.at(signal)->count() >= 1, qPrintable(signal));
        for (const auto &[name, spy] : fromSource) {
            QVERIFY2(fromLink.at(name)->count() == spy->count(), qPrintable(name));
            for (qsizetype i = 0; i < spy->count(); ++i)
                QCOMPARE(fromLink.at(name)->at(i), spy->at(i));
        }
    }

    // Binding another source moves every connection; binding the same one again
    // changes nothing; a source that is destroyed is let go.
    void rebinding()
    {
        CatalogueTable a;
        makeCatalogueAtFirst(a, m_dir, "a.db", m_sample);
        CatalogueTable b;
        makeCatalogueAtFirst(b, m_dir, "b.db", m_sample);
        DataSource first(&a);
        auto second = std::make_unique<DataSource>(&b);
        DataSourceLink link;
        QSignalSpy records(&link, &DataSourceLink::recordChanged);

        QVERIFY(link.setDataSource(&first));
        QVERIFY(!link.setDataSource(&first));
        a.next();
        QCOMPARE(records.count(), 1);

        QVERIFY(link.setDataSource(second.get()));
        QCOMPARE(link.dataSource(), second.get());
        QCOMPARE(link.table(), &b);
        a.next();
        QCOMPARE(records.count(), 1);
        b.next();
        QCOMPARE(records.count(), 2);

        second.reset();
        QCOMPARE(link.dataSource(), nullptr);
        QCOMPARE(link.table(), nullptr);
        QVERIFY(link.setDataSource(&first));
        a.prior();
        QCOMPARE(records.count(), 3);
        QVERIFY(link.setDataSource(nullptr));
        a.prior();
        QCOMPARE(records.count(), 3);
    }
};

QTEST_GUILESS_MAIN(TstDataSourceLink)
#include "tst_datasourcelink.moc"
