#pragma once

#include "links/BrowserWay.h"

#include <QStringList>
#include <memory>

class ProgramRunner;
class WindowList;
struct TopWindow;

// A line of browsers that share a way of taking an address from outside.
struct BrowserFamily {
    // Lower-case WM_CLASS names its windows carry.
    QStringList windowClasses;
    // Its programs, in the order tried when the window names none of them.
    QStringList programs;
    // What comes before the address on the command line that hands it to the
    // running browser.
    QStringList options;

    // Firefox and its kin: "program --new-tab address".
    static BrowserFamily mozilla();
    // Chromium and its kin: "program address" reaches the running browser.
    static BrowserFamily chromium();
};

// A browser of one family that is already running: found by its window, handed the
// address through its own program's command line, its window brought to the front.
class RunningBrowser : public BrowserWay
{
public:
    RunningBrowser(BrowserFamily family, std::shared_ptr<WindowList> windows, std::shared_ptr<ProgramRunner> programs);
    bool handOver(const QString &address, QDeadlineTimer deadline) override;

private:
    QString programFor(const TopWindow &window) const;

    BrowserFamily m_family;
    std::shared_ptr<WindowList> m_windows;
    std::shared_ptr<ProgramRunner> m_programs;
};

// The desktop's opener: the last way, for web addresses only; it always takes the
// address and what the opener makes of it is not examined.
class DesktopOpener : public BrowserWay
{
public:
    explicit DesktopOpener(std::shared_ptr<ProgramRunner> programs);
    bool handOver(const QString &address, QDeadlineTimer deadline) override;

private:
    std::shared_ptr<ProgramRunner> m_programs;
};
