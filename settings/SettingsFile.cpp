#include "settings/SettingsFile.h"

#include "settings/ProfileFile.h"
#include "settings/ProfileValues.h"
#include "settings/ProgramSettings.h"
#include "settings/Recent.h"
#include "settings/SettingsError.h"
#include "settings/SettingsHost.h"
#include "settings/SortedTextList.h"
#include "settings/WindowPlacement.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Program = u"Program"_s;
const QString View = u"View"_s;
const QString Grid = u"Grid"_s;
const QString Paths = u"Paths"_s;
const QString Phrases = u"Phrases"_s;
const QString StatusDefs = u"StatusDefs"_s;
const QString TypeDefs = u"TypeDefs"_s;
const QString History = u"History"_s;

const QString DefaultTableName = u"contents.db"_s;
constexpr int DefaultColumnWidth = 40;

constexpr PathTask AllPathTasks[] = {PathTask::OpenArchive, PathTask::OpenDatabase, PathTask::SaveDatabase,
                                     PathTask::OpenBitmap, PathTask::SaveBitmap};

QString columnKey(int column)
{
    return u"Column"_s + QString::number(column);
}

// The defaults carry a blank after the comma; the program itself writes none.
QString defaultColumn(int column)
{
    return QStringLiteral("%1, %2").arg(column).arg(DefaultColumnWidth);
}

struct DefaultKey
{
    QString section;
    QString key;
    QString value;
};

QList<DefaultKey> defaultKeys(const QString &programFolder)
{
    QList<DefaultKey> keys = {
        {Program, u"KeepPaths"_s, u"1"_s},
        {Program, u"InitPaths"_s, u"1"_s},
        {Program, u"SaveInterface"_s, u"1"_s},
        {Program, u"SaveRecNo"_s, u"1"_s},
        {Program, u"SaveToCache"_s, u"0"_s},
        {View, u"WindowPosition"_s, QString::fromLatin1(DefaultWindowPosition)},
        {View, u"WindowState"_s, u"1"_s},
        {View, u"FindPosition"_s, QString::fromLatin1(DefaultFindPosition)},
        {View, u"Grid"_s, u"1"_s},
        {View, u"DatabaseName"_s, programFolder},
        {View, u"TableName"_s, DefaultTableName},
        {View, u"RecNo"_s, u"1"_s},
        {View, u"IndexName"_s, QString()},
    };
    for (int n = 0; n < SettingsFile::GridColumnCount; ++n)
        keys.append({Grid, columnKey(n), defaultColumn(n)});
    for (PathTask task : AllPathTasks)
        keys.append({Paths, pathTaskKey(task), programFolder});
    const auto addList = [&](const QString &section, const QString &prefix, const QStringList &items) {
        for (qsizetype n = 0; n < items.size(); ++n)
            keys.append({section, prefix + QString::number(n), items[n]});
    };
    addList(Phrases, u"Phrase"_s, {u"Installation"_s, u"Usage"_s, u"Documentation"_s, u"Adjustments"_s});
    addList(StatusDefs, u"Status"_s, {u"Discarded"_s, u"In use"_s, u"Testing"_s, u"Unseen"_s});
    addList(TypeDefs, u"Type"_s,
            {u"Application"_s, u"Component"_s, u"Component collection"_s, u"Document"_s, u"Expert"_s,
             u"Expert collection"_s, u"Magazine"_s, u"Property editor"_s, u"Unit"_s});
    addList(History, u"File"_s, {QString()});
    return keys;
}

