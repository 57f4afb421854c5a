#include "links/win/DdeLaunch.h"

#include "links/WebAddress.h"
#include "links/win/DdeConversation.h"

#include <cstring>
#include <memory>
#include <optional>
#include <shellapi.h>

namespace {

constexpr DWORD RequestTimeoutMs = 10000;

struct NetscapeSearch {
    HWND found = nullptr;
    const char *className = "Afx:400000:b:";
};

BOOL CALLBACK findNetscape(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<NetscapeSearch *>(data);
    char name[256] = {};
    GetClassNameA(window, name, 255);
    if (std::strstr(name, search->className)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void bringToFront(HWND window)
{
    if (IsIconic(window))
        ShowWindow(window, SW_SHOWMAXIMIZED);
    SetForegroundWindow(window);
}

} // namespace

void DdeLaunch::launch(const QString &address)
{
    const std::optional<QString> openable = openerAddress(address);
    if (!openable)
        return;
    // The browsers get the text as it stands, blanks and all.
    const std::string u = address.toLocal8Bit().toStdString();
    {
        const auto conversation = std::make_unique<DdeConversation>();
        NetscapeSearch search;
        EnumWindows(findNetscape, reinterpret_cast<LPARAM>(&search));
        if (search.found && conversation->connect("Netscape", "WWW_OpenURL")
            && conversation->request(u + ",,0xFFFFFFFF,0x1", RequestTimeoutMs)) {
            bringToFront(search.found);
            return;
        }
        if (HWND explorer = FindWindowA("IEFrame", nullptr)) {
            if (conversation->connect("Iexplore", "WWW_OpenURL") && conversation->execute(u + ",,-1,,,,,")) {
                bringToFront(explorer);
                return;
            }
        }
    }
    // The shell gets a whole web address, never a file or a program to start.
    ShellExecuteA(GetDesktopWindow(), "open", openable->toLocal8Bit().constData(), nullptr, nullptr, SW_SHOWNORMAL);
}
