#include "settings/SettingsFile.h"

#include "settings/ProfileFile.h"
#include "settings/ProfileValues.h"
#include "settings/ProgramSettings.h"
#include "settings/Recent.h"
#include "settings/SettingsError.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsKeys.h"
#include "settings/SortedTextList.h"

#include <QDir>
#include <QFileInfo>
#include <iterator>

using namespace Qt::Literals::StringLiterals;
namespace Keys = SettingsKeys;

namespace {

constexpr PathTask AllPathTasks[] = {PathTask::OpenArchive, PathTask::OpenDatabase, PathTask::SaveDatabase,
                                     PathTask::OpenBitmap, PathTask::SaveBitmap};
static_assert(std::size(Keys::Columns) == SettingsFile::GridColumnCount);

template <typename Profile>
void fillWithDefaults(Profile &profile, const QString &programFolder)
{
    for (const Keys::DefaultEntry &entry : Keys::defaultFile(programFolder))
        profile.writeString(entry.section, entry.key, entry.value);
}

// A declared default is always an integer; a key's value that is not one takes it.
int readInteger(const ProfileDocument &document, const Keys::Key &key)
{
    return readProfileInteger(document, key.section, key.name, parseProfileInteger(key.defaultText).value_or(0));
}

bool readBoolean(const ProfileDocument &document, const Keys::Key &key)
{
    return readInteger(document, key) != 0;
}

QString readText(const ProfileDocument &document, const Keys::Key &key, const QString &programFolder)
{
    return document.readString(key.section, key.name, key.defaultValue(programFolder));
}

void write(ProfileFile &file, const Keys::Key &key, const QString &value)
{
    file.writeString(key.section, key.name, value);
}

// Reads the keys whose malformed values used to end the start-up: such a
// value is replaced by the key's default and noted.
class CheckedReader
{
public:
    CheckedReader(const ProfileDocument &document, const QString &fileName, QList<SettingsProblem> &problems)
        : m_document(document)
        , m_fileName(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()))
        , m_problems(problems)
    {
    }

    QString position(const Keys::Key &key, int fieldCount)
    {
        const QString text = readText(m_document, key, {});
        QString bad;
        if (parseIntegerFields(text, fieldCount, bad))
            return text;
        note(key, text, invalidIntegerMessage(bad));
        return key.defaultText.toString();
    }

    QPair<int, int> column(int n)
    {
        const Keys::Key &key = Keys::Columns[n];
        const QString text = readText(m_document, key, {});
        QString bad;
        const auto fields = parseIntegerFields(text, 2, bad);
        if (!fields) {
            note(key, text, invalidIntegerMessage(bad));
        } else if (fields->at(0) < 0 || fields->at(0) >= SettingsFile::FieldCount) {
            note(key, text, QStringLiteral("List index out of bounds (%1)").arg(fields->at(0)));
        } else {
            return {fields->at(0), fields->at(1)};
        }
        const auto defaults = parseIntegerFields(key.defaultText, 2, bad).value_or(QList<int>{n, 0});
        return {defaults.at(0), defaults.at(1)};
    }

    void note(const Keys::Key &key, const QString &value, const QString &reason)
    {
        m_problems.append({m_fileName, key.section.toString(), key.name.toString(), value, reason});
    }

    // A problem with the file as a whole.
    void note(const QString &reason) { m_problems.append({m_fileName, {}, {}, {}, reason}); }

private:
    const ProfileDocument &m_document;
    QString m_fileName;
    QList<SettingsProblem> &m_problems;
};

} // namespace

QString describeSettingsProblems(const QList<SettingsProblem> &problems)
{
    QStringList lines;
    lines.append(u"Some settings could not be used and took their default values:"_s);
    for (const SettingsProblem &problem : problems) {
        // A problem with the file as a whole names the file itself.
        if (problem.key.isEmpty())
            lines.append(problem.reason);
        else
            lines.append(QStringLiteral("%1, section [%2], key %3 holds \"%4\": %5")
                             .arg(problem.fileName, problem.section, problem.key, problem.value, problem.reason));
    }
    return lines.join(u'\n');
}

