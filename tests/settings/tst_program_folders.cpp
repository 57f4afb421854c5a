// Where mox.ini and the default catalogue live: beside a copy the user can
// write, in the user's own folders for an installed program or one in a
// folder it cannot write. The settings file then follows that choice.

#include "settings/ProgramFolders.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"
#include "tests/settings/SettingsFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace fixture;

class TstProgramFolders : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;

    QString path(const QString &relative) const { return m_root + relative; }

    // <root>/<prefix>/<bin>/, with the desktop entry an installation puts beside it.
    QString makeProgramFolder(const QString &prefix, bool withDesktopEntry, const QString &binName = QStringLiteral("bin"))
    {
        const QString bin = path(prefix + u'/' + binName + u'/');
        QDir().mkpath(bin);
        if (withDesktopEntry) {
            QDir().mkpath(path(prefix + QStringLiteral("/share/applications")));
            writeBytes(path(prefix + QStringLiteral("/share/applications/"))
                           + QLatin1StringView(ProgramFolders::DesktopEntryName),
                       "[Desktop Entry]\n");
        }
        return bin;
    }

    QStringList entries(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + u'/';
    }

    void cleanup()
    {
        // A read-only folder made by a case must not keep the temporary folder.
        QFile::setPermissions(path(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(m_dir->remove());
        m_dir.reset();
    }

    void choice_data()
    {
        QTest::addColumn<QString>("binName");
        QTest::addColumn<bool>("desktopEntry");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("beside");

        QTest::newRow("portable copy in a folder the user can write") << "bin" << false << true << true;
        QTest::newRow("copy in a folder the user cannot write") << "bin" << false << false << false;
        QTest::newRow("installed for all users") << "bin" << true << false << false;
        // An administrator can write the system's folders; the settings still
        // go to the administrator's own folders.
        QTest::newRow("installed, started by an administrator") << "bin" << true << true << false;
        // A desktop entry beside a folder not named bin is somebody else's.
        QTest::newRow("copy beside an installation's share folder") << "Moxarium" << true << true << true;
    }

    void choice()
    {
        QFETCH(QString, binName);
        QFETCH(bool, desktopEntry);
        QFETCH(bool, writable);
        QFETCH(bool, beside);

        // Given without its trailing separator, as the application reports it.
        QString program = makeProgramFolder(QStringLiteral("prefix"), desktopEntry, binName);
        program.chop(1);
        QStringList asked;
        const auto canWrite = [&](const QString &folder) {
            asked.append(folder);
            return writable;
        };
        // The user's folders come without a trailing separator.
        const ProgramFolders folders = ProgramFolders::choose(program, path(QStringLiteral("config/Moxarium")),
                                                              path(QStringLiteral("data/Moxarium")), canWrite);

        const QString programWithSeparator = program + u'/';
        QCOMPARE(folders.besideProgram, beside);
        if (beside) {
            QCOMPARE(folders.settingsFolder, programWithSeparator);
            QCOMPARE(folders.dataFolder, programWithSeparator);
            QCOMPARE(asked, QStringList{program});
        } else {
            QCOMPARE(folders.settingsFolder, path(QStringLiteral("config/Moxarium/")));
            QCOMPARE(folders.dataFolder, path(QStringLiteral("data/Moxarium/")));
        }
        // The choice itself creates nothing.
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("config"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("data"))));
    }

    void folderAcceptsFiles_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("accepts");

        QTest::newRow("writable folder") << "open" << true;
        QTest::newRow("missing folder") << "missing" << false;
        QTest::newRow("regular file") << "file" << false;
        QTest::newRow("read-only folder") << "locked" << false;
    }

    void folderAcceptsFiles()
    {
        QFETCH(QString, folder);
        QFETCH(bool, accepts);

        QDir().mkpath(path(QStringLiteral("open")));
        QDir().mkpath(path(QStringLiteral("locked")));
        QVERIFY(writeBytes(path(QStringLiteral("file")), "x"));
        QVERIFY(QFile::setPermissions(path(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner));
        if (folder == u"locked" && geteuid() == 0)
            QSKIP("permissions do not stop the administrator");

        QCOMPARE(ProgramFolders::folderAcceptsFiles(path(folder)), accepts);
        // The probe leaves nothing behind.
        QCOMPARE(entries(path(QStringLiteral("open"))), QStringList());
    }

    void createMakesMissingFolders()
    {
        const ProgramFolders folders{path(QStringLiteral("home/.config/Moxarium/")),
                                     path(QStringLiteral("home/.local/share/Moxarium/")), false};
        QCOMPARE(folders.create(), QString());
        QVERIFY(QFileInfo(folders.settingsFolder).isDir());
        QVERIFY(QFileInfo(folders.dataFolder).isDir());
        // Folders that exist are fine.
        QCOMPARE(folders.create(), QString());
        QCOMPARE(ProgramFolders::beside(m_root).create(), QString());
    }

    void createNamesTheFolderItCannotMake()
    {
        // A file where a folder should be.
        QVERIFY(writeBytes(path(QStringLiteral("home")), "not a folder"));
        const ProgramFolders folders{path(QStringLiteral("ok/")), path(QStringLiteral("home/data/")), false};
        const QString problem = folders.create();
        QVERIFY2(problem.startsWith(QStringLiteral("Unable to create the folder ")
                                    + QDir::toNativeSeparators(folders.dataFolder) + QStringLiteral(": ")),
                 qPrintable(problem));
        QVERIFY(problem.size() > QStringLiteral("Unable to create the folder ").size() + folders.dataFolder.size() + 2);
        // The other folder is still made.
        QVERIFY(QFileInfo(folders.settingsFolder).isDir());
    }

    // The settings file in the user's configuration folder: created there at the
    // first start, naming the data folder for the catalogue and every file task,
    // read back after a restart; the program folder is never touched.
    void settingsInTheUsersFolders()
    {
        const QString program = makeProgramFolder(QStringLiteral("usr"), true);
        const ProgramFolders folders = ProgramFolders::choose(program, path(QStringLiteral("config/Moxarium")),
                                                              path(QStringLiteral("data/Moxarium")));
        QVERIFY(!folders.besideProgram);
        QCOMPARE(folders.create(), QString());

        const SettingsFile file(folders.dataFolder, folders.settingsFolder);
        QCOMPARE(file.fileName(), folders.settingsFolder + QStringLiteral("mox.ini"));
        ProgramSettings settings;
        FakeHost host(folders.dataFolder);
        QVERIFY(file.LoadSettings(settings, host).isEmpty());
        QVERIFY(QFileInfo(file.fileName()).isFile());
        QCOMPARE(host.database, folders.dataFolder);
        QCOMPARE(host.table, QStringLiteral("contents.db"));
        PathTable expected;
        expected.fill(folders.dataFolder);
        QVERIFY(settings.CurrentPaths == expected);
        QVERIFY(settings.SpecifiedPaths == expected);

        // A change made during the run is there at the next start.
        settings.SaveRecNo = false;
        host.table = QStringLiteral("mine.db");
        QVERIFY(file.SaveSettings(settings, host).isEmpty());
        ProgramSettings again;
        FakeHost restarted(folders.dataFolder);
        QVERIFY(SettingsFile(folders.dataFolder, folders.settingsFolder).LoadSettings(again, restarted).isEmpty());
        QCOMPARE(again.SaveRecNo, false);
        QCOMPARE(restarted.table, QStringLiteral("mine.db"));

        QCOMPARE(entries(program), QStringList());
        QCOMPARE(entries(folders.dataFolder), QStringList());
        QCOMPARE(entries(folders.settingsFolder), QStringList{QStringLiteral("mox.ini")});
    }

    // A portable copy keeps everything beside the program, as it always did.
    void portableCopyKeepsItsSettingsBesideIt()
    {
        const QString program = makeProgramFolder(QStringLiteral("stick"), false);
        const ProgramFolders folders = ProgramFolders::choose(program, path(QStringLiteral("config/Moxarium")),
                                                              path(QStringLiteral("data/Moxarium")));
        QVERIFY(folders.besideProgram);
        QCOMPARE(folders.create(), QString());

        const SettingsFile file(folders.dataFolder, folders.settingsFolder);
        ProgramSettings settings;
        FakeHost host(folders.dataFolder);
        QVERIFY(file.LoadSettings(settings, host).isEmpty());
        QCOMPARE(file.fileName(), program + QStringLiteral("mox.ini"));
        QCOMPARE(host.database, program);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("config"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("data"))));
    }
};

QTEST_APPLESS_MAIN(TstProgramFolders)
#include "tst_program_folders.moc"
