// The keys declared once: the default file a first start writes, what
// LoadSettings takes for a missing key and what SaveSettings writes agree key
// by key.

#include "settings/ProfileFile.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "tests/settings/SettingsFixture.h"

#include <QTemporaryDir>
#include <QTest>

using namespace fixture;
namespace Keys = SettingsKeys;

namespace {

// The default file, byte for byte: "[Section]" lines, "Key=Value" lines,
// one blank line between sections, LF line endings, UTF-8, a final LF.
QByteArray expectedDefaultFile(const QString &folder)
{
    return QStringLiteral("[Program]\nKeepPaths=1\nInitPaths=1\nSaveInterface=1\nSaveRecNo=1\nSaveToCache=0\n"
                          "\n[View]\nWindowPosition=0,0,640,480\nWindowState=1\nFindPosition=0,0\nGrid=1\n"
                          "DatabaseName=%1\nTableName=contents.db\nRecNo=1\nIndexName=\n"
                          "\n[Grid]\nColumn0=0, 40\nColumn1=1, 40\nColumn2=2, 40\nColumn3=3, 40\nColumn4=4, 40\n"
                          "Column5=5, 40\nColumn6=6, 40\nColumn7=7, 40\nColumn8=8, 40\nColumn9=9, 40\n"
                          "\n[Paths]\nArchives=%1\nOpen=%1\nSaveAs=%1\nOpenBmp=%1\nSaveBmp=%1\n"
                          "\n[Phrases]\nPhrase0=Installation\nPhrase1=Usage\nPhrase2=Documentation\nPhrase3=Adjustments\n"
                          "\n[StatusDefs]\nStatus0=Discarded\nStatus1=In use\nStatus2=Testing\nStatus3=Unseen\n"
                          "\n[TypeDefs]\nType0=Application\nType1=Component\nType2=Component collection\n"
                          "Type3=Document\nType4=Expert\nType5=Expert collection\nType6=Magazine\n"
                          "Type7=Property editor\nType8=Unit\n"
                          "\n[History]\nFile0=\n")
        .arg(folder)
        .toUtf8();
}

bool isListSection(QStringView section)
{
    for (const Keys::List *list : {&Keys::Phrases, &Keys::StatusDefs, &Keys::TypeDefs, &Keys::History}) {
        if (list->section == section)
            return true;
    }
    return false;
}

// What LoadSettings hands on, apart from the lists.
struct Loaded
{
    ProgramSettings settings;
    QString database, table, index;
    std::array<QPair<int, int>, 10> columns;

    bool operator==(const Loaded &) const = default;
};

} // namespace

