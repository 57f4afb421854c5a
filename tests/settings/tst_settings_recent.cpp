// The recent-files list and the sorted lists, without any menu.

#include "settings/Recent.h"
#include "settings/SortedTextList.h"

#include <QLocale>
#include <QTest>

namespace {

const QString Folder = QStringLiteral("/prog/");

// The settings of the main window's list: full names, as given.
void configureAsMainWindowList(TRecentlist &list)
{
    list.setDefaultExt(QStringLiteral("zip"));
    list.setHidepath(false);
    list.setHideExt(false);
}

} // namespace

class TstSettingsRecent : public QObject
{
    Q_OBJECT

private slots:
    void componentDefaults()
    {
        TRecentlist list(Folder);
        QVERIFY(list.Hidepath());
        QVERIFY(list.HideExt());
        QVERIFY(list.DefaultExt().isEmpty());
        QVERIFY(list.FileName().isEmpty());
        QVERIFY(list.entries().isEmpty());
    }

    void keepsTheNineMostRecent()
    {
        TRecentlist list(Folder);
        configureAsMainWindowList(list);
        for (int i = 1; i <= 10; ++i)
            QVERIFY(list.AddFile(QStringLiteral("/d/%1.db").arg(i)));
        QCOMPARE(list.entries().size(), 9);
        QCOMPARE(list.entries().first(), QStringLiteral("/d/10.db"));
        QCOMPARE(list.entries().last(), QStringLiteral("/d/2.db"));
    }

    void sameNameInOtherCaseMovesToTop_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("ASCII") << "/d/Cat.db" << "/D/cAT.DB";
        QTest::newRow("beyond ASCII") << QStringLiteral("/d/\u00C4rger.db") << QStringLiteral("/d/\u00E4rger.db");
        QTest::newRow("Greek") << QStringLiteral("/d/\u03A9.db") << QStringLiteral("/d/\u03C9.db");
    }
    void sameNameInOtherCaseMovesToTop()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        TRecentlist list(Folder);
        configureAsMainWindowList(list);
        list.AddFile(first);
        list.AddFile(QStringLiteral("/d/other.db"));
        QVERIFY(!list.AddFile(second));
        QCOMPARE(list.entries(), QStringList({second, "/d/other.db"}));
        QVERIFY(!list.AddFile(second));
        QCOMPARE(list.entries().size(), 2);
    }

    void differentAccentIsDifferentName()
    {
        TRecentlist list(Folder);
        configureAsMainWindowList(list);
        list.AddFile(QStringLiteral("/d/\u00C4.db"));
        QVERIFY(list.AddFile(QStringLiteral("/d/A.db")));
        QCOMPARE(list.entries().size(), 2);
    }

    void shortensNames_data()
    {
        QTest::addColumn<bool>("hidePath");
        QTest::addColumn<bool>("hideExt");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("entry");
        QTest::newRow("in the program folder") << true << false << "/prog/a.db" << "a.db";
        QTest::newRow("folder in other case") << true << false << "/PROG/a.db" << "a.db";
        QTest::newRow("below the program folder") << true << false << "/prog/sub/a.db" << "/prog/sub/a.db";
        QTest::newRow("elsewhere") << true << false << "/other/a.db" << "/other/a.db";
        QTest::newRow("extension") << false << true << "/other/a.b.db" << "/other/a.b";
        QTest::newRow("dot in the folder only") << false << true << "/x.y/a" << "/x.y/a";
        QTest::newRow("both") << true << true << "/prog/a.db" << "a";
        QTest::newRow("neither") << false << false << "/prog/a.db" << "/prog/a.db";
    }
    void shortensNames()
    {
        QFETCH(bool, hidePath);
        QFETCH(bool, hideExt);
        QFETCH(QString, name);
        TRecentlist list(Folder);
        list.setHidepath(hidePath);
        list.setHideExt(hideExt);
        list.AddFile(name);
        QTEST(list.entries().value(0), "entry");
    }

    void clickWorksOutTheFileName_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("topAfter");
        QTest::newRow("full names") << false << "/d/c.db" << "/d/c.db" << "/d/c.db";
        QTest::newRow("bare name") << false << "c.db" << "/prog/c.db" << "/prog/c.db";
        QTest::newRow("shortened") << true << "c" << "/prog/c.zip" << "c";
        QTest::newRow("shortened with folder") << true << "/d/c" << "/d/c.zip" << "/d/c";
    }
    void clickWorksOutTheFileName()
    {
        QFETCH(bool, hide);
        QFETCH(QString, entry);
        QFETCH(QString, fileName);
        TRecentlist list(Folder);
        list.setDefaultExt(QStringLiteral("zip"));
        list.setHidepath(hide);
        list.setHideExt(hide);
        list.AddFile(hide ? fileName : entry);
        list.AddFile(QStringLiteral("/d/newer.db"));
        QCOMPARE(list.entries().size(), 2);

        const QStringList before = list.entries();
        QObject sender;
        QStringList seenDuringClick;
        connect(&list, &TRecentlist::OnClick, this, [&](QObject *from) {
            QCOMPARE(from, &sender);
            QCOMPARE(list.FileName(), fileName);
            seenDuringClick = list.entries();
        });
        list.clickEntry(list.entries().at(1), &sender);
        QCOMPARE(list.FileName(), fileName);
        // The handler ran before the move to the top.
        QCOMPARE(seenDuringClick, before);
        QTEST(list.entries().value(0), "topAfter");
    }

    void captions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("first") << 0 << "/d/a.db" << "&1 /d/a.db";
        QTest::newRow("ninth") << 8 << "b" << "&9 b";
        QTest::newRow("ampersand shown as itself") << 1 << "/d/R&D.db" << "&2 /d/R&&D.db";
    }
    void captions()
    {
        QFETCH(int, position);
        QFETCH(QString, entry);
        QTEST(TRecentlist::menuCaption(position, entry), "caption");
    }

    void phraseListIsSortedAndIgnoresRepeats()
    {
        PhraseList phrases;
        for (const char *p : {"usage", "Installation", "adjustments", "Usage", "USAGE", "documentation"})
            phrases.add(QString::fromUtf8(p));
        QCOMPARE(phrases.items(), QStringList({"adjustments", "documentation", "Installation", "usage"}));
        QVERIFY(!phrases.add(QStringLiteral("INSTALLATION")));
        QVERIFY(phrases.add(QStringLiteral("   ")));
        QVERIFY(phrases.contains(QStringLiteral("DOCUMENTATION")));
    }

    void pickListKeepsRepeats()
    {
        PickList types;
        for (const char *t : {"Unit", "expert", "Unit", "Application"})
            types.add(QString::fromUtf8(t));
        QCOMPARE(types.items(), QStringList({"Application", "expert", "Unit", "Unit"}));
    }

    void sortsByTheUserLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PhraseList phrases;
        for (const QString &p : {QStringLiteral("Zebra"), QStringLiteral("\u00C4pfel"), QStringLiteral("apfel"),
                                 QStringLiteral("\u00E4PFEL")})
            phrases.add(p);
        QLocale::setDefault(saved);
        QCOMPARE(phrases.items(), QStringList({"apfel", QStringLiteral("\u00C4pfel"), "Zebra"}));
    }
};

QTEST_APPLESS_MAIN(TstSettingsRecent)
#include "tst_settings_recent.moc"
