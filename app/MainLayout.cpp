#include "app/MainLayout.h"

#include <algorithm>

MainLayout MainLayout::forClient(int w, int h)
{
    MainLayout l{};
    const int t = std::max(w, 538) - 12;
    l.toolbarWidth = t;
    l.dividerLeft = t - 234;
    l.navigatorLeft = t - 225;
    l.notebookWidth = t;
    l.infoWidth = t - 17;
    l.memoWidth = l.infoWidth - 87;
    l.statusWidth = t;
    const int n = std::max(h, 344) - 69;
    l.notebookHeight = n;
    l.infoHeight = n - 158;
    l.memoHeight = (l.infoHeight - 27) / 2;
    l.commentsTop = 15 + l.memoHeight + 3;
    l.statusTop = 38 + n + 6;
    return l;
}
