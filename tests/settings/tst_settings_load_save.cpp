// LoadSettings and SaveSettings against a settings file in a temporary folder,
// with a fake main window standing in for the table, the grid and the lists.

#include "settings/ProfileFile.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsError.h"
#include "settings/SettingsFile.h"
#include "tests/settings/SettingsFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

using namespace fixture;

namespace {

// The text as a file from elsewhere holds it.
QByteArray encoded(const QString &encoding, const QString &text)
{
    if (encoding == "Windows-1252")
        return text.toLatin1();
    if (encoding == "UTF-8")
        return text.toUtf8();
    QByteArray bytes = encoding == "UTF-16LE" ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (QChar c : text) {
        const char pair[2] = {char(c.unicode() >> 8), char(c.unicode() & 0xFF)};
        bytes += encoding == "UTF-16LE" ? QByteArray(&pair[1], 1) + QByteArray(&pair[0], 1) : QByteArray(pair, 2);
    }
    return bytes;
}

QStringList sectionOrder(const QByteArray &bytes)
{
    QStringList sections;
    const auto matches = QRegularExpression(QStringLiteral("^\\[(.*)\\]$"), QRegularExpression::MultilineOption)
                             .globalMatch(QString::fromUtf8(bytes));
    for (auto it = matches; it.hasNext();)
        sections << it.next().captured(1);
    return sections;
}

// Runs `work` and says whether it ended within a few seconds. A reader stuck
// on a named pipe is set free by opening the pipe's other end, so that a
// failing test ends instead of hanging.
template <typename Work>
bool endsSoon(Work work, const QString &pipe)
{
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        done.get();
        return true;
    }
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
    done.wait();
    return false;
}

} // namespace

