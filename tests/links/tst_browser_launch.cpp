// The launch's order of ways, with a desktop and programs of our own making; and the
// real program runner with small shell commands.

#include "links/BrowserLaunch.h"
#include "links/ProgramRunner.h"
#include "links/RunningBrowser.h"
#include "links/WindowList.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

class FakeWindows : public WindowList
{
public:
    std::vector<TopWindow> windows;
    QList<quint32> raised;
    std::vector<TopWindow> topLevelWindows() override { return windows; }
    void bringToFront(const TopWindow &window) override { raised << window.id; }
};

class FakePrograms : public ProgramRunner
{
public:
    QStringList installed;       // names found on the search path
    QStringList failing;         // programs that end with an error
    QStringList runs;            // "program arg|arg|..."
    QList<QDeadlineTimer> deadlines;
    QStringList opened;

    QString find(const QString &name) const override
    {
        return installed.contains(name) ? QStringLiteral("/fake/bin/") + name : QString();
    }
    bool run(const QString &program, const QStringList &arguments, QDeadlineTimer deadline) override
    {
        runs << program.section(u'/', -1) + QLatin1Char(' ') + arguments.join(u'|');
        deadlines << deadline;
        return !failing.contains(program.section(u'/', -1));
    }
    void openUrl(const QString &url) override { opened << url; }
};

TopWindow window(quint32 id, const QString &instance, const QString &className, bool minimised = false)
{
    return {id, {instance, className}, minimised};
}

} // namespace

class TestBrowserLaunch : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void waysInOrder_data();
    void waysInOrder();
    void oneDeadlineForTheWholeLaunch();
    void optionIsNeverHandedToABrowser();
    void runnerReportsTheProgramsEnd_data();
    void runnerReportsTheProgramsEnd();
    void runnerStopsAProgramAtTheDeadline();

private:
    std::shared_ptr<FakeWindows> m_windows;
    std::shared_ptr<FakePrograms> m_programs;
    std::unique_ptr<BrowserLaunch> m_launch;
};

void TestBrowserLaunch::init()
{
    m_windows = std::make_shared<FakeWindows>();
    m_programs = std::make_shared<FakePrograms>();
    std::vector<std::unique_ptr<BrowserWay>> ways;
    ways.push_back(std::make_unique<RunningBrowser>(BrowserFamily::mozilla(), m_windows, m_programs));
    ways.push_back(std::make_unique<RunningBrowser>(BrowserFamily::chromium(), m_windows, m_programs));
    ways.push_back(std::make_unique<DesktopOpener>(m_programs));
    m_launch = std::make_unique<BrowserLaunch>(std::move(ways));
}

using Windows = std::vector<TopWindow>;

void TestBrowserLaunch::waysInOrder_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<Windows>("windows");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("failing");
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<QList<quint32>>("raised");
    QTest::addColumn<QStringList>("opened");

    const QStringList all{"firefox", "firefox-esr", "librewolf", "chromium", "google-chrome"};
    const Windows none;
    const TopWindow terminal = window(1, "xterm", "XTerm");
    const TopWindow firefox = window(2, "Navigator", "firefox-esr");
    const TopWindow chromium = window(3, "chromium", "Chromium");

    QTest::newRow("no browser: the opener, unchanged")
        << "http://www.example.com/a.zip" << Windows{terminal} << all << QStringList() << QStringList()
        << QList<quint32>() << QStringList{"http://www.example.com/a.zip"};
    QTest::newRow("no browser, no scheme: the opener gets http")
        << "www.example.com" << none << all << QStringList() << QStringList() << QList<quint32>()
        << QStringList{"http://www.example.com"};
    QTest::newRow("blanks only: nothing") << "   " << Windows{firefox, chromium} << all << QStringList()
                                          << QStringList() << QList<quint32>() << QStringList();
    QTest::newRow("firefox, leading blanks kept")
        << "  example.com/x" << Windows{terminal, firefox} << all << QStringList()
        << QStringList{"firefox-esr --new-tab|  example.com/x"} << QList<quint32>{2} << QStringList();
    QTest::newRow("librewolf by its class")
        << "http://a.org" << Windows{window(4, "Navigator", "LibreWolf")} << all << QStringList()
        << QStringList{"librewolf --new-tab|http://a.org"} << QList<quint32>{4} << QStringList();
    QTest::newRow("window names no installed program: the family's first")
        << "http://a.org" << Windows{window(5, "Navigator", "waterfox")} << QStringList{"firefox-esr"}
        << QStringList() << QStringList{"firefox-esr --new-tab|http://a.org"} << QList<quint32>{5} << QStringList();
    QTest::newRow("chromium") << "http://a.org" << Windows{chromium} << all << QStringList()
                              << QStringList{"chromium http://a.org"} << QList<quint32>{3} << QStringList();
    QTest::newRow("chrome by its class")
        << "http://a.org" << Windows{window(6, "google-chrome", "Google-chrome", true)} << all << QStringList()
        << QStringList{"google-chrome http://a.org"} << QList<quint32>{6} << QStringList();
    QTest::newRow("both running: the Mozilla line first")
        << "http://a.org" << Windows{chromium, firefox} << all << QStringList()
        << QStringList{"firefox-esr --new-tab|http://a.org"} << QList<quint32>{2} << QStringList();
    QTest::newRow("firefox fails: chromium")
        << "http://a.org" << Windows{firefox, chromium} << all << QStringList{"firefox-esr"}
        << QStringList{"firefox-esr --new-tab|http://a.org", "chromium http://a.org"} << QList<quint32>{3}
        << QStringList();
    QTest::newRow("both fail: the opener")
        << "http://a.org" << Windows{firefox, chromium} << all << QStringList{"firefox-esr", "chromium"}
        << QStringList{"firefox-esr --new-tab|http://a.org", "chromium http://a.org"} << QList<quint32>()
        << QStringList{"http://a.org"};
    QTest::newRow("browser window without its program: the opener")
        << "http://a.org" << Windows{firefox, chromium} << QStringList() << QStringList() << QStringList()
        << QList<quint32>() << QStringList{"http://a.org"};
    for (const char *text : {"file:///etc/passwd", "/usr/bin/xterm", "-P default", "javascript:alert(1)"})
        QTest::addRow("never handed on: %s", text) << QString::fromLatin1(text) << Windows{firefox, chromium} << all
                                                   << QStringList() << QStringList() << QList<quint32>()
                                                   << QStringList();
}

