// Find inside the engine: whatever the catalogue and its order, it ends on the record a
// walk from record to record ends on, and it leaves the cursor alone when that walk
// finds nothing.
#include "catalogue/CatalogueTable.h"
#include "catalogue/TextMatch.h"
#include "tests/common/CatalogueFixture.h"

#include <QRandomGenerator>
#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

const std::vector<int> AllFields{S::Archive, S::Product, S::Origin};

// The search as a walk over the records, one move at a time: the first record or the
// next one, then test, stop at the end flag (a match there included), else move on.
bool walkToMatch(CatalogueTable &t, const QString &text, const std::vector<int> &fields, SearchStart start)
{
    const QString needle = TextMatch::asciiLower(text);
    start == SearchStart::First ? t.first() : t.next();
    for (;;) {
        bool matched = false;
        for (const int field : fields)
            matched = matched || TextMatch::containsFolded(t.field(field).asString(), needle);
        if (t.eof())
            return false;
        if (matched)
            return true;
        t.next();
    }
}

struct Scrolls : CatalogueTableHandler {
    int count = 0;
    void afterScroll(CatalogueTable &) override { ++count; }
};

// Pieces of text that make ties in every order (letter case only, no value, an empty
// text) and matches that only the exact rule tells apart.
const char *const Pieces[] = {"a", "A", "b", "B", "ab", "Ab", "zip", "ZIP", "é", "É", "ß", "€", " ", "t o", "tool", "x"};

QString randomText(QRandomGenerator &rng)
{
    QString out;
    const int n = rng.bounded(1, 4);
    for (int i = 0; i < n; ++i)
        out += QString::fromUtf8(Pieces[rng.bounded(int(std::size(Pieces)))]);
    return out;
}

// A value as SQL: mostly a text, sometimes no value, an empty text or a BLOB (another
// program's writing).
QString randomValue(QRandomGenerator &rng, bool mayBeEmpty)
{
    const int roll = rng.bounded(20);
    if (mayBeEmpty && roll == 0)
        return QStringLiteral("NULL");
    if (mayBeEmpty && roll == 1)
        return QStringLiteral("''");
    const QByteArray utf8 = randomText(rng).toUtf8();
    if (roll == 2)
        return QStringLiteral("X'%1'").arg(QString::fromLatin1(utf8.toHex()));
    return QStringLiteral("'%1'").arg(QString::fromUtf8(utf8).replace(u'\'', QStringLiteral("''")));
}

// Every order a catalogue can be in.
QStringList allIndexNames()
{
    QStringList names{QString()};
    for (const auto &idx : S::indexes())
        names << QString::fromLatin1(idx.name);
    return names;
}

} // namespace