namespace {
QString withSeparator(QString folder)
{
    if (!folder.endsWith(u'/') && !folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}
} // namespace

SettingsFile::SettingsFile(const QString &programFolder, const QString &settingsFolder)
    : m_programFolder(withSeparator(programFolder))
    , m_settingsFolder(settingsFolder.isEmpty() ? m_programFolder : withSeparator(settingsFolder))
{
}

QString SettingsFile::fileName() const
{
    return m_settingsFolder + QLatin1StringView(FileName);
}

QByteArray SettingsFile::defaultFileContents() const
{
    ProfileDocument document;
    fillWithDefaults(document, m_programFolder);
    return document.toBytes();
}

QList<SettingsProblem> SettingsFile::LoadSettings(ProgramSettings &settings, SettingsHost &host) const
{
    if (!QFileInfo::exists(fileName())) {
        ProfileFile created(fileName());
        created.setAutoSave(false);
        fillWithDefaults(created, m_programFolder);
        created.save();
    }

    const ProfileFile file(fileName());
    QList<SettingsProblem> problems;
    // A file that cannot be read counts as empty. One that is not a regular
    // file is not even opened: the program runs as on a first start.
    ProfileDocument defaults;
    const bool refused = !file.nonRegularKind().isEmpty();
    if (refused)
        fillWithDefaults(defaults, m_programFolder);
    const ProfileDocument &document = refused ? defaults : file.document();
    CheckedReader checked(document, fileName(), problems);
    if (refused)
        checked.note(file.readError() + u"; the program starts with its default settings and will not "
                                        u"write to it."_s);
    else if (!file.readError().isEmpty())
        checked.note(file.readError());

    settings.KeepPaths = readBoolean(document, Keys::KeepPaths);
    settings.InitPaths = readBoolean(document, Keys::InitPaths);
    settings.SaveInterface = readBoolean(document, Keys::SaveInterface);
    settings.SaveRecNo = readBoolean(document, Keys::SaveRecNo);
    settings.SaveToCache = readBoolean(document, Keys::SaveToCache);

    settings.WindowPosition = checked.position(Keys::WindowPosition, 4);
    settings.WindowState = readInteger(document, Keys::WindowState);
    settings.FindPosition = checked.position(Keys::FindPosition, 2);

    if (settings.SaveInterface) {
        settings.Grid = readBoolean(document, Keys::GridView);
        for (int n = 0; n < GridColumnCount; ++n) {
            const auto [field, width] = checked.column(n);
            host.setGridColumn(n, field, width);
        }
        host.setIndexName(readText(document, Keys::IndexName, m_programFolder));
    } else {
        settings.Grid = false;
    }

    host.setDatabaseName(readText(document, Keys::DatabaseName, m_programFolder));
    host.setTableName(readText(document, Keys::TableName, m_programFolder));
    settings.RecNo = settings.SaveRecNo ? readInteger(document, Keys::RecNo) : 1;

    const auto fill = [&](SortedTextList &list, const Keys::List &keys) {
        list.clear();
        for (const QString &item : readNumberedList(document, keys.section))
            list.add(item);
    };
    fill(host.typeList(), Keys::TypeDefs);
    fill(host.statusList(), Keys::StatusDefs);
    fill(host.phraseList(), Keys::Phrases);

    for (PathTask task : AllPathTasks) {
        settings.CurrentPaths[task] = settings.KeepPaths || settings.InitPaths
                                          ? readText(document, Keys::taskFolder(task), m_programFolder)
                                          : m_programFolder;
    }
    settings.SpecifiedPaths = settings.CurrentPaths;

    // From the last key to the first, so that the first key ends on top.
    TRecentlist &recent = host.recentList();
    recent.clear();
    const QStringList history = readNumberedList(document, Keys::History.section);
    for (auto it = history.crbegin(); it != history.crend(); ++it)
        recent.AddFile(*it);

    return problems;
}

QString SettingsFile::SaveSettings(const ProgramSettings &settings, SettingsHost &host) const
{
    ProfileFile file(fileName());
    // The user was told at start that this file is left alone.
    if (!file.nonRegularKind().isEmpty())
        return file.readError() + u"; the settings of this session were not saved."_s;
    // Writing over a file that could not be read would lose the keys that are
    // not written here.
    if (!file.readError().isEmpty())
        throw SettingsError(file.readError());
    file.setAutoSave(false);

    write(file, Keys::KeepPaths, profileBoolean(settings.KeepPaths));
    write(file, Keys::InitPaths, profileBoolean(settings.InitPaths));
    write(file, Keys::SaveInterface, profileBoolean(settings.SaveInterface));
    write(file, Keys::SaveRecNo, profileBoolean(settings.SaveRecNo));
    write(file, Keys::SaveToCache, profileBoolean(settings.SaveToCache));

    write(file, Keys::DatabaseName, host.databaseName());
    write(file, Keys::TableName, host.tableName());

    if (settings.SaveInterface) {
        write(file, Keys::WindowPosition, settings.WindowPosition);
        write(file, Keys::WindowState, QString::number(settings.WindowState));
        write(file, Keys::FindPosition, settings.FindPosition);
        write(file, Keys::GridView, profileBoolean(settings.Grid));
        write(file, Keys::IndexName, host.indexName());
        for (int n = 0; n < GridColumnCount; ++n) {
            write(file, Keys::Columns[n],
                  QStringLiteral("%1,%2").arg(host.gridColumnField(n)).arg(host.gridColumnWidth(n)));
        }
    }

    // With no catalogue open there is no record number; everything else is
    // still written.
    if (settings.SaveRecNo && host.isTableOpen())
        write(file, Keys::RecNo, QString::number(host.recNo()));

    // Each list replaces its section where the section stands.
    const auto replaceList = [&](const Keys::List &keys, const QStringList &items) {
        replaceNumberedList(file, keys.section, keys.prefix, items);
    };
    replaceList(Keys::Phrases, host.phraseList().items());
    replaceList(Keys::TypeDefs, host.typeList().items());
    replaceList(Keys::StatusDefs, host.statusList().items());

    if (settings.InitPaths || settings.KeepPaths) {
        const PathTable &paths = settings.InitPaths ? settings.SpecifiedPaths : settings.CurrentPaths;
        for (PathTask task : AllPathTasks)
            write(file, Keys::taskFolder(task), paths[task]);
    }

    // Not erased first: keys past the list's length keep their values.
    writeNumberedList(file, Keys::History.section, Keys::History.prefix, host.recentList().entries());

    return file.save();
}