class TstSettingsKeys : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_folder;

    QString iniPath() const { return m_folder + QStringLiteral("mox.ini"); }

    // False when a value was reported as unusable.
    bool load(Loaded &out)
    {
        FakeHost host(m_folder);
        const auto problems = SettingsFile(m_folder).LoadSettings(out.settings, host);
        out.database = host.database;
        out.table = host.table;
        out.index = host.index;
        out.columns = host.columns;
        return problems.isEmpty();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path() + u'/';
        QFile::remove(iniPath());
    }

    void firstStartWritesTheDefaultFile()
    {
        ProgramSettings settings;
        FakeHost host(m_folder);
        QVERIFY(SettingsFile(m_folder).LoadSettings(settings, host).isEmpty());

        QCOMPARE(readBytes(iniPath()), expectedDefaultFile(m_folder));
        QCOMPARE(SettingsFile(m_folder).defaultFileContents(), expectedDefaultFile(m_folder));

        ProgramSettings expected;
        expected.KeepPaths = expected.InitPaths = expected.SaveInterface = expected.SaveRecNo = true;
        expected.WindowPosition = QStringLiteral("0,0,640,480");
        expected.WindowState = 1;
        expected.FindPosition = QStringLiteral("0,0");
        expected.Grid = true;
        expected.RecNo = 1;
        expected.CurrentPaths.fill(m_folder);
        expected.SpecifiedPaths.fill(m_folder);
        QCOMPARE(settings, expected);

        QCOMPARE(host.database, m_folder);
        QCOMPARE(host.table, QStringLiteral("contents.db"));
        QCOMPARE(host.index, QString());
        for (int n = 0; n < 10; ++n)
            QCOMPARE(host.columns[n], qMakePair(n, 40));
        QCOMPARE(host.types.items(), QStringList({"Application", "Component", "Component collection", "Document",
                                                  "Expert", "Expert collection", "Magazine", "Property editor", "Unit"}));
        QCOMPARE(host.statuses.items(), QStringList({"Discarded", "In use", "Testing", "Unseen"}));
        QCOMPARE(host.phrases.items(), QStringList({"Adjustments", "Documentation", "Installation", "Usage"}));
        QVERIFY(host.recent.entries().isEmpty());
    }

    void emptyFileIsNotFilled()
    {
        QVERIFY(writeBytes(iniPath(), {}));
        ProgramSettings settings;
        FakeHost host(m_folder);
        SettingsFile(m_folder).LoadSettings(settings, host);
        QCOMPARE(readBytes(iniPath()), QByteArray());
        QVERIFY(settings.KeepPaths && settings.SaveInterface && settings.Grid);
        QCOMPARE(settings.WindowPosition, QStringLiteral("0,0,640,480"));
        QCOMPARE(host.table, QStringLiteral("contents.db"));
        QCOMPARE(host.columns[9], qMakePair(9, 40));
        QVERIFY(host.types.isEmpty() && host.statuses.isEmpty() && host.phrases.isEmpty());
    }

    void missingKeyTakesItsDefaultFileValue_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        for (const Keys::DefaultEntry &entry : Keys::defaultFile(QStringLiteral("/folder/"))) {
            if (!isListSection(entry.section))
                QTest::addRow("%s %s", qPrintable(entry.section.toString()), qPrintable(entry.key))
                    << entry.section.toString() << entry.key;
        }
    }

    // A file that lacks one key loads as the default file does: the value a key
    // has in the default file is the one it takes when missing.
    void missingKeyTakesItsDefaultFileValue()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        const QByteArray defaults = SettingsFile(m_folder).defaultFileContents();
        QVERIFY(writeBytes(iniPath(), defaults));
        Loaded complete;
        QVERIFY(load(complete));

        QList<QByteArray> lines = defaults.split('\n');
        QString current;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString line = QString::fromUtf8(lines[i]);
            if (line.startsWith(u'['))
                current = line.mid(1, line.size() - 2);
            else if (current == section && line.startsWith(key + u'=')) {
                lines.removeAt(i);
                break;
            }
        }
        const QByteArray lacking = lines.join('\n');
        QCOMPARE(lacking.size() < defaults.size(), true);
        QVERIFY(writeBytes(iniPath(), lacking));
        Loaded partial;
        QVERIFY(load(partial));
        QVERIFY(partial == complete);
    }

    // Settings loaded from the default file are saved under exactly the declared
    // keys, section by section.
    void savedKeysAreTheDeclaredOnes()
    {
        ProgramSettings settings;
        FakeHost host(m_folder);
        const SettingsFile file(m_folder);
        QVERIFY(file.LoadSettings(settings, host).isEmpty());
        host.recent.AddFile(m_folder + QStringLiteral("one.db"));
        QVERIFY(file.SaveSettings(settings, host).isEmpty());

        QMap<QString, QStringList> declared;
        for (const Keys::DefaultEntry &entry : Keys::defaultFile(m_folder))
            declared[entry.section.toString()] << entry.key;
        const ProfileFile saved(iniPath());
        for (auto it = declared.cbegin(); it != declared.cend(); ++it)
            QCOMPARE(saved.keyNames(it.key()), it.value());
    }
};

QTEST_GUILESS_MAIN(TstSettingsKeys)
#include "tst_settings_keys.moc"
