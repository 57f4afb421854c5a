#pragma once

#include <QStringList>
#include <vector>

// A top-level window of the desktop as the browser search sees it.
struct TopWindow {
    quint32 id = 0;
    QStringList classNames; // its WM_CLASS: instance name, then class name
    bool minimised = false;
};

// The seam to the desktop's windows.
class WindowList
{
public:
    virtual ~WindowList() = default;
    // The top-level windows that show or are minimised, the top-most first.
    virtual std::vector<TopWindow> topLevelWindows() = 0;
    // Brings the window to the front; a minimised one is shown maximised, any other
    // keeps its size.
    virtual void bringToFront(const TopWindow &window) = 0;
};
