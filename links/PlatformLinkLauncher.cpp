#include "links/LinkLauncher.h"

#ifdef Q_OS_WIN
#include "links/win/DdeLaunch.h"
#else
#include "links/BrowserLaunch.h"
#include "links/ProgramRunner.h"
#include "links/RunningBrowser.h"
#include "links/WindowList.h"
#ifdef MOX_LINKS_X11
#include "links/x11/XcbWindowList.h"
#endif
#endif

#if !defined(Q_OS_WIN) && !defined(MOX_LINKS_X11)
namespace {
// A desktop whose windows the program cannot look at: the opener alone.
class NoWindows : public WindowList
{
public:
    std::vector<TopWindow> topLevelWindows() override { return {}; }
    void bringToFront(const TopWindow &) override {}
};
} // namespace
#endif

std::unique_ptr<LinkLauncher> platformLinkLauncher()
{
#ifdef Q_OS_WIN
    return std::make_unique<DdeLaunch>();
#else
#ifdef MOX_LINKS_X11
    const auto windows = std::make_shared<XcbWindowList>();
#else
    const auto windows = std::make_shared<NoWindows>();
#endif
    const auto programs = std::make_shared<QtProgramRunner>();
    std::vector<std::unique_ptr<BrowserWay>> ways;
    ways.push_back(std::make_unique<RunningBrowser>(BrowserFamily::mozilla(), windows, programs));
    ways.push_back(std::make_unique<RunningBrowser>(BrowserFamily::chromium(), windows, programs));
    ways.push_back(std::make_unique<DesktopOpener>(programs));
    return std::make_unique<BrowserLaunch>(std::move(ways));
#endif
}
