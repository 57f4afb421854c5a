// The settings binding alone: what the settings file reads into and writes from
// beyond ProgramSettings, and the main window's placement.

#include "app/SettingsBinding.h"
#include "catalogue/CatalogueTable.h"
#include "settings/ProgramSettings.h"
#include "settings/Recent.h"
#include "settings/SettingsFile.h"
#include "settings/SortedTextList.h"
#include "tests/common/CatalogueFixture.h"
#include "widgets/grid/DBGrid.h"

#include <QFrame>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

// A window with the parts the binding reaches, in a program folder of its own.
struct Bound {
    QTemporaryDir dir;
    QMainWindow window;
    CatalogueTable table;
    DBGrid *grid = new DBGrid(&window);
    QFrame *toolbar = new QFrame(&window);
    QFrame *statusBar = new QFrame(&window);
    PickList types;
    PickList statuses;
    PhraseList phrases;
    TRecentlist recent{dir.path() + QLatin1Char('/')};
    SettingsFile file{dir.path()};
    SettingsBinding binding{{window, table, *grid, types, statuses, phrases, recent, *toolbar, *statusBar,
                             file.fileName()}};

    Bound()
    {
        window.menuBar()->addMenu(QStringLiteral("&File"));
        recent.setHidepath(false); // as the main window keeps it
        recent.setHideExt(false);
        toolbar->setGeometry(6, 0, 620, 31);
        statusBar->setGeometry(6, 409, 620, 19);
    }

    void writeIni(const QByteArray &text) const { fixture::writeFile(file.fileName(), text); }
};

} // namespace

class TstSettingsBinding : public QObject
{
    Q_OBJECT

private slots:
    void theSettingsFileReadsIntoTheWindowsParts()
    {
        Bound b;
        {
            CatalogueTable made;
            makeCatalogue(made, b.dir, "mine.db", {{"a.zip", "A", "Unit", "In use", ""}});
        }
        b.writeIni("[View]\nDatabaseName=" + b.dir.path().toUtf8() + "/\nTableName=mine.db\nIndexName=idx_Product_Down\n"
                   "[Grid]\nColumn0=4,77\n[TypeDefs]\nType0=Unit\nType1=Component\n[StatusDefs]\nStatus0=In use\n"
                   "[Phrases]\nPhrase0=See the guide\n[History]\nFile0=/x/one.db\n");
        ProgramSettings settings;
        QCOMPARE(b.file.LoadSettings(settings, b.binding), QList<SettingsProblem>());
        QCOMPARE(b.table.fullPath(), b.dir.filePath("mine.db"));
        QCOMPARE(b.table.indexName(), QString("idx_Product_Down"));
        QCOMPARE(b.grid->columnField(0), int(S::Status));
        QCOMPARE(b.grid->columnWidth(0), 77);
        QCOMPARE(b.types.items(), (QStringList{"Component", "Unit"}));
        QCOMPARE(b.statuses.items(), QStringList{"In use"});
        QCOMPARE(b.phrases.items(), QStringList{"See the guide"});
        QCOMPARE(b.recent.entries(), QStringList{"/x/one.db"});
        QCOMPARE(b.binding.takeNotices(), QString());

        // And back: the state of the parts is what is written.
        QVERIFY(!b.binding.isTableOpen());
        b.table.open();
        QVERIFY(b.binding.isTableOpen());
        QCOMPARE(b.binding.recNo(), 1);
        b.binding.setGridColumn(1, S::Origin, 55);
        QCOMPARE(b.binding.gridColumnField(1), int(S::Origin));
        QCOMPARE(b.binding.gridColumnWidth(1), 55);
        settings.SaveInterface = true;
        QCOMPARE(b.file.SaveSettings(settings, b.binding), QString());
        const QByteArray written = fileBytes(b.file.fileName());
        QVERIFY2(written.contains("Column1=3,55"), written.constData());
        QVERIFY(written.contains("IndexName=idx_Product_Down"));
    }

    void anUnknownOrderIsToldOnce()
    {
        Bound b;
        b.binding.setIndexName(QStringLiteral("idx_Nothing"));
        QCOMPARE(b.table.indexName(), QString());
        const QString notice = b.binding.takeNotices();
        QVERIFY2(notice.contains("\"idx_Nothing\"") && notice.contains("mox.ini"), qPrintable(notice));
        QCOMPARE(b.binding.takeNotices(), QString());
    }

    void placement()
    {
        Bound b;
        b.binding.setPlacementGeometry(QRect(30, 40, 600, 420));
        QCOMPARE(b.binding.placementGeometry(), QRect(30, 40, 600, 420));
        QCOMPARE(b.binding.placementState(), PlacedWindow::State::Normal);
        QVERIFY(!b.binding.placementScreens().isEmpty());
        // The content stops shrinking at 538 x 344 of client area, the tool bar's
        // margin on every side; the menu bar comes on top.
        QCOMPARE(b.binding.placementMinimumSize(), QSize(6 + 526 + 6, 319 + 19 + 6) + QSize(0, b.window.menuBar()->sizeHint().height()));
        b.window.show();
        b.binding.maximize();
        QCOMPARE(b.binding.placementState(), PlacedWindow::State::Maximized);
    }
};

QTEST_MAIN(TstSettingsBinding)
#include "tst_settings_binding.moc"