void TestBrowserLaunch::waysInOrder()
{
    QFETCH(QString, address);
    QFETCH(Windows, windows);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, failing);
    m_windows->windows = windows;
    m_programs->installed = installed;
    m_programs->failing = failing;
    m_launch->launch(address);
    QTEST(m_programs->runs, "runs");
    QTEST(m_windows->raised, "raised");
    QTEST(m_programs->opened, "opened");
}

void TestBrowserLaunch::oneDeadlineForTheWholeLaunch()
{
    m_windows->windows = {window(2, "Navigator", "firefox"), window(3, "chromium", "Chromium")};
    m_programs->installed = {"firefox", "chromium"};
    m_programs->failing = {"firefox", "chromium"};
    m_launch->launch(QStringLiteral("http://a.org"));
    QCOMPARE(m_programs->deadlines.size(), 2);
    QCOMPARE(m_programs->deadlines[1].deadline(), m_programs->deadlines[0].deadline());
    const qint64 left = m_programs->deadlines[0].remainingTime();
    QVERIFY2(left > 9000 && left <= 10000, qPrintable(QString::number(left)));
}

void TestBrowserLaunch::optionIsNeverHandedToABrowser()
{
    // Even when asked directly, not only through the launch's own check.
    m_windows->windows = {window(2, "Navigator", "firefox"), window(3, "chromium", "Chromium")};
    m_programs->installed = {"firefox", "chromium"};
    for (BrowserFamily family : {BrowserFamily::mozilla(), BrowserFamily::chromium()}) {
        RunningBrowser way(family, m_windows, m_programs);
        QVERIFY(!way.handOver(QStringLiteral("-P default"), QDeadlineTimer(1000)));
        QVERIFY(!way.handOver(QStringLiteral("--remote-debugging-port=9222"), QDeadlineTimer(1000)));
    }
    QCOMPARE(m_programs->runs, QStringList());
}

void TestBrowserLaunch::runnerReportsTheProgramsEnd_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("taken");
    QTest::newRow("exit 0") << "/bin/sh" << QStringList{"-c", "exit 0"} << true;
    QTest::newRow("exit 3") << "/bin/sh" << QStringList{"-c", "exit 3"} << false;
    QTest::newRow("killed") << "/bin/sh" << QStringList{"-c", "kill -9 $$"} << false;
    QTest::newRow("no such program") << "/no/such/program" << QStringList() << false;
}

void TestBrowserLaunch::runnerReportsTheProgramsEnd()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QtProgramRunner runner;
    QTEST(runner.run(program, arguments, QDeadlineTimer(5000)), "taken");
}

void TestBrowserLaunch::runnerStopsAProgramAtTheDeadline()
{
    QtProgramRunner runner;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!runner.run(QStringLiteral("/bin/sleep"), {QStringLiteral("20")}, QDeadlineTimer(300)));
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!runner.run(QStringLiteral("/bin/true"), {}, QDeadlineTimer(0)));
}

QTEST_GUILESS_MAIN(TestBrowserLaunch)
#include "tst_browser_launch.moc"
