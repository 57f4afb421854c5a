// Programs killed with SIGKILL while they write: a writer posting records at random
// moments must lose no record whose post had returned, and a copy must leave nothing.

#include "catalogue/CatalogueTable.h"
#include "catalogue/engine/PendingFile.h"
#include "tests/common/CatalogueFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <unistd.h>

using namespace fixture;

namespace {

int runWriter(const QString &folder)
{
    CatalogueTable t;
    t.setDatabaseName(folder);
    t.setTableName("crash.db");
    t.open();
    for (int i = t.recordCount();; ++i) {
        t.append();
        setFields(t, {QString("archive%1.zip").arg(i), QString("Product %1").arg(i), "Unit", "In use", "x"});
        t.field(CatalogueSchema::Guide).setAsString(QString(500, QChar('g' + i % 10)));
        t.post();
        // Announce only after the post returned: these records must be on disk.
        const QByteArray line = "posted " + QByteArray::number(i) + "\n";
        if (::write(STDOUT_FILENO, line.constData(), size_t(line.size())) < 0)
            return 1;
    }
}

// Copies the catalogue and is killed half-way through, as by a power cut or the
// task manager.
int runCopier(const QString &folder, bool named)
{
    PendingFile::setUnnamedAllowed(!named);
    CatalogueTable t;
    t.setDatabaseName(folder);
    t.setTableName("source.db");
    t.open();
    t.copyTable(folder + "copy.db", [](qint64 done, qint64 total) {
        if (done < total)
            ::raise(SIGKILL);
    });
    return 1; // not reached: the copy reports progress before it ends
}

} // namespace

class TstCatalogueCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWriterLosesNoPostedRecord()
    {
        QTemporaryDir dir;
        CatalogueTable t;
        makeCatalogue(t, dir, "crash.db");
        t.close();
        QRandomGenerator rng(20261208);
        int announced = -1;
        for (int round = 0; round < 20; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {"--writer", dir.path() + "/"});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(int(rng.bounded(30, 250)));
            writer.kill(); // SIGKILL
            QVERIFY(writer.waitForFinished(5000));
            const QString out = QString::fromUtf8(writer.readAllStandardOutput());
            const auto matches = QRegularExpression("posted (\\d+)").globalMatch(out);
            for (auto it = matches; it.hasNext();)
                announced = std::max(announced, it.next().captured(1).toInt());

            RawDb raw(t.fullPath());
            QCOMPARE(raw.rows("PRAGMA integrity_check"), QStringList{"ok"});
            const int stored = raw.rows("SELECT count(*) FROM catalogue").value(0).toInt();
            QVERIFY2(stored >= announced + 1, qPrintable(QString("round %1: %2 stored, %3 announced").arg(round).arg(stored).arg(announced + 1)));
            for (int i = 0; i <= announced; i += std::max(1, announced / 20)) {
                QCOMPARE(raw.rows(QString("SELECT count(*) FROM catalogue WHERE Archive = 'archive%1.zip'").arg(i)),
                         QStringList{"1"});
            }
        }
        QVERIFY2(announced > 20, "the writer hardly ran; the test proves nothing");
        t.open(); // the table object opens what the crashes left
        QVERIFY(t.recordCount() >= announced + 1);
    }

    // A killed copy leaves nothing in the folder; where it had to use a hidden name,
    // the next open there removes what it left.
    void killedCopyLeavesNothing_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("unnamed file") << false;
        QTest::newRow("hidden name") << true;
    }

    void killedCopyLeavesNothing()
    {
        QFETCH(bool, named);
        QTemporaryDir dir;
        CatalogueTable t;
        makeCatalogue(t, dir, "source.db");
        RawDb(t.fullPath()).insertMany(600, "Archive, Product, Type, Status, OrigImg", [](int i) {
            return QString("'a%1', 'p', 'Unit', 'x', randomblob(3000)").arg(i);
        });
        t.close();
        QProcess copier;
        copier.start(QCoreApplication::applicationFilePath(), {"--copier", dir.path() + "/", named ? "named" : "unnamed"});
        QVERIFY(copier.waitForFinished(20000));
        QCOMPARE(copier.exitStatus(), QProcess::CrashExit);
        const auto files = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
        if (named) {
            QCOMPARE(files().size(), 2);
            QVERIFY2(files().filter(QRegularExpression("^\\.mox-copy-\\w{6}$")).size() == 1, qPrintable(files().join(' ')));
        }
        t.open();
        QCOMPARE(files(), QStringList{"source.db"});
        QCOMPARE(t.recordCount(), 600);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--writer")
        return runWriter(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && QByteArray(argv[1]) == "--copier")
        return runCopier(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]) == "named");
    QCoreApplication app(argc, argv);
    TstCatalogueCrash test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_catalogue_crash.moc"
