#include "links/RunningBrowser.h"

#include "links/ProgramRunner.h"
#include "links/WebAddress.h"
#include "links/WindowList.h"

BrowserFamily BrowserFamily::mozilla()
{
    const QStringList programs{QStringLiteral("firefox"),  QStringLiteral("firefox-esr"), QStringLiteral("librewolf"),
                               QStringLiteral("waterfox"), QStringLiteral("icecat"),      QStringLiteral("iceweasel"),
                               QStringLiteral("seamonkey"), QStringLiteral("floorp")};
    // Firefox names its browser windows "Navigator" and the program in the class.
    return {programs + QStringList{QStringLiteral("navigator")}, programs, {QStringLiteral("--new-tab")}};
}

BrowserFamily BrowserFamily::chromium()
{
    const QStringList programs{QStringLiteral("chromium"),       QStringLiteral("chromium-browser"),
                               QStringLiteral("google-chrome"),  QStringLiteral("google-chrome-stable"),
                               QStringLiteral("google-chrome-beta"), QStringLiteral("brave-browser"),
                               QStringLiteral("vivaldi-stable"), QStringLiteral("microsoft-edge")};
    return {programs, programs, {}};
}

RunningBrowser::RunningBrowser(BrowserFamily family, std::shared_ptr<WindowList> windows,
                               std::shared_ptr<ProgramRunner> programs)
    : m_family(std::move(family)), m_windows(std::move(windows)), m_programs(std::move(programs))
{
}

QString RunningBrowser::programFor(const TopWindow &window) const
{
    QStringList candidates;
    for (const QString &name : window.classNames) {
        if (m_family.programs.contains(name.toLower()))
            candidates << name.toLower();
    }
    candidates << m_family.programs;
    for (const QString &name : std::as_const(candidates)) {
        const QString path = m_programs->find(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

bool RunningBrowser::handOver(const QString &address, QDeadlineTimer deadline)
{
    // A browser reads an argument that starts with "-" as an option of its own.
    if (address.startsWith(u'-'))
        return false;
    for (const TopWindow &window : m_windows->topLevelWindows()) {
        const bool ours = std::any_of(window.classNames.cbegin(), window.classNames.cend(), [this](const QString &name) {
            return m_family.windowClasses.contains(name.toLower());
        });
        if (!ours)
            continue;
        const QString program = programFor(window);
        if (program.isEmpty() || !m_programs->run(program, m_family.options + QStringList{address}, deadline))
            return false;
        m_windows->bringToFront(window);
        return true;
    }
    return false;
}

DesktopOpener::DesktopOpener(std::shared_ptr<ProgramRunner> programs) : m_programs(std::move(programs)) {}

bool DesktopOpener::handOver(const QString &address, QDeadlineTimer)
{
    const std::optional<QString> url = openerAddress(address);
    if (!url)
        return false;
    m_programs->openUrl(*url);
    return true;
}