class TstSettingsLoadSave : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_folder;

    QString iniPath() const { return m_folder + QStringLiteral("mox.ini"); }
    SettingsFile settingsFile() const { return SettingsFile(m_folder); }
    void writeIni(const QByteArray &text) { QVERIFY(writeBytes(iniPath(), text)); }
    QString iniValue(const QString &section, const QString &key) const
    {
        return ProfileFile(iniPath()).readString(section, key, QStringLiteral("<missing>"));
    }
    QList<SettingsProblem> load(ProgramSettings &settings, FakeHost &host)
    {
        return settingsFile().LoadSettings(settings, host);
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path() + u'/';
        QFile::remove(iniPath());
        QDir().rmdir(iniPath());
    }

    void readsFlagsAndNumbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("keepPaths");
        QTest::addColumn<int>("windowState");
        QTest::addColumn<int>("recNo");
        QTest::newRow("decimal") << QByteArray("[Program]\nKeepPaths=0\n[View]\nWindowState=3\nRecNo=12\n") << false << 3 << 12;
        QTest::newRow("hex") << QByteArray("[Program]\nKeepPaths=0x0\n[View]\nWindowState=$2\nRecNo=0X10\n") << false << 2 << 16;
        QTest::newRow("any non-zero is true") << QByteArray("[Program]\nKeepPaths=-7\n") << true << 1 << 1;
        QTest::newRow("not integers: defaults") << QByteArray("[Program]\nKeepPaths=no\n[View]\nWindowState=max\nRecNo=1e3\n")
                                                << true << 1 << 1;
        QTest::newRow("no SaveRecNo: 1") << QByteArray("[Program]\nSaveRecNo=0\n[View]\nRecNo=12\n") << true << 1 << 1;
    }
    void readsFlagsAndNumbers()
    {
        QFETCH(QByteArray, text);
        writeIni(text);
        ProgramSettings settings;
        FakeHost host(m_folder);
        QVERIFY(load(settings, host).isEmpty());
        QTEST(settings.KeepPaths, "keepPaths");
        QTEST(settings.WindowState, "windowState");
        QTEST(settings.RecNo, "recNo");
    }

    // A value that cannot be used takes its key's default, the rest still
    // loads, and the problem is handed back naming file, key and value.
    void badValuesTakeDefaultsAndAreReported_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("position: three parts") << "View" << "WindowPosition" << "0,0,640" << "'' is not a valid integer value";
        QTest::newRow("position: five parts") << "View" << "WindowPosition" << "1,2,3,4,5" << "'4,5' is not a valid integer value";
        QTest::newRow("position: text") << "View" << "WindowPosition" << "left,0,640,480" << "'left' is not a valid integer value";
        QTest::newRow("find: no comma") << "View" << "FindPosition" << "100" << "'' is not a valid integer value";
        QTest::newRow("find: text") << "View" << "FindPosition" << "0,top" << "'top' is not a valid integer value";
        QTest::newRow("column: no comma") << "Grid" << "Column0" << "3" << "'' is not a valid integer value";
        QTest::newRow("column: width") << "Grid" << "Column0" << "3,wide" << "'wide' is not a valid integer value";
        QTest::newRow("column: empty") << "Grid" << "Column0" << "" << "'' is not a valid integer value";
        QTest::newRow("column: index 14") << "Grid" << "Column0" << "14,40" << "List index out of bounds (14)";
        // Blanks are accepted in front of a number only.
        QTest::newRow("column: blank after index") << "Grid" << "Column0" << "13 ,5" << "'13 ' is not a valid integer value";
        QTest::newRow("column: index -1") << "Grid" << "Column0" << "-1,40" << "List index out of bounds (-1)";
    }
    void badValuesTakeDefaultsAndAreReported()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        const QString header = section == "View" ? QString() : QStringLiteral("[%1]\n").arg(section);
        writeIni(QStringLiteral("[View]\nTableName=mine.db\n%1%2=%3\n[Phrases]\nP=Hello\n[History]\nFile0=/x/a.db\n")
                     .arg(header, key, value)
                     .toUtf8());
        ProgramSettings settings;
        FakeHost host(m_folder);
        const auto problems = load(settings, host);

        QCOMPARE(problems, QList<SettingsProblem>({{QDir::toNativeSeparators(iniPath()), section, key, value, reason}}));
        QVERIFY(describeSettingsProblems(problems).contains(QStringLiteral("key %1 holds \"%2\"").arg(key, value)));
        QCOMPARE(settings.WindowPosition, QStringLiteral("0,0,640,480"));
        QCOMPARE(settings.FindPosition, QStringLiteral("0,0"));
        QCOMPARE(host.columns[0], qMakePair(0, 40));
        QCOMPARE(host.table, QStringLiteral("mine.db"));
        QCOMPARE(host.phrases.items(), QStringList({"Hello"}));
        QCOMPARE(host.recent.entries(), QStringList({"/x/a.db"}));
    }

    void columnEntryChoosesFieldAndWidth()
    {
        writeIni("[Grid]\nColumn0=3,120\nColumn2= $A, 0x20\n");
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        QCOMPARE(host.columns[0], qMakePair(3, 120));
        QCOMPARE(host.columns[2], qMakePair(10, 32));
        QCOMPARE(host.columns[3], qMakePair(3, 40));
    }

    void saveInterfaceOffKeepsInterfaceKeys()
    {
        const QByteArray before = "[Program]\nSaveInterface=0\n[View]\nWindowPosition=5,6,700,500\nWindowState=3\n"
                                  "FindPosition=9,9\nGrid=1\nIndexName=idx_Archive_Up\n[Grid]\nColumn0=3,120\n";
        writeIni(before);
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        QCOMPARE(settings.WindowPosition, QStringLiteral("5,6,700,500"));
        QCOMPARE(settings.WindowState, 3);
        QCOMPARE(settings.FindPosition, QStringLiteral("9,9"));
        QVERIFY(!settings.Grid);
        QCOMPARE(host.columnWrites, 0);
        QCOMPARE(host.index, QStringLiteral("built-in-index"));

        settings.WindowPosition = QStringLiteral("1,1,1,1");
        settings.Grid = true;
        settingsFile().SaveSettings(settings, host);
        QCOMPARE(iniValue("View", "WindowPosition"), QStringLiteral("5,6,700,500"));
        QCOMPARE(iniValue("View", "WindowState"), QStringLiteral("3"));
        QCOMPARE(iniValue("View", "Grid"), QStringLiteral("1"));
        QCOMPARE(iniValue("View", "IndexName"), QStringLiteral("idx_Archive_Up"));
        QCOMPARE(iniValue("Grid", "Column0"), QStringLiteral("3,120"));
        QCOMPARE(iniValue("View", "TableName"), QStringLiteral("contents.db"));
    }

    void pathFlagsChooseWhatIsReadAndWritten_data()
    {
        QTest::addColumn<bool>("keepPaths");
        QTest::addColumn<bool>("initPaths");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("written");
        QTest::newRow("both off") << false << false << "<folder>" << "/stored/";
        QTest::newRow("keep") << true << false << "/stored/" << "/current/";
        QTest::newRow("init") << false << true << "/stored/" << "/specified/";
        QTest::newRow("both") << true << true << "/stored/" << "/specified/";
    }
    void pathFlagsChooseWhatIsReadAndWritten()
    {
        QFETCH(bool, keepPaths);
        QFETCH(bool, initPaths);
        QFETCH(QString, loaded);
        QFETCH(QString, written);
        loaded.replace(QStringLiteral("<folder>"), m_folder);
        writeIni(QStringLiteral("[Program]\nKeepPaths=%1\nInitPaths=%2\n[Paths]\nArchives=/stored/\nOpen=/stored/\n"
                                "SaveAs=/stored/\nOpenBmp=/stored/\nSaveBmp=/stored/\n")
                     .arg(int(keepPaths))
                     .arg(int(initPaths))
                     .toUtf8());
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        QCOMPARE(settings.CurrentPaths[PathTask::SaveBitmap], loaded);
        QCOMPARE(settings.SpecifiedPaths, settings.CurrentPaths);

        settings.CurrentPaths.fill(QStringLiteral("/current/"));
        settings.SpecifiedPaths.fill(QStringLiteral("/specified/"));
        settingsFile().SaveSettings(settings, host);
        for (const char *key : {"Archives", "Open", "SaveAs", "OpenBmp", "SaveBmp"})
            QCOMPARE(iniValue("Paths", key), written);
    }

    void emptyListsRemoveTheirSections()
    {
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        host.phrases.clear();
        host.types.clear();
        settingsFile().SaveSettings(settings, host);
        const QStringList sections = sectionOrder(readBytes(iniPath()));
        QVERIFY(!sections.contains("Phrases"));
        QVERIFY(!sections.contains("TypeDefs"));
        QVERIFY(sections.contains("StatusDefs"));

        FakeHost next(m_folder);
        load(settings, next);
        QVERIFY(next.phrases.isEmpty());
    }

    // A settings file carried over from Windows keeps its encoding, its line
    // endings and the lines the program does not write.
    void filesFromElsewhereKeepTheirText_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("holdsEverything");
        QTest::newRow("Windows-1252") << "Windows-1252" << false;
        QTest::newRow("UTF-16 little-endian") << "UTF-16LE" << true;
        QTest::newRow("UTF-16 big-endian") << "UTF-16BE" << true;
        QTest::newRow("UTF-8") << "UTF-8" << true;
    }
    void filesFromElsewhereKeepTheirText()
    {
        QFETCH(QString, encoding);
        QFETCH(bool, holdsEverything);
        const QString note = QStringLiteral("; Notiz f\u00FCr mich\r\n");
        const QString text = note + QStringLiteral("[View]\r\nTableName=Caf\u00E9.db\r\n[Phrases]\r\n"
                                                   "Phrase0=Caf\u00E9 cr\u00E8me\r\n");
        writeIni(encoded(encoding, text));
        ProgramSettings settings;
        FakeHost host(m_folder);
        QVERIFY(load(settings, host).isEmpty());
        QCOMPARE(host.table, QStringLiteral("Caf\u00E9.db"));
        QCOMPARE(host.phrases.items(), QStringList{QStringLiteral("Caf\u00E9 cr\u00E8me")});

        QCOMPARE(settingsFile().SaveSettings(settings, host), QString());
        QVERIFY(readBytes(iniPath()).startsWith(encoded(encoding, note)));
        FakeHost again(m_folder);
        load(settings, again);
        QCOMPARE(again.table, host.table);
        QCOMPARE(again.phrases.items(), host.phrases.items());

        // A phrase that Windows-1252 has no characters for.
        host.phrases.add(QStringLiteral("\u03A9 ok"));
        const QString notice = settingsFile().SaveSettings(settings, host);
        if (holdsEverything) {
            QCOMPARE(notice, QString());
            QVERIFY(readBytes(iniPath()).startsWith(encoded(encoding, note)));
        } else {
            QCOMPARE(notice, QStringLiteral("%1 was written in UTF-8 because \"\u03A9\" (key Phrase1 in section "
                                            "[Phrases]) cannot be written in Windows-1252, the encoding it was read in.")
                                 .arg(QDir::toNativeSeparators(iniPath())));
            QVERIFY(readBytes(iniPath()).startsWith(note.toUtf8()));
            // Said once: the file is UTF-8 from now on.
            QCOMPARE(settingsFile().SaveSettings(settings, host), QString());
        }
        FakeHost last(m_folder);
        load(settings, last);
        QCOMPARE(last.table, host.table);
        QCOMPARE(last.phrases.items(), host.phrases.items());
    }

    void repeatedSectionKeepsItsEntries()
    {
        writeIni("[Phrases]\nPhrase0=One\n\n[View]\nTableName=x.db\n\n[Phrases]\nPhrase0=Two\nPhrase1=Three\n"
                 "\n[History]\nFile0=/a.db\n\n[history]\nFile1=/b.db\n");
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        QCOMPARE(host.phrases.items(), QStringList({"One", "Three", "Two"}));
        QCOMPARE(host.recent.entries(), QStringList({"/a.db", "/b.db"}));

        settingsFile().SaveSettings(settings, host);
        const QByteArray bytes = readBytes(iniPath());
        QVERIFY(bytes.startsWith("[Phrases]\nPhrase0=One\nPhrase1=Three\nPhrase2=Two\n\n[View]\n"));
        QCOMPARE(sectionOrder(bytes).count("Phrases"), 1);
        QCOMPARE(sectionOrder(bytes).join(u',').toLower().count(QStringLiteral("history")), 1);
        FakeHost again(m_folder);
        load(settings, again);
        QCOMPARE(again.phrases.items(), host.phrases.items());
        QCOMPARE(again.recent.entries(), host.recent.entries());
    }

    void historyRestoresInKeyOrder_data()
    {
        QTest::addColumn<QByteArray>("history");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("A B C") << QByteArray("File0=A\nFile1=B\nFile2=C\n") << QStringList{"A", "B", "C"};
        QTest::newRow("repeat at the earlier place") << QByteArray("File0=A\nFile1=B\nFile2=a\nFile3=C\n")
                                                     << QStringList{"A", "B", "C"};
        QTest::newRow("names not interpreted") << QByteArray("Zed=A\nFile0=\nAlpha=B\n") << QStringList{"A", "B"};
        QTest::newRow("only an empty File0") << QByteArray("File0=\n") << QStringList{};
        QTest::newRow("the first nine") << QByteArray("F0=0\nF1=1\nF2=2\nF3=3\nF4=4\nF5=5\nF6=6\nF7=7\nF8=8\nF9=9\n")
                                        << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8"};
    }
    void historyRestoresInKeyOrder()
    {
        QFETCH(QByteArray, history);
        writeIni("[History]\n" + history);
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        QTEST(host.recent.entries(), "entries");
    }

    void historyIsNotErasedBeforeWriting()
    {
        writeIni("[History]\nFile0=A\nFile1=B\nFile2=C\n");
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        host.recent.clear();
        host.recent.AddFile(QStringLiteral("D"));
        settingsFile().SaveSettings(settings, host);
        QCOMPARE(iniValue("History", "File0"), QStringLiteral("D"));
        QCOMPARE(iniValue("History", "File2"), QStringLiteral("C"));
    }

    void closedCatalogueSkipsOnlyRecNo()
    {
        writeIni("[View]\nRecNo=7\n");
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        host.open = false;
        host.record = 99;
        host.phrases.add(QStringLiteral("Kept"));
        host.recent.AddFile(QStringLiteral("/x/a.db"));
        settingsFile().SaveSettings(settings, host);
        QCOMPARE(iniValue("View", "RecNo"), QStringLiteral("7"));
        QCOMPARE(iniValue("Phrases", "Phrase0"), QStringLiteral("Kept"));
        QCOMPARE(iniValue("History", "File0"), QStringLiteral("/x/a.db"));
        QCOMPARE(iniValue("Paths", "SaveBmp"), m_folder);

        host.open = true;
        settingsFile().SaveSettings(settings, host);
        QCOMPARE(iniValue("View", "RecNo"), QStringLiteral("99"));
    }

    // Thousands of phrases: far more key-name text than any fixed buffer.
    void everyKeyOfALongSectionIsRead()
    {
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        host.phrases.clear();
        for (int i = 0; i < 3000; ++i)
            host.phrases.add(QStringLiteral("Phrase number %1").arg(i, 4, 10, QChar(u'0')));
        settingsFile().SaveSettings(settings, host);

        FakeHost next(m_folder);
        load(settings, next);
        QCOMPARE(next.phrases.count(), 3000);
        QCOMPARE(next.phrases.items(), host.phrases.items());
    }

    void roundTripsEverySetting()
    {
        ProgramSettings saved;
        saved.KeepPaths = saved.InitPaths = saved.SaveInterface = saved.SaveRecNo = saved.SaveToCache = true;
        saved.WindowPosition = QStringLiteral("-8,12,1024,700");
        saved.WindowState = 3;
        saved.FindPosition = QStringLiteral("300,-4");
        saved.Grid = false;
        saved.RecNo = 42;
        const PathTask tasks[] = {PathTask::OpenArchive, PathTask::OpenDatabase, PathTask::SaveDatabase,
                                  PathTask::OpenBitmap, PathTask::SaveBitmap};
        for (PathTask task : tasks) {
            saved.SpecifiedPaths[task] = QStringLiteral("/specified/%1 \u00C4/").arg(int(task));
            saved.CurrentPaths[task] = saved.SpecifiedPaths[task];
        }

        FakeHost host(m_folder);
        host.database = QStringLiteral("/data/mox \u00E9/");
        host.table = QStringLiteral("my catalogue.db");
        host.index = QStringLiteral("idx_Archive_Up");
        host.record = 42;
        for (int n = 0; n < 10; ++n)
            host.columns[n] = {13 - n, 10 + n};
        for (const char *t : {"Unit", "  padded  ", "\"quoted\"", "a=b"})
            host.types.add(QString::fromUtf8(t));
        host.types.add(QStringLiteral("Unit"));
        host.statuses.add(QStringLiteral("\u00C4rger"));
        for (const char *p : {"Usage", "; semicolon", "[bracket]"})
            host.phrases.add(QString::fromUtf8(p));
        for (const char *f : {"/c.db", "/b.db", "/a&b.db"})
            host.recent.AddFile(QString::fromUtf8(f));

        writeIni("; my notes\n[Program]\nKeepPaths=0\n");
        settingsFile().SaveSettings(saved, host);
        QVERIFY(readBytes(iniPath()).startsWith("; my notes\n[Program]\nKeepPaths=1\n"));

        ProgramSettings loaded;
        FakeHost back(m_folder);
        QVERIFY(settingsFile().LoadSettings(loaded, back).isEmpty());
        QCOMPARE(loaded, saved);
        QCOMPARE(back.database, host.database);
        QCOMPARE(back.table, host.table);
        QCOMPARE(back.index, host.index);
        QCOMPARE(back.columns, host.columns);
        QCOMPARE(back.types.items(), host.types.items());
        QCOMPARE(back.statuses.items(), host.statuses.items());
        QCOMPARE(back.phrases.items(), host.phrases.items());
        QCOMPARE(back.recent.entries(), host.recent.entries());
    }

    // Sections that exist are rewritten where they stand, lists included;
    // missing ones are added at the end in the order of the steps.
    void saveOrdersSectionsByItsSteps()
    {
        ProgramSettings settings;
        FakeHost host(m_folder);
        load(settings, host);
        host.recent.AddFile(QStringLiteral("/x/a.db"));
        settingsFile().SaveSettings(settings, host);
        QCOMPARE(sectionOrder(readBytes(iniPath())),
                 QStringList({"Program", "View", "Grid", "Paths", "Phrases", "StatusDefs", "TypeDefs", "History"}));

        QFile::remove(iniPath());
        settingsFile().SaveSettings(settings, host);
        QCOMPARE(sectionOrder(readBytes(iniPath())),
                 QStringList({"Program", "View", "Grid", "Phrases", "TypeDefs", "StatusDefs", "Paths", "History"}));
    }

    void unwritableFolderRaisesTheWriteError()
    {
        QVERIFY(writeBytes(m_folder + "plainfile", "x"));
        const SettingsFile file(m_folder + "plainfile");
        ProgramSettings settings;
        FakeHost host(m_folder);
        const QString message =
            QStringLiteral("Unable to write to %1: %2")
                .arg(QDir::toNativeSeparators(file.fileName()), QString::fromLocal8Bit(strerror(ENOTDIR)));
        try {
            file.LoadSettings(settings, host);
            QFAIL("LoadSettings should have failed");
        } catch (const SettingsError &error) {
            QCOMPARE(error.message(), message);
        }
        try {
            file.SaveSettings(settings, host);
            QFAIL("SaveSettings should have failed");
        } catch (const SettingsError &error) {
            QCOMPARE(error.message(), message);
        }
    }

    // Something other than a file named mox.ini is never opened, read or
    // replaced: the program starts with its defaults and says why.
    void refusesWhatIsNotARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "a named pipe";
        QTest::newRow("folder") << "a folder";
        QTest::newRow("device behind a link") << "a character device";
    }
    void refusesWhatIsNotARegularFile()
    {
        QFETCH(QString, kind);
        if (kind == "a named pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
        else if (kind == "a folder")
            QVERIFY(QDir(m_folder).mkdir("mox.ini"));
        else
            QVERIFY(QFile::link("/dev/null", iniPath()));
        const QStringList entries = QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);

        ProgramSettings settings;
        FakeHost host(m_folder);
        QList<SettingsProblem> problems;
        QVERIFY(endsSoon([&] { problems = load(settings, host); }, iniPath()));
        const QString path = QDir::toNativeSeparators(iniPath());
        const QString reason = QStringLiteral("%1 is not a regular file (it is %2); the program starts with its "
                                              "default settings and will not write to it.")
                                   .arg(path, kind);
        QCOMPARE(problems, QList<SettingsProblem>({{path, {}, {}, {}, reason}}));
        QVERIFY(describeSettingsProblems(problems).endsWith(u'\n' + reason));
        // The defaults of a first start, lists included.
        QCOMPARE(settings.WindowPosition, QStringLiteral("0,0,640,480"));
        QCOMPARE(host.table, QStringLiteral("contents.db"));
        QCOMPARE(host.types.count(), 9);
        QCOMPARE(host.phrases.count(), 4);

        QString notice;
        QVERIFY(endsSoon([&] { notice = settingsFile().SaveSettings(settings, host); }, iniPath()));
        QCOMPARE(notice, QStringLiteral("%1 is not a regular file (it is %2); the settings of this session were "
                                        "not saved.")
                             .arg(path, kind));
        QCOMPARE(QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), entries);
        QVERIFY(!QFileInfo(iniPath()).isFile() || QFileInfo(iniPath()).isSymLink());
    }

    void linkToAFileIsReadAndWrittenThrough()
    {
        QVERIFY(writeBytes(m_folder + "real.ini", "[View]\nTableName=mine.db\n"));
        QVERIFY(QFile::link(m_folder + "real.ini", iniPath()));
        ProgramSettings settings;
        FakeHost host(m_folder);
        QVERIFY(load(settings, host).isEmpty());
        QCOMPARE(host.table, QStringLiteral("mine.db"));
        host.table = QStringLiteral("other.db");
        QVERIFY(settingsFile().SaveSettings(settings, host).isEmpty());
        QVERIFY(QFileInfo(iniPath()).isSymLink());
        QCOMPARE(ProfileFile(m_folder + "real.ini").readString(u"View", u"TableName"), QStringLiteral("other.db"));
    }

    void programFolderGetsItsSeparator()
    {
        QCOMPARE(SettingsFile(m_dir.path()).fileName(), iniPath());
        QCOMPARE(SettingsFile(m_folder).programFolder(), m_folder);
    }
};

QTEST_APPLESS_MAIN(TstSettingsLoadSave)
#include "tst_settings_load_save.moc"
