#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>

class TRecentlist;

// Mirrors a TRecentlist as numbered items of a submenu (the linked menu
// item): one item per entry, "&1 " + entry and so on, the submenu's own item
// enabled exactly while the list has entries. Clicking an item runs the
// list's click handling.
class RecentMenu : public QObject
{
    Q_OBJECT

public:
    explicit RecentMenu(TRecentlist &list, QObject *parent = nullptr);

    QMenu *LinkedMenuItem() const { return m_linkedMenuItem; }
    // Rebuilds the menu at once.
    void setLinkedMenuItem(QMenu *menu);

    void RebuildMenu();

private:
    TRecentlist &m_list;
    QPointer<QMenu> m_linkedMenuItem;
};
