#include "settings/ui/RecentMenu.h"

#include "settings/Recent.h"

#include <QAction>
#include <QMenu>

RecentMenu::RecentMenu(TRecentlist &list, QObject *parent)
    : QObject(parent)
    , m_list(list)
{
    connect(&m_list, &TRecentlist::entriesChanged, this, &RecentMenu::RebuildMenu);
}

void RecentMenu::setLinkedMenuItem(QMenu *menu)
{
    m_linkedMenuItem = menu;
    RebuildMenu();
}

void RecentMenu::RebuildMenu()
{
    if (!m_linkedMenuItem)
        return;
    // A click that moves its own entry to the top rebuilds the menu while the
    // clicked item is still delivering its signal: delete the old items later.
    for (QAction *old : m_linkedMenuItem->actions()) {
        m_linkedMenuItem->removeAction(old);
        old->deleteLater();
    }
    const QStringList &entries = m_list.entries();
    for (qsizetype n = 0; n < entries.size(); ++n) {
        QAction *item = m_linkedMenuItem->addAction(TRecentlist::menuCaption(n, entries[n]));
        const QString entry = entries[n];
        connect(item, &QAction::triggered, this, [this, item, entry] { m_list.clickEntry(entry, item); });
    }
    m_linkedMenuItem->menuAction()->setEnabled(!entries.isEmpty());
}
