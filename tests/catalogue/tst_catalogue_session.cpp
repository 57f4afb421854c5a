// The file commands' transactions without a window: what is open afterwards and
// what the window is told, above all when a step fails.

#include "catalogue/CatalogueTable.h"
#include "catalogue/session/CatalogueSession.h"
#include "tests/common/CatalogueFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

class TstCatalogueSession : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"b.zip", "Beta", "Unit", "In use", "www.b.org"},
        {"a.zip", "Alpha", "Component", "Testing", ""},
    };

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }

    int countIn(const QString &name)
    {
        CatalogueTable t;
        t.setDatabaseName(folder());
        t.setTableName(name);
        t.open();
        return t.recordCount();
    }

private slots:
    void cleanup()
    {
        // Every case starts in an empty folder.
        QDir dir(m_dir.path());
        dir.removeRecursively();
        dir.mkpath(QStringLiteral("."));
    }

    void openOfABadFileKeepsThePrevious_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("Archive;Product\nnot a catalogue at all\n");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("missing") << QByteArray("missing");
        QTest::newRow("other program") << QByteArray("sqlite");
    }

    void openOfABadFileKeepsThePrevious()
    {
        QFETCH(QByteArray, content);
        CatalogueTable t;
        makeCatalogue(t, m_dir, "previous.db", m_sample);
        t.last();
        const QString bad = path("bad.db");
        if (content == "sqlite")
            RawDb(bad).exec("CREATE TABLE t (x)");
        else if (content != "missing")
            writeFile(bad, content);
        CatalogueSession session(t);
        const SessionOutcome outcome = session.open(bad);
        QVERIFY(outcome.wentAhead);
        QVERIFY(!outcome.succeeded);
        QVERIFY2(outcome.cantOpen.contains("bad.db"), qPrintable(outcome.cantOpen));
        QCOMPARE(outcome.errors, QStringList());
        QVERIFY(t.active());
        QCOMPARE(t.tableName(), QString("previous.db"));
        QCOMPARE(outcome.openPath, path("previous.db"));
        QCOMPARE(t.recordCount(), 2);
        QCOMPARE(QFileInfo::exists(bad), content != "missing");
    }

    void openSwitchesOrLeavesNothingOpen()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db", m_sample);
        t.close();
        {
            CatalogueTable other;
            makeCatalogue(other, m_dir, "second.db", {{"s.zip", "S", "Unit", "In use", ""}});
        }
        CatalogueSession session(t);
        // Nothing was open: a file that will not open leaves nothing open, without an error.
        writeFile(path("bad.db"), "no catalogue");
        SessionOutcome outcome = session.open(path("bad.db"));
        QVERIFY(!outcome.succeeded);
        QVERIFY(!t.active());
        QCOMPARE(t.tableName(), QString("first.db"));
        QCOMPARE(outcome.openPath, QString());
        QCOMPARE(outcome.errors, QStringList());

        outcome = session.open(path("second.db"));
        QVERIFY(outcome.succeeded);
        QCOMPARE(outcome.cantOpen, QString());
        QCOMPARE(outcome.openPath, path("second.db"));
        QCOMPARE(t.databaseName(), folder());
        QCOMPARE(archiveOf(t), QString("s.zip"));
    }

    void createPutsThePreviousBack()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "previous.db", m_sample);
        CatalogueSession session(t);
        const SessionOutcome failed = session.create(path("no/such") + "/", "untitled.db");
        QVERIFY(!failed.succeeded);
        QCOMPARE(failed.errors.size(), 1);
        QVERIFY2(failed.errors[0].contains("does not exist"), qPrintable(failed.errors[0]));
        QVERIFY(t.active());
        QCOMPARE(t.tableName(), QString("previous.db"));
        QCOMPARE(t.recordCount(), 2);

        const SessionOutcome made = session.create(folder(), "untitled.db");
        QVERIFY(made.succeeded);
        QVERIFY(made.errors.isEmpty());
        QCOMPARE(t.tableName(), QString("untitled.db"));
        QVERIFY(session.isUntitled());
        QCOMPARE(t.recordCount(), 0);
        QCOMPARE(made.openPath, path("untitled.db"));
    }

    // The previous catalogue vanished meanwhile: both failures are told, in order.
    void createWithThePreviousGone()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "previous.db", m_sample);
        CatalogueSession session(t);
        QVERIFY(QFile::remove(path("previous.db")));
        const SessionOutcome outcome = session.create(path("no/such") + "/", "untitled.db");
        QVERIFY(!outcome.succeeded);
        QCOMPARE(outcome.errors.size(), 2);
        QVERIFY2(outcome.errors[1].contains("previous.db"), qPrintable(outcome.errors[1]));
        QVERIFY(!t.active());
        QCOMPARE(outcome.openPath, QString());
    }

    void recordsIn_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("expected");
        QTest::newRow("no file") << "none" << 0;
        QTest::newRow("empty catalogue") << "empty" << 0;
        QTest::newRow("two records") << "two" << 2;
        QTest::newRow("not a catalogue") << "garbage" << -1;
        QTest::newRow("the open one") << "open" << 3;
    }

    void recordsIn()
    {
        QFETCH(QString, content);
        QFETCH(int, expected);
        CatalogueTable t;
        makeCatalogue(t, m_dir, content == "open" ? "untitled.db" : "other.db", m_sample);
        if (content == "open") {
            addRecord(t, {"c.zip", "Gamma", "Tool", "In use", ""});
        } else if (content == "garbage") {
            writeFile(path("untitled.db"), QByteArray("this is no catalogue\n").repeated(20));
        } else if (content != "none") {
            CatalogueTable other;
            makeCatalogue(other, m_dir, "untitled.db", content == "two" ? m_sample : QList<Rec>{});
        }
        CatalogueSession session(t);
        // The folder as the user typed it, without the trailing separator.
        QCOMPARE(session.recordsIn(m_dir.path(), "untitled.db"), expected);
    }

    void saveAsMovesAnUntitledCatalogue()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "untitled.db", m_sample);
        t.first();
        t.edit();
        t.field(S::Guide).setAsString("carried");
        QVERIFY(QDir(m_dir.path()).mkdir("chosen"));
        CatalogueSession session(t);
        const SessionOutcome outcome = session.saveAs(path("chosen/mine.db"));
        QVERIFY(outcome.wentAhead && outcome.succeeded);
        QVERIFY(outcome.errors.isEmpty());
        QCOMPARE(outcome.openPath, path("chosen/mine.db"));
        QVERIFY(!QFile::exists(path("untitled.db")));
        QVERIFY(!session.isUntitled());
        t.first();
        QCOMPARE(t.field(S::Guide).asString(), QString("carried"));
    }

    void failedMoveReopensTheUntitledCatalogue()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "untitled.db", m_sample);
        CatalogueSession session(t);
        const SessionOutcome outcome = session.saveAs(path("no/such/folder/x.db"));
        QVERIFY(outcome.wentAhead);
        QVERIFY(!outcome.succeeded);
        QCOMPARE(outcome.errors.size(), 1);
        QVERIFY(t.active());
        QCOMPARE(outcome.openPath, path("untitled.db"));
        QCOMPARE(t.recordCount(), 2);
    }

    void saveAsCopiesANamedCatalogue()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db", m_sample);
        t.first();
        t.edit();
        t.field(S::Comments).setAsString("seen");
        CatalogueSession session(t);
        qint64 lastDone = -1;
        SessionOutcome outcome = session.saveAs(path("second.db"), [&](qint64 done, qint64) { lastDone = done; });
        QVERIFY(outcome.succeeded);
        QVERIFY(lastDone >= 0);
        QCOMPARE(outcome.openPath, path("second.db"));
        QCOMPARE(t.field(S::Comments).asString(), QString("seen"));
        QCOMPARE(countIn("first.db"), 2);
        QVERIFY(!t.controlsDisabled());

        // A copy that cannot be made says why and keeps the catalogue open.
        outcome = session.saveAs(path("gone/third.db"));
        QVERIFY(!outcome.succeeded);
        QCOMPARE(outcome.errors.size(), 1);
        QCOMPARE(outcome.openPath, path("second.db"));
        QVERIFY(!t.controlsDisabled());
    }

    void aRecordThatCannotBePostedStopsTheCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("save as") << "save as";
        QTest::newRow("pack") << "pack";
    }

    void aRecordThatCannotBePostedStopsTheCommand()
    {
        QFETCH(QString, command);
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db", m_sample);
        t.edit();
        t.field(S::Status).clear();
        CatalogueSession session(t);
        QVERIFY(session.recordChanged());
        const SessionOutcome outcome = command == "pack" ? session.pack() : session.saveAs(path("second.db"));
        QVERIFY(!outcome.wentAhead);
        QVERIFY(!outcome.succeeded);
        QCOMPARE(outcome.errors, QStringList{"Field 'Status' must have a value"});
        QCOMPARE(t.state(), DataSetState::Edit);
        QVERIFY(!QFile::exists(path("second.db")));
    }

    void packPostsFirstAndReopens()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db", m_sample);
        t.last();
        t.edit();
        t.field(S::Comments).setAsString("not lost");
        CatalogueSession session(t);
        SessionOutcome outcome = session.pack();
        QVERIFY(outcome.succeeded);
        QVERIFY(outcome.errors.isEmpty());
        QVERIFY(t.active());
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(t.recordCount(), 2);
        t.last();
        QCOMPARE(t.field(S::Comments).asString(), QString("not lost"));

        // A file gone from under the open table: the pack's error, and the reopening's first.
        QVERIFY(QFile::remove(path("first.db")));
        outcome = session.pack();
        QVERIFY(!outcome.succeeded);
        QCOMPARE(outcome.errors.size(), 2);
        QVERIFY(!t.active());
    }

    void postingTheRecord()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db");
        CatalogueSession session(t);
        QVERIFY(!session.recordChanged());
        QVERIFY(!session.postChanges());
        // Save's post on a catalogue without records starts a blank record that cannot be stored.
        const std::optional<ActionFailure> failure = session.postCurrent();
        QVERIFY(failure);
        QCOMPARE(failure->message, QString("Field 'Archive' must have a value"));
        QVERIFY(!failure->silent);
        QCOMPARE(t.state(), DataSetState::Insert);
        setFields(t, m_sample[0]);
        QVERIFY(!session.postCurrent());
        QCOMPARE(t.recordCount(), 1);
    }

    void openUnlessLocked()
    {
        CatalogueTable t;
        makeCatalogue(t, m_dir, "first.db", m_sample);
        t.close();
        const int timeout = t.lockTimeout();
        CatalogueSession session(t);
        RawDb other(path("first.db"));
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        QVERIFY(!session.openUnlessLocked());
        QCOMPARE(t.lockTimeout(), timeout);
        QVERIFY(!t.active());
        other.exec("COMMIT");
        QVERIFY(session.openUnlessLocked());
        QCOMPARE(t.lockTimeout(), timeout);
        // Other failures are the caller's to report.
        t.close();
        t.setTableName("missing.db");
        QVERIFY_THROWS_EXCEPTION(EngineError, session.openUnlessLocked());
    }
};

QTEST_APPLESS_MAIN(TstCatalogueSession)
#include "tst_catalogue_session.moc"
