// The directory chooser and the invalid-path notice, driven by keys and clicks.

#include "settings/ui/FolderRows.h"
#include "settings/ui/MOXInvalidPath.h"
#include "settings/ui/MOXSelectDir.h"
#include "tests/settings/DialogDriver.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class ListedDrives : public DriveSource
{
public:
    explicit ListedDrives(QList<Drive> drives) : m_drives(std::move(drives)) {}
    QList<Drive> drives() const override { return m_drives; }

private:
    QList<Drive> m_drives;
};

// Two drives in a temporary folder: one/ with sub/{Beta, alpha, .hidden}, and two/.
struct Fixture {
    QTemporaryDir dir;
    MainStandIn main;
    std::unique_ptr<TfrmSelectDir> chooser;

    Fixture()
    {
        for (const char *path : {"one/sub/Beta", "one/sub/alpha/deep", "one/sub/.hidden", "two/x"})
            QDir(dir.path()).mkpath(QLatin1String(path));
        chooser = std::make_unique<TfrmSelectDir>(
            &main, path("one/sub"),
            std::make_unique<ListedDrives>(QList<Drive>{{path("one"), false}, {path("two"), true}}));
    }
    ~Fixture() { chooser->hide(); }

    QString path(const char *relative) const { return dir.filePath(QLatin1String(relative)); }
    void open()
    {
        chooser->show();
        QVERIFY(QTest::qWaitForWindowActive(chooser.get()));
    }
    QListWidget *list() const { return chooser->findChild<QListWidget *>(QStringLiteral("lbDirectories")); }
    QComboBox *drives() const { return chooser->findChild<QComboBox *>(QStringLiteral("cbbDrive")); }
    QString label() const { return chooser->findChild<QLabel *>(QStringLiteral("lblDirectory"))->toolTip(); }
    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->item(i)->text();
        return texts;
    }
    int rowOf(const QString &text) const { return int(rows().indexOf(text)); }
    void doubleClick(int row)
    {
        // A person's double click: a click, then the second press that makes it double.
        const QPoint at = list()->visualItemRect(list()->item(row)).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

class TstSelectDir : public QObject
{
    Q_OBJECT

private slots:
    void folderRows_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("depths");
        QTest::addColumn<int>("openRows");
        QTest::newRow("the root") << "one" << QStringList{"<root>", "sub"} << QList<int>{0, 1} << 1;
        QTest::newRow("a folder below, subfolders by name without case, no hidden")
            << "one/sub" << QStringList{"<root>", "sub", "alpha", "Beta"} << QList<int>{0, 1, 2, 2} << 2;
        QTest::newRow("two levels down") << "one/sub/alpha" << QStringList{"<root>", "sub", "alpha", "deep"}
                                         << QList<int>{0, 1, 2, 3} << 3;
    }
    void folderRows()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, depths);
        QFETCH(int, openRows);
        Fixture f;
        const QString root = f.path("one");
        const QList<FolderRow> rows = ::folderRows(root, f.dir.filePath(folder));
        QStringList gotNames;
        QList<int> gotDepths;
        int open = 0;
        for (const FolderRow &row : rows) {
            gotNames << (row.path == root ? QStringLiteral("<root>") : row.name);
            gotDepths << row.depth;
            open += row.open ? 1 : 0;
            QVERIFY(QFileInfo(row.path).isDir());
        }
        QCOMPARE(gotNames, names);
        QCOMPARE(gotDepths, depths);
        QCOMPARE(open, openRows);
        QCOMPARE(rows.first().name, root);
    }

    void insideAndNearest()
    {
        QVERIFY(folderIsInside(QStringLiteral("/a/b"), QStringLiteral("/a")));
        QVERIFY(folderIsInside(QStringLiteral("/a"), QStringLiteral("/a")));
        QVERIFY(folderIsInside(QStringLiteral("/a"), QStringLiteral("/")));
        QVERIFY(!folderIsInside(QStringLiteral("/ab"), QStringLiteral("/a")));
        Fixture f;
        QCOMPARE(nearestExistingFolder(f.path("one/sub/gone/deeper")), f.path("one/sub"));
        QCOMPARE(nearestExistingFolder(f.path("two")), f.path("two"));
    }

    // The drive box and the folder list go together; opening a folder makes it the
    // chosen one and shows it above.
    void browsing()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.chooser->directory(), f.path("one/sub"));
        QCOMPARE(f.drives()->currentText(), f.path("one"));
        QCOMPARE(f.rows(), QStringList({f.path("one"), "sub", "alpha", "Beta"}));
        QCOMPARE(f.list()->currentRow(), 1);
        QCOMPARE(f.label(), f.path("one/sub"));

        f.doubleClick(f.rowOf(QStringLiteral("alpha")));
        QCOMPARE(f.chooser->directory(), f.path("one/sub/alpha"));
        QCOMPARE(f.label(), f.path("one/sub/alpha"));
        QCOMPARE(f.rows(), QStringList({f.path("one"), "sub", "alpha", "deep"}));

        // Enter opens the folder under the cursor and leaves the dialog open.
        f.list()->setFocus();
        f.list()->setCurrentRow(0);
        QTest::keyClick(f.list(), Qt::Key_Return);
        QVERIFY(f.chooser->isVisible());
        QCOMPARE(f.chooser->directory(), f.path("one"));
        QCOMPARE(f.rows(), QStringList({f.path("one"), "sub"}));

        // Another drive shows from its root.
        f.drives()->setFocus();
        QTest::keyClick(f.drives(), Qt::Key_Down);
        QCOMPARE(f.drives()->currentText(), f.path("two"));
        QCOMPARE(f.chooser->directory(), f.path("two"));
        QCOMPARE(f.rows(), QStringList({f.path("two"), "x"}));
        saveShot(*f.chooser, QStringLiteral("select-dir.png"));

        QTest::mouseClick(f.chooser->findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
        QCOMPARE(f.chooser->result(), int(QDialog::Accepted));
        QVERIFY(!f.chooser->isVisible());
    }

    // It opens where it was left, Cancel or not; a folder gone since opens its parent.
    void opensWhereItWasLeft()
    {
        Fixture f;
        f.open();
        f.doubleClick(f.rowOf(QStringLiteral("Beta")));
        QTest::keyClick(f.list(), Qt::Key_Escape);
        QCOMPARE(f.chooser->result(), int(QDialog::Rejected));
        f.open();
        QCOMPARE(f.chooser->directory(), f.path("one/sub/Beta"));
        f.chooser->hide();
        QVERIFY(QDir(f.path("one/sub/Beta")).removeRecursively());
        f.open();
        QCOMPARE(f.chooser->directory(), f.path("one/sub"));
        f.chooser->hide();
        f.chooser->setDirectory(f.path("two/x"));
        f.open();
        QCOMPARE(f.drives()->currentText(), f.path("two"));
        QCOMPARE(f.rows(), QStringList({f.path("two"), "x"}));
    }

    void chooserLayout()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.chooser->windowTitle(), QStringLiteral("Select a directory"));
        QCOMPARE(f.chooser->size(), QSize(235, 290));
        QVERIFY(!(f.chooser->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(f.chooser->findChild<QPushButton *>(QStringLiteral("btnOK"))->text(), QStringLiteral("&OK"));
        QCOMPARE(f.chooser->findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(), QStringLiteral("&Cancel"));
        for (QWidget *w : f.chooser->findChildren<QWidget *>())
            QVERIFY2(f.chooser->rect().contains(QRect(w->mapTo(f.chooser.get(), QPoint()), w->size())),
                     qPrintable(w->objectName()));
    }

    void invalidPathNotice()
    {
        MainStandIn main;
        TfrmInvalidPath notice(&main);
        notice.show();
        QVERIFY(QTest::qWaitForWindowActive(&notice));
        QCOMPARE(notice.windowTitle(), QStringLiteral("Invalid path"));
        QCOMPARE(notice.size(), QSize(174, 85));
        QCOMPARE(notice.findChild<QLabel *>(QStringLiteral("lblMessage"))->text(),
                 QStringLiteral("Please enter a valid path."));
        QVERIFY(!notice.findChild<QLabel *>(QStringLiteral("imgFolder"))->pixmap().isNull());
        auto *ok = notice.findChild<QPushButton *>(QStringLiteral("btnOK"));
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        for (QWidget *w : notice.findChildren<QWidget *>())
            QVERIFY2(notice.rect().contains(w->geometry()), qPrintable(w->objectName()));
        QVERIFY(centredOver(notice, main));
        saveShot(notice, QStringLiteral("invalid-path.png"));
        QTest::keyClick(ok, Qt::Key_Space);
        QVERIFY(!notice.isVisible());
    }
};

QTEST_MAIN(TstSelectDir)
#include "tst_select_dir.moc"
