// A Paradox catalogue met by Open, Reopen or the start-up: the question, the
// conversion on Yes, the can't-open notice on No or for a table that cannot be
// converted, and the open dialog that lists NAME.DB files.

#include "tests/app/MainWindowFixture.h"
#include "tests/common/ModalScript.h"
#include "tests/common/ParadoxFixture.h"

#include "app/FileDialogs.h"
#include "catalogue/CatalogueTable.h"
#include "settings/Recent.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QTest>

namespace S = CatalogueSchema;

namespace {

const QString Question = QStringLiteral("Moxarium: This catalogue is in the old Paradox format. Convert it?");

QByteArray ini()
{
    return "[Program]\nKeepPaths=1\nInitPaths=0\nSaveInterface=1\nSaveRecNo=1\n[View]\nGrid=0\n";
}

// Every file under `folder` with its bytes.
QMap<QString, QByteArray> contentsOf(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(folder).relativeFilePath(path), paradox::bytesOf(path));
    }
    return out;
}

enum class Via { Open, Reopen };

// Chooses `path` through Open or Reopen.
void choose(MainWindowFixture &f, TfrmMain &w, Via via, const QString &path)
{
    if (via == Via::Open) {
        f.dialogs.answers = {path};
        command(w, "ItmOpen")->trigger();
    } else {
        w.testSeam().recentList.AddFile(path);
        child<QMenu>(w, "ItmReopen")->actions().at(0)->trigger();
    }
}

} // namespace

class TstParadoxOffer : public QObject
{
    Q_OBJECT

private slots:
    void yesConvertsAndOpens_data()
    {
        QTest::addColumn<int>("via");
        QTest::newRow("Open") << int(Via::Open);
        QTest::newRow("Reopen") << int(Via::Reopen);
    }

    void yesConvertsAndOpens()
    {
        QFETCH(int, via);
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        const QString legacy = f.dir.filePath("legacy");
        paradox::copyTable("small", legacy);
        const QString path = legacy + "/CONTENTS.DB";
        ModalAnswer boxes;
        boxes.answer("Yes");
        choose(f, w, Via(via), path);
        QCOMPARE(boxes.texts, QStringList{Question});
        QVERIFY(table(w).active());
        QCOMPARE(table(w).fullPath(), path);
        QCOMPARE(table(w).recordCount(), 5);
        QCOMPARE(panel(w, 3), QString("CONTENTS"));
        QCOMPARE(w.testSeam().recentList.entries().first(), path);
        QCOMPARE(QDir(legacy + "/CONTENTS-paradox").entryList(QDir::Files).size(), 3);
        // The record view shows the first record; the images are in their fields.
        QCOMPARE(table(w).field(S::Archive).asString(), QString("Main Archive"));
        table(w).next();
        QCOMPARE(table(w).field(S::OrigImg).asBytes(), paradox::bytesOf(paradox::dataDir("images/rec1_OrigImg.bmp")));
    }

