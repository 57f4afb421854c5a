// Window placement: the stored position is made to fit the screens there are,
// and the state code is applied and captured.

#include "settings/ProgramSettings.h"
#include "settings/WindowPlacement.h"
#include "tests/settings/SettingsFixture.h"

#include <QTest>

using namespace fixture;

namespace {

// A desktop of two screens side by side, the first with a task bar at its
// bottom, the second smaller and lower.
const QRect Left(0, 0, 1920, 1040);
const QRect Right(1920, 200, 1280, 1024);
const QSize Minimum(538, 362);

} // namespace

class TstSettingsWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void fitsTheScreens_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("expected");
        const QList<QRect> both{Left, Right};
        const QList<QRect> one{Left};

        QTest::newRow("inside: kept") << "100,100,800,600" << both << QRect(100, 100, 800, 600);
        QTest::newRow("on the second screen: kept") << "2000,300,800,600" << both << QRect(2000, 300, 800, 600);
        QTest::newRow("across both screens: kept") << "1500,300,1000,600" << both << QRect(1500, 300, 1000, 600);
        QTest::newRow("hanging off with its top reachable: kept") << "1700,100,800,600" << one << QRect(1700, 100, 800, 600);
        QTest::newRow("hanging off the bottom: kept") << "100,700,800,600" << one << QRect(100, 700, 800, 600);

        QTest::newRow("huge: the screen's size, on it") << "100,100,2000000000,2000000000" << both << QRect(Left);
        QTest::newRow("huge on the second screen") << "2000,300,2000000000,2000000000" << both << QRect(Right);
        QTest::newRow("too wide only") << "100,100,5000,600" << one << QRect(0, 100, 1920, 600);
        QTest::newRow("far above and left: nearest screen") << "-5000,-5000,800,600" << both << QRect(0, 0, 800, 600);
        QTest::newRow("far below and right: nearest screen") << "30000,30000,800,600" << both << QRect(2400, 624, 800, 600);
        QTest::newRow("below the first screen: the first") << "100,3000,800,600" << both << QRect(100, 440, 800, 600);
        QTest::newRow("top above the screen") << "100,-10,800,600" << one << QRect(100, 0, 800, 600);
        QTest::newRow("top in the task bar") << "100,1030,800,600" << one << QRect(100, 440, 800, 600);
        QTest::newRow("only a corner showing") << "1880,100,800,600" << one << QRect(1120, 100, 800, 600);
        QTest::newRow("above the second screen, nearer the first") << "2000,-700,800,600" << both << QRect(1120, 0, 800, 600);

        QTest::newRow("negative size: the minimum") << "10,10,-100,0" << both << QRect(QPoint(10, 10), Minimum);
        QTest::newRow("smaller than the minimum") << "10,10,300,200" << both << QRect(QPoint(10, 10), Minimum);
        QTest::newRow("screen smaller than the minimum") << "50,50,640,480" << QList<QRect>{QRect(0, 0, 400, 300)}
                                                         << QRect(QPoint(0, 0), Minimum);

        // Sums that do not fit an int.
        QTest::newRow("left plus width overflows") << "2147483000,0,2000,600" << both << QRect(1920, 200, 1280, 600);
        QTest::newRow("the extremes") << "-2147483648,-2147483648,2147483647,2147483647" << both << QRect(Left);
        QTest::newRow("the other extremes") << "2147483647,2147483647,2147483647,2147483647" << both << QRect(Right);

        QTest::newRow("no screens: only the minimum") << "10,10,300,200" << QList<QRect>() << QRect(QPoint(10, 10), Minimum);
        QTest::newRow("no screens: huge") << "2147483647,0,2147483647,5" << QList<QRect>()
                                          << QRect(16777215, 0, 16777215, Minimum.height());
    }
    void fitsTheScreens()
    {
        QFETCH(QString, position);
        QFETCH(QList<QRect>, screens);
        const auto stored = parseWindowPosition(position);
        QVERIFY(stored);
        QTEST(fitWindowGeometry(*stored, screens, Minimum), "expected");
    }

    void appliesWindowPlacement_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("state");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QStringList>("calls");
        const QStringList placed{"geometry"};
        QTest::newRow("normal") << "10,20,300,200" << 1 << QRect(10, 20, 300, 200) << placed;
        QTest::newRow("minimised") << "10,20,300,200" << 2 << QRect(10, 20, 300, 200) << (placed + QStringList{"postMinimize"});
        QTest::newRow("maximised") << "10,20,300,200" << 3 << QRect(10, 20, 300, 200) << (placed + QStringList{"maximize"});
        QTest::newRow("other code") << "10,20,300,200" << 7 << QRect(10, 20, 300, 200) << placed;
        QTest::newRow("unreadable position") << "10,20" << 1 << QRect(0, 0, 640, 480) << placed;
        QTest::newRow("fitted to the screen") << "-5000,20,300,2000000000" << 1 << QRect(0, 0, 300, 1040) << placed;
        QTest::newRow("grown to the minimum") << "10,20,-1,0" << 3 << QRect(10, 20, 200, 100)
                                              << (placed + QStringList{"maximize"});
    }
    void appliesWindowPlacement()
    {
        QFETCH(QString, position);
        QFETCH(int, state);
        FakeWindow window;
        window.screens = {QRect(0, 0, 1920, 1040)};
        window.minimum = QSize(200, 100);
        ApplyWindowPlacement(window, position, state);
        QTEST(window.geometry, "geometry");
        QTEST(window.calls, "calls");
    }

    void capturesWindowPlacement()
    {
        FakeWindow window;
        window.geometry = QRect(-3, 4, 800, 600);
        ProgramSettings settings;
        settings.WindowPosition = QStringLiteral("1,2,3,4");
        window.state = PlacedWindow::State::Maximized;
        CaptureWindowPlacement(window, settings);
        QCOMPARE(settings.WindowState, 3);
        QCOMPARE(settings.WindowPosition, QStringLiteral("1,2,3,4"));
        window.state = PlacedWindow::State::Minimized;
        CaptureWindowPlacement(window, settings);
        QCOMPARE(settings.WindowState, 2);
        QCOMPARE(settings.WindowPosition, QStringLiteral("1,2,3,4"));
        window.state = PlacedWindow::State::Normal;
        CaptureWindowPlacement(window, settings);
        QCOMPARE(settings.WindowState, 1);
        QCOMPARE(settings.WindowPosition, QStringLiteral("-3,4,800,600"));
    }
};

QTEST_APPLESS_MAIN(TstSettingsWindowPlacement)
#include "tst_settings_window_placement.moc"
