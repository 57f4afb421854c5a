#pragma once

#include "links/LinkLauncher.h"

// The Windows launch: a running Netscape (a window whose class contains
// "Afx:400000:b:") asked through DDE, then a running Internet Explorer ("IEFrame"),
// then the shell's "open". Only a web address leaves the program at all.
class DdeLaunch : public LinkLauncher
{
public:
    void launch(const QString &address) override;
};