    // Nothing is moved or written unless the user says Yes and the table is whole.
    void refusedWithTheNotice_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("answer"); // to the question; empty when none is asked
        QTest::addColumn<QString>("reason");
        QTest::newRow("No") << "small" << "No" << "CONTENTS.DB";
        QTest::newRow("truncated") << "bad/truncated" << "" << "data block 1 is missing: the file ends at byte 1000";
        QTest::newRow("truncated_data") << "bad/truncated_data" << "" << "data block 1 is cut off at byte 2200";
        QTest::newRow("no_mb") << "bad/no_mb" << "" << "its memo and image file (.MB) is missing";
        QTest::newRow("damaged image") << "damaged" << "Yes" << "which is not a block of one blob";
    }

    void refusedWithTheNotice()
    {
        QFETCH(QString, table);
        QFETCH(QString, answer);
        QFETCH(QString, reason);
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        addRecord(::table(w), "a.zip");
        const QString legacy = f.dir.filePath("legacy");
        paradox::copyTable(table == "damaged" ? QStringLiteral("small") : table, legacy);
        if (table == "damaged") {
            QByteArray mb = paradox::bytesOf(legacy + "/CONTENTS.MB");
            mb[0x5000] = 7;
            QFile out(legacy + "/CONTENTS.MB");
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(mb);
        }
        const QMap<QString, QByteArray> before = contentsOf(legacy);
        ModalAnswer boxes;
        if (!answer.isEmpty())
            boxes.answer(answer);
        boxes.answer("OK");
        choose(f, w, Via::Open, legacy + "/CONTENTS.DB");
        QCOMPARE(boxes.texts.size(), answer.isEmpty() ? 1 : 2);
        if (!answer.isEmpty())
            QCOMPARE(boxes.texts.first(), Question);
        QVERIFY2(boxes.texts.last().startsWith("Can't open database: Sorry, MOX can't open this database."),
                 qPrintable(boxes.texts.last()));
        QVERIFY2(boxes.texts.last().contains(reason), qPrintable(boxes.texts.last()));
        QCOMPARE(contentsOf(legacy), before);
        QCOMPARE(::table(w).tableName(), QString("contents.db"));
        QCOMPARE(::table(w).recordCount(), 1);
    }

    void startUpAsksToo_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Yes") << "Yes";
        QTest::newRow("No") << "No";
    }

    void startUpAsksToo()
    {
        QFETCH(QString, answer);
        MainWindowFixture f;
        const QString legacy = f.dir.filePath("legacy");
        paradox::copyTable("small", legacy);
        f.writeIni(ini() + "DatabaseName=" + legacy.toUtf8() + "/\nTableName=CONTENTS.DB\n");
        const QMap<QString, QByteArray> before = contentsOf(legacy);
        {
            ModalAnswer boxes;
            boxes.answer(answer);
            TfrmMain &w = f.start();
            QCOMPARE(boxes.texts, QStringList{Question});
            if (answer == "No") {
                QVERIFY(!table(w).active());
                QVERIFY2(w.startupMessages().contains("CONTENTS.DB"), qPrintable(w.startupMessages()));
                QCOMPARE(contentsOf(legacy), before);
                return;
            }
            QVERIFY2(w.startupMessages().isEmpty(), qPrintable(w.startupMessages()));
            QCOMPARE(table(w).recordCount(), 5);
            f.stop();
        }
        // Converted once, it opens directly from then on.
        ModalAnswer none;
        TfrmMain &again = f.start();
        QVERIFY(none.texts.isEmpty());
        QVERIFY(again.startupMessages().isEmpty());
        QCOMPARE(table(again).recordCount(), 5);
        QCOMPARE(table(again).fullPath(), legacy + "/CONTENTS.DB");
    }

    // The real open dialog lists the catalogues spelled in capitals beside the others.
    void openDialogListsUpperCaseNames()
    {
        MainWindowFixture f;
        f.writeIni(ini());
        TfrmMain &w = f.start();
        const QString folder = f.dir.filePath("listed");
        paradox::copyTable("small", folder);
        for (const char *name : {"lower.db", "Mixed.Db", "notes.txt"}) {
            QFile file(folder + u'/' + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FileDialogRequest request;
        f.dialogs.answers = {QString()};
        command(w, "ItmOpen")->trigger();
        request = f.dialogs.asked.first();
        request.folder = folder;
        request.fileName.clear();

        QStringList listed;
        ModalScript script;
        script.then([&](QDialog &dialog) {
            auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
            QVERIFY(view);
            const auto names = [&] {
                QStringList out;
                const QModelIndex root = view->rootIndex();
                for (int row = 0; row < view->model()->rowCount(root); ++row)
                    out << view->model()->index(row, 0, root).data().toString();
                out.sort();
                return out;
            };
            QTRY_VERIFY(names().size() >= 3);
            listed = names();
            dialog.reject();
        });
        QtFileDialogs real;
        QVERIFY(real.openFile(&w, request).isEmpty());
        QCOMPARE(listed, QStringList({"CONTENTS.DB", "Mixed.Db", "lower.db"}));
    }
};

QTEST_MAIN(TstParadoxOffer)
#include "tst_paradox_offer.moc"
