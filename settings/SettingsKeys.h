#pragma once

#include "settings/ProgramSettings.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <span>

// Every key of the settings file with its section and its default, declared
// once: the default file, LoadSettings and SaveSettings all read them here, so
// a key cannot be written under one name and read under another, nor default
// to one value in the file and another when it is missing.
namespace SettingsKeys {

namespace Section {
inline constexpr QStringView Program = u"Program";
inline constexpr QStringView View = u"View";
inline constexpr QStringView Grid = u"Grid";
inline constexpr QStringView Paths = u"Paths";
inline constexpr QStringView Phrases = u"Phrases";
inline constexpr QStringView StatusDefs = u"StatusDefs";
inline constexpr QStringView TypeDefs = u"TypeDefs";
inline constexpr QStringView History = u"History";
} // namespace Section

// One key and the value it has in the default file, which is also the value it
// takes when the file lacks it or holds something unusable.
struct Key
{
    QStringView section;
    QStringView name;
    QStringView defaultText;
    // The program folder is known only at run time.
    bool defaultIsProgramFolder = false;

    QString defaultValue(const QString &programFolder) const
    {
        return defaultIsProgramFolder ? programFolder : defaultText.toString();
    }
};

constexpr Key folderKey(QStringView section, QStringView name)
{
    return {section, name, {}, true};
}

inline constexpr Key KeepPaths{Section::Program, u"KeepPaths", u"1"};
inline constexpr Key InitPaths{Section::Program, u"InitPaths", u"1"};
inline constexpr Key SaveInterface{Section::Program, u"SaveInterface", u"1"};
inline constexpr Key SaveRecNo{Section::Program, u"SaveRecNo", u"1"};
inline constexpr Key SaveToCache{Section::Program, u"SaveToCache", u"0"};

inline constexpr Key WindowPosition{Section::View, u"WindowPosition", u"0,0,640,480"};
inline constexpr Key WindowState{Section::View, u"WindowState", u"1"};
inline constexpr Key FindPosition{Section::View, u"FindPosition", u"0,0"};
inline constexpr Key GridView{Section::View, u"Grid", u"1"};
inline constexpr Key DatabaseName = folderKey(Section::View, u"DatabaseName");
inline constexpr Key TableName{Section::View, u"TableName", u"contents.db"};
inline constexpr Key RecNo{Section::View, u"RecNo", u"1"};
inline constexpr Key IndexName{Section::View, u"IndexName", {}};

// The single keys, in the order the default file holds them.
inline constexpr const Key *Single[] = {
    &KeepPaths, &InitPaths, &SaveInterface, &SaveRecNo, &SaveToCache,
    &WindowPosition, &WindowState, &FindPosition, &GridView, &DatabaseName, &TableName, &RecNo, &IndexName,
};

// The grid's columns from the left: the position of the column's field in the
// table's field list, a comma and the width. The program writes no blank after
// the comma; its defaults have one.
inline constexpr Key Columns[] = {
    {Section::Grid, u"Column0", u"0, 40"}, {Section::Grid, u"Column1", u"1, 40"},
    {Section::Grid, u"Column2", u"2, 40"}, {Section::Grid, u"Column3", u"3, 40"},
    {Section::Grid, u"Column4", u"4, 40"}, {Section::Grid, u"Column5", u"5, 40"},
    {Section::Grid, u"Column6", u"6, 40"}, {Section::Grid, u"Column7", u"7, 40"},
    {Section::Grid, u"Column8", u"8, 40"}, {Section::Grid, u"Column9", u"9, 40"},
};

// The folder of each file task, in PathTask order.
inline constexpr Key TaskFolders[PathTaskCount] = {
    folderKey(Section::Paths, u"Archives"), folderKey(Section::Paths, u"Open"),
    folderKey(Section::Paths, u"SaveAs"), folderKey(Section::Paths, u"OpenBmp"),
    folderKey(Section::Paths, u"SaveBmp"),
};

constexpr const Key &taskFolder(PathTask task)
{
    return TaskFolders[static_cast<int>(task)];
}

// A numbered list: keys prefix + position from 0. Its defaults exist only in
// the default file; a file without the section has an empty list.
struct List
{
    QStringView section;
    QStringView prefix;
    std::span<const QStringView> defaults;
};

inline constexpr QStringView DefaultPhrases[] = {u"Installation", u"Usage", u"Documentation", u"Adjustments"};
inline constexpr QStringView DefaultStatuses[] = {u"Discarded", u"In use", u"Testing", u"Unseen"};
inline constexpr QStringView DefaultTypes[] = {
    u"Application", u"Component", u"Component collection", u"Document", u"Expert",
    u"Expert collection", u"Magazine", u"Property editor", u"Unit",
};
// One empty entry: the key is there to be seen, the list is empty.
inline constexpr QStringView DefaultHistory[] = {QStringView()};

inline constexpr List Phrases{Section::Phrases, u"Phrase", DefaultPhrases};
inline constexpr List StatusDefs{Section::StatusDefs, u"Status", DefaultStatuses};
inline constexpr List TypeDefs{Section::TypeDefs, u"Type", DefaultTypes};
inline constexpr List History{Section::History, u"File", DefaultHistory};

// Every key of the default file with its value, in the file's order.
struct DefaultEntry
{
    QStringView section;
    QString key;
    QString value;
};
QList<DefaultEntry> defaultFile(const QString &programFolder);

} // namespace SettingsKeys
