#pragma once

#include "links/WindowList.h"

// The windows of the X11 desktop the program runs on, read and raised through xcb.
// Without an X11 connection (a Wayland session) there are none.
class XcbWindowList : public WindowList
{
public:
    std::vector<TopWindow> topLevelWindows() override;
    void bringToFront(const TopWindow &window) override;
};
