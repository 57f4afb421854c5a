#include "links/LinkLauncher.h"

#ifdef Q_OS_WIN
#include "links/win/DdeLaunch.h"
#else
#include "links/BrowserLaunch.h"
#include "links/ProgramRunner.h"
#include "links/RunningBrowser.h"
#include "links/x11/XcbWindowList.h"
#endif

std::unique_ptr<LinkLauncher> platformLinkLauncher()
{
#ifdef Q_OS_WIN
    return std::make_unique<DdeLaunch>();
#else
    const auto windows = std::make_shared<XcbWindowList>();
    const auto programs = std::make_shared<QtProgramRunner>();
    std::vector<std::unique_ptr<BrowserWay>> ways;
    ways.push_back(std::make_unique<RunningBrowser>(BrowserFamily::mozilla(), windows, programs));
    ways.push_back(std::make_unique<RunningBrowser>(BrowserFamily::chromium(), windows, programs));
    ways.push_back(std::make_unique<DesktopOpener>(programs));
    return std::make_unique<BrowserLaunch>(std::move(ways));
#endif
}
