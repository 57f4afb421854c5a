// A double click on the Origin box hands its text to the launcher, untrimmed, unless
// it holds only blanks.

#include "tests/app/MainWindowFixture.h"

#include "app/OriginLink.h"
#include "catalogue/CatalogueTable.h"
#include "links/LinkLauncher.h"
#include "widgets/data/DBEdit.h"

namespace S = CatalogueSchema;

namespace {
class RecordingLauncher : public LinkLauncher
{
public:
    QStringList launched;
    void launch(const QString &address) override { launched << address; }
};
} // namespace

class TstOriginLink : public QObject
{
    Q_OBJECT

private slots:
    void doubleClickLaunches_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QStringList>("launched");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("blanks only") << "     " << QStringList();
        QTest::newRow("a tab and blanks") << " \t  " << QStringList();
        QTest::newRow("address") << "http://www.example.com" << QStringList{"http://www.example.com"};
        QTest::newRow("leading blanks kept") << "   www.example.com " << QStringList{"   www.example.com "};
        // What may leave the program is the launcher's to judge.
        QTest::newRow("a path") << "/usr/bin/xterm" << QStringList{"/usr/bin/xterm"};
    }

    void doubleClickLaunches()
    {
        QFETCH(QString, origin);
        MainWindowFixture f;
        f.writeIni("[View]\nGrid=0\n[TypeDefs]\nType0=Unit\n[StatusDefs]\nStatus0=In use\n");
        TfrmMain &w = f.start();
        RecordingLauncher launcher;
        w.findChild<OriginLink *>(QStringLiteral("originLink"))->setLauncher(&launcher);
        CatalogueTable &t = table(w);
        addRecord(t, "a.zip");
        t.edit();
        t.field(S::Origin).setAsString(origin);
        t.post();
        auto *edit = child<DBEdit>(w, "edtOrigin");
        QCOMPARE(edit->text(), origin);
        QTest::mouseDClick(edit, Qt::LeftButton);
        QTEST(launcher.launched, "launched");
        f.stop();
    }
};

QTEST_MAIN(TstOriginLink)
#include "tst_origin_link.moc"