class TstCatalogueSearch : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    // A random catalogue per seed, every order, random texts, fields and start records:
    // the search and the walk end on the same record, or both find nothing.
    void findEqualsTheWalk_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QString>("indexName");
        for (quint32 seed : {1u, 2u, 3u, 4u}) {
            for (const QString &name : allIndexNames())
                QTest::newRow(qPrintable(QStringLiteral("seed %1, %2").arg(seed).arg(name.isEmpty() ? "key order" : name)))
                    << seed << name;
        }
    }

    void findEqualsTheWalk()
    {
        QFETCH(quint32, seed);
        QFETCH(QString, indexName);
        const QString file = QStringLiteral("random%1.db").arg(seed);
        if (!QFile::exists(m_dir.filePath(file))) {
            CatalogueTable maker;
            makeCatalogue(maker, m_dir, file);
            maker.close();
            QRandomGenerator rng(seed);
            RawDb raw(m_dir.filePath(file));
            // Some keys with no value, as another program may write them, each twice: rows
            // alike in every order value stand in row id order.
            const int count = 40 + int(rng.bounded(80));
            raw.insertMany(count, "Archive, Product, Type, Status, Origin", [&](int) {
                return QStringList{randomValue(rng, rng.bounded(8) == 0), randomValue(rng, rng.bounded(8) == 0),
                                   randomValue(rng, rng.bounded(8) == 0), randomValue(rng, true),
                                   randomValue(rng, true)}.join(u',');
            });
            QCOMPARE(raw.exec("INSERT INTO catalogue (Archive, Product, Type, Status, Origin) "
                              "SELECT Archive, Product, Type, Status, Origin FROM catalogue "
                              "WHERE Archive IS NULL OR Product IS NULL OR Type IS NULL"),
                     0);
        }
        CatalogueTable walked, searched;
        for (CatalogueTable *t : {&walked, &searched}) {
            t->setDatabaseName(m_dir.path());
            t->setTableName(file);
            t->open();
            t->setIndexName(indexName);
        }
        const int count = walked.recordCount();
        QVERIFY(count >= 40);
        // Both tables see the rows in the same order.
        QCOMPARE(column(searched, S::Archive), column(walked, S::Archive));

        QRandomGenerator rng(seed * 7919u + quint32(indexName.size()));
        int found = 0;
        for (int round = 0; round < 150; ++round) {
            const int recNo = rng.bounded(1, count + 1);
            std::vector<int> fields;
            for (const int f : AllFields) {
                if (rng.bounded(2))
                    fields.push_back(f);
            }
            if (fields.empty())
                fields.push_back(AllFields[size_t(rng.bounded(3))]);
            // A piece of a value or made up: both, found or not.
            QString text = randomText(rng);
            if (rng.bounded(2)) {
                searched.setRecNo(rng.bounded(1, count + 1));
                const QString value = searched.field(fields.front()).asString();
                if (!value.isEmpty()) {
                    const int from = rng.bounded(int(value.size()));
                    text = value.mid(from, rng.bounded(1, int(value.size()) - from + 1));
                }
            }
            const SearchStart start = rng.bounded(2) ? SearchStart::First : SearchStart::Next;
            for (CatalogueTable *t : {&walked, &searched}) {
                t->first(); // both from the same flags
                t->setRecNo(recNo);
            }
            if (rng.bounded(4) == 0) { // the end flag set, as the navigator's Next leaves it at the last record
                walked.last();
                walked.next();
                searched.last();
                searched.next();
            }
            const int before = searched.recNo();
            const bool walkFound = walkToMatch(walked, text, fields, start);
            const bool searchFound = searched.findText(text, fields, start);
            const QString what = QStringLiteral("text \"%1\", %2 fields from %3, %4")
                                     .arg(text).arg(fields.size()).arg(before)
                                     .arg(start == SearchStart::First ? "Find" : "Find Next");
            QVERIFY2(searchFound == walkFound, qPrintable(what));
            if (walkFound) {
                ++found;
                QVERIFY2(searched.recNo() == walked.recNo(), qPrintable(what + QStringLiteral(": record %1, not %2")
                                                                           .arg(searched.recNo()).arg(walked.recNo())));
                QCOMPARE(searched.bookmark(), walked.bookmark());
                QCOMPARE(searched.bof(), walked.bof());
                QCOMPARE(searched.eof(), walked.eof());
            } else {
                QVERIFY2(searched.recNo() == before, qPrintable(what + ": the cursor moved"));
            }
        }
        // The rounds are worth something only if both outcomes came up often.
        QVERIFY2(found > 20 && found < 130, qPrintable(QString::number(found)));
    }

    // Find Next steps from match to match; the one after the last reports nothing and
    // the cursor stays on the last match. Only the record found is made current.
    void findNextStepsThroughTheMatches()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "steps.db",
                             {{"one.zip", "Toolbox", "Unit", "In use", ""},
                              {"two.zip", "t o o l", "Unit", "In use", ""},
                              {"three.zip", "Other", "Unit", "In use", "www.mytools.org"},
                              {"four.zip", "Other", "Unit", "In use", ""}});
        t.setIndexName("idx_Archive_Up"); // four, one, three, two
        Scrolls scrolls;
        t.setHandler(&scrolls);
        t.first();
        scrolls.count = 0;
        QVERIFY(t.findText("TOOL", AllFields, SearchStart::Next));
        QCOMPARE(archiveOf(t), QString("one.zip"));
        QVERIFY(t.findText("tool", AllFields, SearchStart::Next));
        QCOMPARE(archiveOf(t), QString("three.zip"));
        QCOMPARE(scrolls.count, 2);
        QVERIFY(!t.findText("tool", AllFields, SearchStart::Next));
        QCOMPARE(archiveOf(t), QString("three.zip"));
        QCOMPARE(scrolls.count, 2);
        // Find starts again at the top, and may find the record it stands on.
        QVERIFY(t.findText("tool", AllFields, SearchStart::First));
        QCOMPARE(archiveOf(t), QString("one.zip"));
        QVERIFY(!t.findText("tool", {S::Archive}, SearchStart::First));
        // The empty text is in every field, as in every text.
        QVERIFY(t.findText("", {S::Product}, SearchStart::Next));
        QCOMPARE(archiveOf(t), QString("three.zip"));
        t.setHandler(nullptr);
    }

    // The search goes by the records the window shows, with what the file holds now:
    // a record another program deleted is passed over, one it changed is judged as it is
    // now, and what this program stores is found at once.
    void searchSeesEveryChange()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "shared.db",
                             {{"a.zip", "A", "Unit", "In use", ""},
                              {"b.zip", "match", "Unit", "In use", ""},
                              {"c.zip", "C", "Unit", "In use", ""},
                              {"d.zip", "D", "Unit", "In use", ""}});
        QVERIFY(t.findText("match", AllFields, SearchStart::First));
        QCOMPARE(archiveOf(t), QString("b.zip"));
        t.first();
        RawDb raw(m_dir.filePath("shared.db"));
        QCOMPARE(raw.exec("DELETE FROM catalogue WHERE Archive = 'b.zip'"), 0);
        QCOMPARE(raw.exec("UPDATE catalogue SET Origin = 'www.match.org' WHERE Archive = 'd.zip'"), 0);
        QVERIFY(t.findText("match", AllFields, SearchStart::Next));
        QCOMPARE(archiveOf(t), QString("d.zip"));
        // A record this program stores, Find Next finds at once.
        t.setRecNo(1);
        t.edit();
        t.field(S::Product).setAsString("Match here");
        t.post();
        QVERIFY(t.findText("MATCH", AllFields, SearchStart::First));
        QCOMPARE(archiveOf(t), QString("a.zip"));
        t.edit();
        t.field(S::Product).setAsString("A");
        t.post();
        QVERIFY(t.findText("MATCH", AllFields, SearchStart::First));
        QCOMPARE(archiveOf(t), QString("d.zip"));
    }

    // The changed record is stored before the search moves; one that cannot be stored
    // ends the search where it is, still being edited.
    void changedRecordIsPostedFirst()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "post.db",
                             {{"a.zip", "A", "Unit", "In use", ""}, {"b.zip", "B", "Unit", "In use", ""}});
        t.edit();
        t.field(S::Product).setAsString("found");
        QVERIFY(t.findText("found", AllFields, SearchStart::First));
        QCOMPARE(t.state(), DataSetState::Browse);
        QCOMPARE(archiveOf(t), QString("a.zip"));
        t.edit();
        t.field(S::Status).clear();
        QVERIFY_THROWS_EXCEPTION(EngineError, t.findText("b", AllFields, SearchStart::Next));
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(archiveOf(t), QString("a.zip"));
        t.cancel();
    }
};

QTEST_APPLESS_MAIN(TstCatalogueSearch)
#include "tst_catalogue_search.moc"
