#include "catalogue/CatalogueTable.h"
#include "tests/common/CatalogueFixture.h"

#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

// Counts the moves the table reports.
struct Scrolls : CatalogueTableHandler {
    int count = 0;
    void afterScroll(CatalogueTable &) override { ++count; }
};

} // namespace

class TstCatalogueTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = fourRecords();

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void schemaOfNewCatalogue()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "schema.db");
        t.close();
        RawDb raw(m_dir.filePath("schema.db"));
        QCOMPARE(raw.rows("PRAGMA application_id"), QStringList{QString::number(S::ApplicationId)});
        QCOMPARE(raw.rows("PRAGMA user_version"), QStringList{"1"});
        QCOMPARE(raw.rows("SELECT name || ':' || type FROM pragma_table_info('catalogue')"),
                 (QStringList{"Archive:TEXT", "Product:TEXT", "Type:TEXT", "D1:INTEGER", "D2:INTEGER", "D3:INTEGER",
                              "CB:INTEGER", "Status:TEXT", "Source:INTEGER", "Origin:TEXT", "Guide:TEXT",
                              "Comments:TEXT", "OrigImg:BLOB", "CurrImg:BLOB"}));
        QCOMPARE(raw.rows("SELECT count(*) FROM pragma_table_info('catalogue') WHERE \"notnull\""), QStringList{"0"});
        QStringList names;
        for (const auto &idx : S::indexes())
            names << idx.name;
        QCOMPARE(raw.rows("SELECT name FROM sqlite_master WHERE type='index' AND name LIKE 'idx%' ORDER BY rowid"), names);
    }

    void fieldObjects()
    {
        CatalogueTable t;
        const QStringList names{"Archive", "Product", "Type", "Origin", "Status", "D1", "D2", "D3", "Cb",
                                "Source", "OrigImg", "CurrImg", "Guide", "Comments"};
        QCOMPARE(t.fieldCount(), 14);
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(t.field(i).fieldName(), names[i]);
            QCOMPARE(t.field(i).index(), i);
        }
        QCOMPARE(t.field(S::Cb).displayLabel(), QString("CB"));
        QCOMPARE(t.field(S::OrigImg).displayLabel(), QString(" "));
        QCOMPARE(t.field(S::Origin).displayLabel(), QString("Origin"));
        QCOMPARE(t.field(S::Archive).size(), 35);
        QCOMPARE(t.field(S::Type).size(), 20);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(t.field(i).required(), i == S::Archive || i == S::Product || i == S::Type || i == S::Status);
        QCOMPARE(t.findField("cb"), &t.field(S::Cb));
        QCOMPARE(t.findField("nope"), nullptr);
    }

    void cbFieldBindsToColumnCB()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "cb.db");
        t.append();
        setFields(t, {"x.zip", "X", "Unit", "In use", ""});
        t.field(S::Cb).setAsBoolean(true);
        t.field(S::D1).setAsBoolean(false);
        t.post();
        RawDb raw(t.fullPath());
        QCOMPARE(raw.rows("SELECT CB, D1, quote(D2) FROM catalogue"), QStringList{"1|0|NULL"});
        raw.exec("UPDATE catalogue SET CB = 0");
        t.refresh();
        QCOMPARE(t.field(S::Cb).asString(), QString("False"));
        QVERIFY(t.field(S::D2).isNull());
    }

    void cursorFlagsAndRecordNumbers()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "cursor.db", m_sample);
        t.close();
        t.setIndexName({}); // key order: binary, so "C.zip" comes before "a.zip"
        t.open();
        QVERIFY(t.bof());
        QVERIFY(!t.eof());
        QCOMPARE(t.recordCount(), 4);
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(archiveOf(t), QString("C.zip"));

        t.next();
        t.next();
        t.next();
        QCOMPARE(t.recNo(), 4);
        QVERIFY(!t.eof());
        Scrolls scrolled;
        t.setHandler(&scrolled);
        const auto scrolls = [&] { return scrolled.count; };
        t.next(); // past the last: the end flag is set, the cursor stays
        QVERIFY(t.eof());
        QCOMPARE(t.recNo(), 4);
        QCOMPARE(scrolls(), 1);
        t.next(); // at the end already: nothing happens
        QCOMPARE(scrolls(), 1);

        t.setRecNo(2);
        QCOMPARE(t.recNo(), 2);
        QCOMPARE(scrolls(), 2);
        t.setRecNo(2); // the same number: no move
        QCOMPARE(scrolls(), 2);
        t.setRecNo(99); // unreachable: stays
        t.setRecNo(0);
        QCOMPARE(t.recNo(), 2);
        QCOMPARE(scrolls(), 2);

        t.prior();
        t.prior();
        QVERIFY(t.bof());
        QCOMPARE(t.recNo(), 1);
        t.last();
        QVERIFY(t.eof());
        QCOMPARE(t.recNo(), 4);

        const auto mark = [&] { t.setRecNo(3); return t.bookmark(); }();
        const QString marked = archiveOf(t) + t.field(S::Product).asString();
        t.first();
        t.gotoBookmark(mark);
        QCOMPARE(archiveOf(t) + t.field(S::Product).asString(), marked);
        QCOMPARE(t.recNo(), 3);
    }

    void emptyTable()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "empty.db");
        QVERIFY(t.bof() && t.eof());
        QCOMPARE(t.recordCount(), 0);
        QVERIFY(t.isEmpty());
        t.edit(); // edit on an empty table starts an insert
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.recNo(), -1);
        t.cancel();
        QVERIFY(t.bof() && t.eof());
        QVERIFY_THROWS_EXCEPTION(EngineError, t.remove());
    }

    void closedTableReportsClosedDataSet()
    {
        CatalogueTable t;
        try {
            t.recordCount();
            QFAIL("no error");
        } catch (const EngineError &e) {
            QCOMPARE(e.message(), QString("Cannot perform this operation on a closed dataset"));
            QCOMPARE(e.kind(), EngineError::Kind::ClosedDataSet);
        }
    }

    void orders_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QStringList>("products");
        QTest::newRow("key order") << "" << QStringList{"Gamma", "Delta", "alpha", "Beta"};
        QTest::newRow("product up, ignoring case") << "idx_Product_Up" << QStringList{"alpha", "Beta", "Delta", "Gamma"};
        QTest::newRow("product down") << "idx_Product_Down" << QStringList{"Gamma", "Delta", "Beta", "alpha"};
        // Ties (two a.zip records) fall back to key order.
        QTest::newRow("archive up") << "idx_Archive_Up" << QStringList{"Delta", "alpha", "Beta", "Gamma"};
        QTest::newRow("archive down, ties in key order") << "idx_Archive_Down" << QStringList{"Gamma", "Beta", "Delta", "alpha"};
        QTest::newRow("origin up, empty first") << "idx_Origin_Up" << QStringList{"alpha", "Delta", "Beta", "Gamma"};
        QTest::newRow("status down") << "idx_Status_Down" << QStringList{"Gamma", "alpha", "Beta", "Delta"};
    }

    void orders()
    {
        QFETCH(QString, index);
        QFETCH(QStringList, products);
        CatalogueTable t;
        makeCatalogue(t, m_dir, "orders.db", m_sample);
        t.setIndexName(index);
        QCOMPARE(t.indexName(), index);
        QCOMPARE(column(t, S::Product), products);
    }

    void indexFieldNamesArchive()
    {
        CatalogueTable t; // built with IndexFieldNames "Archive"
        QCOMPARE(t.indexFieldNames(), QString("Archive"));
        QCOMPARE(t.indexName(), QString());
        makeCatalogue(t, m_dir, "ifn.db", m_sample);
        QCOMPARE(column(t, S::Product), (QStringList{"Delta", "alpha", "Beta", "Gamma"}));
        QCOMPARE(t.indexName(), QString());
        t.setIndexName("idx_Archive_Up");
        QCOMPARE(t.indexFieldNames(), QString());
        QCOMPARE(t.indexName(), QString("idx_Archive_Up"));
    }

    void indexSwitchKeepsCurrentRecordAndPostsEdit()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "switch.db", m_sample);
        t.setIndexName("idx_Product_Up");
        t.setRecNo(2); // Beta
        t.edit();
        t.field(S::Origin).setAsString("changed");
        t.setIndexName("idx_Product_Down");
        QCOMPARE(t.state(), DataSetState::Browse);
        QCOMPARE(t.field(S::Product).asString(), QString("Beta"));
        QCOMPARE(t.field(S::Origin).asString(), QString("changed"));
        QCOMPARE(t.recNo(), 3);
        QVERIFY_THROWS_EXCEPTION(EngineError, t.setIndexName("idx_Nothing"));
        QCOMPARE(t.indexName(), QString("idx_Product_Down"));
    }

    void indexSwitchOnFileWithoutIndexesFails()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "noidx.db", m_sample);
        t.close();
        {
            RawDb raw(t.fullPath());
            raw.exec("DROP INDEX idx_Type_Up");
        }
        t.setIndexName({});
        t.open();
        QVERIFY_THROWS_EXCEPTION(EngineError, t.setIndexName("idx_Type_Up"));
        QCOMPARE(t.indexName(), QString());
        QCOMPARE(t.recordCount(), 4);
    }

    void displaySuspendIsNested()
    {
        struct Counter : TableObserver {
            int events = 0;
            void tableEvent(TableEvent, int) override { ++events; }
        } counter;
        CatalogueTable t;
        makeCatalogue(t, m_dir, "suspend.db", m_sample);
        t.addObserver(&counter);
        t.disableControls();
        t.disableControls();
        t.next();
        t.enableControls();
        QCOMPARE(counter.events, 0);
        QVERIFY(t.controlsDisabled());
        t.enableControls();
        QVERIFY(!t.controlsDisabled());
        QCOMPARE(counter.events, 1); // one refresh on the last resume
        t.next();
        QCOMPARE(counter.events, 2);
        t.removeObserver(&counter);
    }

    // Long walks cross many read-ahead windows; every order, both directions, must
    // give exactly what SQLite's own ordering gives, NULL origins included.
    void longWalksMatchEveryOrder()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "walk.db");
        RawDb(t.fullPath()).insertMany(300, "Archive, Product, Type, Status, Origin", [](int i) {
            return QString("'%1', '%2', 'Unit', '%3', %4")
                .arg(i % 3 ? QString("arc%1.zip").arg(i % 17) : QString("ARC%1.ZIP").arg(i % 13))
                .arg(QString("p%1").arg(i))
                .arg(i % 2 ? "In use" : "testing")
                .arg(i % 4 ? QString("'www.%1'").arg(i % 7) : QString("NULL"));
        });
        t.refresh();
        RawDb raw(t.fullPath());
        QStringList names{""};
        for (const auto &idx : S::indexes())
            names << idx.name;
        for (const QString &name : names) {
            t.setIndexName(name);
            const int idx = S::indexByName(name);
            QString order = "Archive, Product, Type";
            if (idx >= 0)
                order = QString("%1 COLLATE NOCASE%2, %3").arg(S::fields()[S::indexes()[idx].fieldPos].name,
                                                             S::indexes()[idx].descending ? " DESC" : "", order);
            const QStringList expected = raw.rows("SELECT Product FROM catalogue ORDER BY " + order);
            QCOMPARE(column(t, S::Product), expected);
            QStringList backwards;
            t.last();
            while (!t.bof()) {
                backwards.prepend(t.field(S::Product).asString());
                t.prior();
            }
            QCOMPARE(backwards, expected);
        }
    }

    void walkSurvivesChangesByAnotherProgram()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "walk2.db");
        RawDb raw(t.fullPath());
        raw.insertMany(200, "Archive, Product, Type, Status",
                       [](int i) { return QString("'a%1', 'p', 'Unit', 'x'").arg(i, 3, 10, QChar('0')); });
        t.refresh();
        for (int i = 0; i < 10; ++i)
            t.next();
        raw.exec("DELETE FROM catalogue WHERE Archive IN ('a070', 'a071', 'a150')");
        QStringList seen;
        while (!t.eof()) {
            seen << archiveOf(t);
            t.next();
        }
        QCOMPARE(seen.size(), 187);
        QVERIFY(!seen.contains("a070") && !seen.contains("a150"));
        QCOMPARE(seen.first(), QString("a010"));
        QCOMPARE(seen.last(), QString("a199"));
    }

    void readRowsForGrid()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "rows.db", m_sample);
        t.setIndexName("idx_Product_Up");
        std::vector<CatalogueRow> rows;
        t.readRows(1, 10, rows);
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].values[S::Product].toString(), QString("Beta"));
        QCOMPARE(rows[2].values[S::Product].toString(), QString("Gamma"));
        QVERIFY(rows[0].values[S::Guide].isNull());
    }

    // A catalogue just opened serves the grid's first rows before its order list is
    // built; they must be the rows the cursor walks to, in every order.
    void firstGridRowsMatchTheCursor_data()
    {
        QTest::addColumn<QString>("index");
        QTest::newRow("primary key") << QString();
        QTest::newRow("product descending") << QString("idx_Product_Down");
        QTest::newRow("status ascending") << QString("idx_Status_Up");
    }

    void firstGridRowsMatchTheCursor()
    {
        QFETCH(QString, index);
        CatalogueTable t;
        makeCatalogue(t, m_dir, "lazy.db");
        RawDb raw(t.fullPath());
        // Mixed case and repeated sort values, so ties fall back to the key.
        raw.insertMany(300, "Archive, Product, Type, Status", [](int i) {
            return QString("'%1%2', '%3', 'Unit', '%4'")
                .arg(i % 2 ? "A" : "a").arg(i * 7 % 300, 3, 10, QChar('0'))
                .arg(i % 3 ? "beta" : "Beta").arg(i % 5);
        });
        t.close();
        t.setIndexName(index);
        const auto archives = [](const std::vector<CatalogueRow> &rows) {
            QStringList out;
            for (const CatalogueRow &r : rows)
                out << r.values[S::Archive].toString();
            return out;
        };
        for (const int first : {0, 40, 280}) {
            t.open();
            std::vector<CatalogueRow> early;
            t.readRows(first, 40, early);
            QStringList walked;
            t.setRecNo(first + 1);
            for (int i = 0; i < 40 && !t.eof(); ++i, t.next())
                walked << archiveOf(t);
            QCOMPARE(archives(early), walked);
            std::vector<CatalogueRow> later;
            t.readRows(first, 40, later);
            QCOMPARE(archives(later), walked);
            QCOMPARE(early.front().rowId, later.front().rowId);
            t.close();
        }
    }
};

QTEST_APPLESS_MAIN(TstCatalogueTable)
#include "tst_catalogue_table.moc"
