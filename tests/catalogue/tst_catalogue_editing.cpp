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

class TstCatalogueEditing : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = fourRecords();

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

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
};

QTEST_APPLESS_MAIN(TstCatalogueEditing)
#include "tst_catalogue_editing.moc"
