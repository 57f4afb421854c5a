#include "catalogue/CatalogueTable.h"
#include "tests/common/CatalogueFixture.h"

#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

// Names the events in the order the table fires them.
struct EventLog : CatalogueTableHandler {
    QStringList log;
    void afterInsert(CatalogueTable &) override { log << "AfterInsert"; }
    void afterPost(CatalogueTable &) override { log << "AfterPost"; }
    void afterCancel(CatalogueTable &) override { log << "AfterCancel"; }
    void afterDelete(CatalogueTable &) override { log << "AfterDelete"; }
    void afterScroll(CatalogueTable &) override { log << "AfterScroll"; }
    void beforeDelete(CatalogueTable &) override { log << "BeforeDelete"; }
    void afterEdit(CatalogueTable &) override { log << "AfterEdit"; }
};

// Answers a refused post with `action`, keeping what it was told.
struct PostErrors : CatalogueTableHandler {
    DataAction action = DataAction::Fail;
    QStringList messages;
    QList<EngineError::Kind> kinds;
    void onPostError(CatalogueTable &, const EngineError &e, DataAction &answer) override
    {
        messages << e.message();
        kinds << e.kind();
        answer = action;
    }
};

} // namespace

class TstCatalogueTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"b.zip", "Beta", "Unit", "In use", "www.b.org"},
        {"a.zip", "alpha", "Component", "Testing", ""},
        {"C.zip", "Gamma", "Tool", "Unseen", "www.c.org"},
        {"a.zip", "Delta", "Expert", "Discarded", "www.a.org"},
    };

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
        EventLog events;
        t.setHandler(&events);
        const auto scrolls = [&] { return events.log.count("AfterScroll"); };
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

    void postPlacesRecordInOrder()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "place.db", m_sample);
        t.setIndexName("idx_Product_Up");
        addRecord(t, {"z.zip", "Charlie", "Unit", "In use", ""});
        QCOMPARE(t.recNo(), 3);
        QCOMPARE(t.field(S::Product).asString(), QString("Charlie"));
        t.edit();
        t.field(S::Product).setAsString("Zulu");
        t.post();
        QCOMPARE(t.recNo(), 5);
        QCOMPARE(column(t, S::Product), (QStringList{"alpha", "Beta", "Delta", "Gamma", "Zulu"}));
        // What the table placed by itself equals a fresh read of the order.
        t.refresh();
        QCOMPARE(column(t, S::Product), (QStringList{"alpha", "Beta", "Delta", "Gamma", "Zulu"}));
    }

    void eventsInDataSetOrder()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "events.db", m_sample);
        EventLog events;
        t.setHandler(&events);
        QStringList &log = events.log;

        t.insert();
        QCOMPARE(log, (QStringList{"AfterInsert", "AfterScroll"}));
        log.clear();
        t.next(); // unchanged insert: cancelled, then the move
        QCOMPARE(log, (QStringList{"AfterCancel", "AfterScroll"}));
        log.clear();
        t.edit();
        t.field(S::Guide).setAsString("note");
        t.next(); // changed: posted first
        QCOMPARE(log, (QStringList{"AfterEdit", "AfterPost", "AfterScroll"}));
        log.clear();
        t.remove();
        QCOMPARE(log, (QStringList{"BeforeDelete", "AfterDelete", "AfterScroll"}));
        log.clear();
        t.append();
        t.cancel();
        QCOMPARE(log, (QStringList{"AfterInsert", "AfterScroll", "AfterCancel"}));
    }

    void newRecordDefaultsDoNotCountAsChanges()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "defaults.db", m_sample);
        struct Defaults : CatalogueTableHandler {
            void onNewRecord(CatalogueTable &table) override { table.field(S::D1).setAsBoolean(false); }
        } defaults;
        t.setHandler(&defaults);
        t.append();
        QVERIFY(!t.modified());
        QCOMPARE(t.field(S::D1).asString(), QString("False"));
        QVERIFY(!t.bof());
        t.first(); // untouched: dropped, not posted
        QCOMPARE(t.recordCount(), 4);
        t.close();
        makeCatalogue(t, m_dir, "defaults2.db");
        t.insert(); // on an empty table the cursor stays at both ends
        QVERIFY(t.bof() && t.eof());
        t.cancel();
        t.append();
        QVERIFY(!t.bof() && t.eof());
    }

    void requiredFieldsFailBeforeTheEngine_data()
    {
        QTest::addColumn<int>("emptyField");
        QTest::addColumn<QString>("message");
        QTest::newRow("archive") << int(S::Archive) << "Field 'Archive' must have a value";
        QTest::newRow("product") << int(S::Product) << "Field 'Product' must have a value";
        QTest::newRow("type") << int(S::Type) << "Field 'Type' must have a value";
        QTest::newRow("status") << int(S::Status) << "Field 'Status' must have a value";
    }

    void requiredFieldsFailBeforeTheEngine()
    {
        QFETCH(int, emptyField);
        QFETCH(QString, message);
        CatalogueTable t;
        makeCatalogue(t, m_dir, "required.db");
        PostErrors postErrors;
        t.setHandler(&postErrors);
        t.append();
        setFields(t, {"a.zip", "A", "Unit", "In use", ""});
        t.field(emptyField).clear();
        try {
            t.post();
            QFAIL("post succeeded");
        } catch (const EngineError &e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(postErrors.messages.isEmpty());
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.field(S::Origin).asString(), QString());
        QCOMPARE(t.recordCount(), 0);
    }

    void optionalFieldsMayBeEmpty()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "optional.db");
        addRecord(t, {"a.zip", "A", "Unit", "In use", ""});
        QCOMPARE(t.recordCount(), 1);
        QVERIFY(t.field(S::Guide).isNull());
        QVERIFY(t.field(S::OrigImg).isNull());
    }

    void keyViolationKeepsRecordInEditing()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "keys.db", m_sample);
        PostErrors postErrors;
        postErrors.action = DataAction::Abort;
        t.setHandler(&postErrors);
        t.append();
        setFields(t, {"b.zip", "Beta", "Unit", "Testing", "dup"});
        QVERIFY_THROWS_EXCEPTION(AbortError, t.post());
        QCOMPARE(postErrors.kinds, QList<EngineError::Kind>{EngineError::Kind::KeyViolation});
        QVERIFY(!postErrors.messages.first().isEmpty());
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.field(S::Origin).asString(), QString("dup"));
        QCOMPARE(t.field(S::Status).asString(), QString("Testing"));
        QCOMPARE(t.recordCount(), 4);

        // Without a handler the key violation itself is raised.
        t.setHandler(nullptr);
        QVERIFY_THROWS_EXCEPTION(EngineError, t.post());
        // Letter case makes a different key.
        t.field(S::Type).setAsString("unit");
        t.post();
        QCOMPARE(t.recordCount(), 5);

        // An edit that gives a record the key of another is refused the same way.
        postErrors.messages.clear();
        postErrors.kinds.clear();
        t.setHandler(&postErrors);
        t.edit();
        t.field(S::Type).setAsString("Unit");
        QVERIFY_THROWS_EXCEPTION(AbortError, t.post());
        QCOMPARE(postErrors.kinds, QList<EngineError::Kind>{EngineError::Kind::KeyViolation});
        QVERIFY(postErrors.messages.first().contains("Key violation"));
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(t.field(S::Type).asString(), QString("Unit"));
    }

    void overlongTextIsRefusedNotTruncated()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "long.db");
        t.append();
        setFields(t, {QString(36, 'x'), "A", "Unit", "In use", ""});
        try {
            t.post();
            QFAIL("post succeeded");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains("'Archive'") && e.message().contains("35"), qPrintable(e.message()));
        }
        QCOMPARE(t.field(S::Archive).asString().size(), 36);
        // 35 characters beyond ASCII fit: the size counts characters, not bytes.
        t.field(S::Archive).setAsString(QString(35, QChar(0x00e9)));
        t.post();
        QCOMPARE(t.field(S::Archive).asString(), QString(35, QChar(0x00e9)));
    }

    void unchangedPostWritesNothing()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "nowrite.db", m_sample);
        const QByteArray before = fileBytes(t.fullPath());
        t.edit();
        t.field(S::Origin).setAsString(t.field(S::Origin).asString()); // marks modified, same value
        t.field(S::OrigImg).clear();
        QVERIFY(t.modified());
        EventLog events;
        t.setHandler(&events);
        t.post();
        QCOMPARE(events.log, QStringList{"AfterPost"});
        QCOMPARE(fileBytes(t.fullPath()), before);
    }

    void closeDropsUnpostedRecord()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "drop.db", m_sample);
        t.edit();
        t.field(S::Guide).setAsString("lost");
        t.append();  // the changed record is posted first
        setFields(t, {"n.zip", "New", "Unit", "In use", ""});
        t.close();   // the insert is dropped
        t.open();
        QCOMPARE(t.recordCount(), 4);
        QCOMPARE(t.field(S::Guide).asString(), QString("lost"));
    }

    void deleteWithAbortKeepsRecord()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "del.db", m_sample);
        struct KeepRecord : CatalogueTableHandler {
            void beforeDelete(CatalogueTable &) override { throw AbortError(); }
        } keep;
        t.setHandler(&keep);
        QVERIFY_THROWS_EXCEPTION(AbortError, t.remove());
        QCOMPARE(t.recordCount(), 4);
        t.setHandler(nullptr);
        t.setRecNo(4);
        t.remove(); // the last one: the cursor goes to the new last record
        QCOMPARE(t.recordCount(), 3);
        QCOMPARE(t.recNo(), 3);
        t.close();
        t.open();
        QCOMPARE(t.recordCount(), 3);
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

    void images()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "img.db");
        const QByteArray bmp = QByteArray("BM") + QByteArray(100, '\x7f');
        t.append();
        setFields(t, {"a.zip", "A", "Component", "In use", ""});
        t.field(S::OrigImg).setAsBytes(bmp);
        t.post();
        t.close();
        t.open();
        QCOMPARE(t.field(S::OrigImg).asBytes(), bmp);
        RawDb raw(t.fullPath());
        QCOMPARE(raw.rows("SELECT length(OrigImg), quote(CurrImg) FROM catalogue"), QStringList{"102|NULL"});
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