template <typename Profile>
void fillWithDefaults(Profile &profile, const QString &programFolder)
{
    for (const DefaultKey &key : defaultKeys(programFolder))
        profile.writeString(key.section, key.key, key.value);
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

    QString position(const QString &key, const QString &defaultValue, int fieldCount)
    {
        const QString text = m_document.readString(View, key, defaultValue);
        QString bad;
        if (parseIntegerFields(text, fieldCount, bad))
            return text;
        note(View, key, text, invalidIntegerMessage(bad));
        return defaultValue;
    }

    QPair<int, int> column(int n)
    {
        const QString key = columnKey(n);
        const QString text = m_document.readString(Grid, key, defaultColumn(n));
        QString bad;
        const auto fields = parseIntegerFields(text, 2, bad);
        if (!fields) {
            note(Grid, key, text, invalidIntegerMessage(bad));
        } else if (fields->at(0) < 0 || fields->at(0) >= SettingsFile::FieldCount) {
            note(Grid, key, text, QStringLiteral("List index out of bounds (%1)").arg(fields->at(0)));
        } else {
            return {fields->at(0), fields->at(1)};
        }
        return {n, DefaultColumnWidth};
    }

    void note(const QString &section, const QString &key, const QString &value, const QString &reason)
    {
        m_problems.append({m_fileName, section, key, value, reason});
    }

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

SettingsFile::SettingsFile(const QString &programFolder)
    : m_programFolder(programFolder)
{
    if (!m_programFolder.endsWith(u'/') && !m_programFolder.endsWith(QDir::separator()))
        m_programFolder += QDir::separator();
}

QString SettingsFile::fileName() const
{
    return m_programFolder + QLatin1StringView(FileName);
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
        checked.note({}, {}, {}, file.readError() + u"; the program starts with its default settings and will not "
                                                    u"write to it."_s);
    else if (!file.readError().isEmpty())
        checked.note({}, {}, {}, file.readError());

    settings.KeepPaths = readProfileBoolean(document, Program, u"KeepPaths", true);
    settings.InitPaths = readProfileBoolean(document, Program, u"InitPaths", true);
    settings.SaveInterface = readProfileBoolean(document, Program, u"SaveInterface", true);
    settings.SaveRecNo = readProfileBoolean(document, Program, u"SaveRecNo", true);
    settings.SaveToCache = readProfileBoolean(document, Program, u"SaveToCache", false);

    settings.WindowPosition = checked.position(u"WindowPosition"_s, QString::fromLatin1(DefaultWindowPosition), 4);
    settings.WindowState = readProfileInteger(document, View, u"WindowState", 1);
    settings.FindPosition = checked.position(u"FindPosition"_s, QString::fromLatin1(DefaultFindPosition), 2);

    if (settings.SaveInterface) {
        settings.Grid = readProfileBoolean(document, View, u"Grid", true);
        for (int n = 0; n < GridColumnCount; ++n) {
            const auto [field, width] = checked.column(n);
            host.setGridColumn(n, field, width);
        }
        host.setIndexName(document.readString(View, u"IndexName"));
    } else {
        settings.Grid = false;
    }

    host.setDatabaseName(document.readString(View, u"DatabaseName", m_programFolder));
    host.setTableName(document.readString(View, u"TableName", DefaultTableName));
    settings.RecNo = settings.SaveRecNo ? readProfileInteger(document, View, u"RecNo", 1) : 1;

    const auto fill = [&](SortedTextList &list, const QString &section) {
        list.clear();
        for (const QString &item : readNumberedList(document, section))
            list.add(item);
    };
    fill(host.typeList(), TypeDefs);
    fill(host.statusList(), StatusDefs);
    fill(host.phraseList(), Phrases);

    for (PathTask task : AllPathTasks) {
        settings.CurrentPaths[task] = settings.KeepPaths || settings.InitPaths
                                          ? document.readString(Paths, pathTaskKey(task), m_programFolder)
                                          : m_programFolder;
    }
    settings.SpecifiedPaths = settings.CurrentPaths;

    // From the last key to the first, so that the first key ends on top.
    TRecentlist &recent = host.recentList();
    recent.clear();
    const QStringList history = readNumberedList(document, History);
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

    file.writeString(Program, u"KeepPaths", profileBoolean(settings.KeepPaths));
    file.writeString(Program, u"InitPaths", profileBoolean(settings.InitPaths));
    file.writeString(Program, u"SaveInterface", profileBoolean(settings.SaveInterface));
    file.writeString(Program, u"SaveRecNo", profileBoolean(settings.SaveRecNo));
    file.writeString(Program, u"SaveToCache", profileBoolean(settings.SaveToCache));

    file.writeString(View, u"DatabaseName", host.databaseName());
    file.writeString(View, u"TableName", host.tableName());

    if (settings.SaveInterface) {
        file.writeString(View, u"WindowPosition", settings.WindowPosition);
        file.writeString(View, u"WindowState", QString::number(settings.WindowState));
        file.writeString(View, u"FindPosition", settings.FindPosition);
        file.writeString(View, u"Grid", profileBoolean(settings.Grid));
        file.writeString(View, u"IndexName", host.indexName());
        for (int n = 0; n < GridColumnCount; ++n) {
            file.writeString(Grid, columnKey(n),
                             QStringLiteral("%1,%2").arg(host.gridColumnField(n)).arg(host.gridColumnWidth(n)));
        }
    }

    // With no catalogue open there is no record number; everything else is
    // still written.
    if (settings.SaveRecNo && host.isTableOpen())
        file.writeString(View, u"RecNo", QString::number(host.recNo()));

    // Each list replaces its section where the section stands.
    replaceNumberedList(file, Phrases, u"Phrase", host.phraseList().items());
    replaceNumberedList(file, TypeDefs, u"Type", host.typeList().items());
    replaceNumberedList(file, StatusDefs, u"Status", host.statusList().items());

    if (settings.InitPaths || settings.KeepPaths) {
        const PathTable &paths = settings.InitPaths ? settings.SpecifiedPaths : settings.CurrentPaths;
        for (PathTask task : AllPathTasks)
            file.writeString(Paths, pathTaskKey(task), paths[task]);
    }

    // Not erased first: keys past the list's length keep their values.
    writeNumberedList(file, History, u"File", host.recentList().entries());

    return file.save();
}
