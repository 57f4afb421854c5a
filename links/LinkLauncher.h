#pragma once

#include <QString>
#include <memory>

// Opens an Origin address in a web browser: a browser that is already running
// first, the desktop's own way last. It reports nothing and returns nothing: a way
// that fails gives way to the next one, and the last one's result is not examined.
class LinkLauncher
{
public:
    virtual ~LinkLauncher() = default;
    virtual void launch(const QString &address) = 0;
};

// This platform's launcher. On Windows: a running Netscape, then a running Internet
// Explorer, both through DDE, then the shell's "open". Elsewhere: a running browser
// of the Mozilla line, then of the Chromium line, each through its own remote
// command line, then the desktop's opener.
std::unique_ptr<LinkLauncher> platformLinkLauncher();
