// The Reopen submenu that mirrors the recent-files list.

#include "settings/Recent.h"
#include "settings/ui/RecentMenu.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace {

QStringList captions(const QMenu &menu)
{
    QStringList result;
    for (const QAction *item : menu.actions())
        result << item->text();
    return result;
}

} // namespace

class TstSettingsRecentMenu : public QObject
{
    Q_OBJECT

private:
    void configure(TRecentlist &list)
    {
        list.setDefaultExt(QStringLiteral("zip"));
        list.setHidepath(false);
        list.setHideExt(false);
    }

private slots:
    void reopenIsEnabledExactlyWithEntries()
    {
        TRecentlist list(QStringLiteral("/prog/"));
        configure(list);
        RecentMenu binder(list);
        QMenu reopen(QStringLiteral("&Reopen"));
        binder.setLinkedMenuItem(&reopen);
        QVERIFY(!reopen.menuAction()->isEnabled());
        QVERIFY(reopen.actions().isEmpty());

        list.AddFile(QStringLiteral("/d/a.db"));
        QVERIFY(reopen.menuAction()->isEnabled());
        QCOMPARE(captions(reopen), QStringList({"&1 /d/a.db"}));

        list.clear();
        QVERIFY(!reopen.menuAction()->isEnabled());
        QVERIFY(reopen.actions().isEmpty());
    }

    void linkingBuildsFromTheCurrentList()
    {
        TRecentlist list(QStringLiteral("/prog/"));
        configure(list);
        list.AddFile(QStringLiteral("/d/R&D.db"));
        list.AddFile(QStringLiteral("/d/b.db"));
        RecentMenu binder(list);
        QMenu reopen;
        binder.setLinkedMenuItem(&reopen);
        QCOMPARE(captions(reopen), QStringList({"&1 /d/b.db", "&2 /d/R&&D.db"}));
    }

    void clickingAnItemReopensAndMovesItToTop()
    {
        TRecentlist list(QStringLiteral("/prog/"));
        configure(list);
        RecentMenu binder(list);
        QMenu reopen;
        binder.setLinkedMenuItem(&reopen);
        for (const char *name : {"/d/R&D.db", "/d/b.db", "/d/a.db"})
            list.AddFile(QString::fromUtf8(name));

        QAction *third = reopen.actions().at(2);
        QObject *sender = nullptr;
        QString reopened;
        connect(&list, &TRecentlist::OnClick, this, [&](QObject *from) {
            sender = from;
            reopened = list.FileName();
            // The open command adds the file itself, rebuilding the menu under the click.
            list.AddFile(list.FileName());
        });
        third->trigger();
        QCOMPARE(sender, third);
        QCOMPARE(reopened, QStringLiteral("/d/R&D.db"));
        QCOMPARE(captions(reopen), QStringList({"&1 /d/R&&D.db", "&2 /d/a.db", "&3 /d/b.db"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(reopen.actions().size(), 3);
    }

    void survivesItsMenuGoingFirst()
    {
        TRecentlist list(QStringLiteral("/prog/"));
        RecentMenu binder(list);
        {
            QMenu reopen;
            binder.setLinkedMenuItem(&reopen);
        }
        list.AddFile(QStringLiteral("/d/a.db"));
        QCOMPARE(binder.LinkedMenuItem(), nullptr);
    }
};

QTEST_MAIN(TstSettingsRecentMenu)
#include "tst_settings_recent_menu.moc"
