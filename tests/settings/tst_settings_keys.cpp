// The keys declared once: what the default file holds, what LoadSettings takes
// for a missing key and what SaveSettings writes agree key by key.

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
