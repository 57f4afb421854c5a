#include "settings/SettingsKeys.h"

namespace SettingsKeys {

QList<DefaultEntry> defaultFile(const QString &programFolder)
{
    QList<DefaultEntry> entries;
    const auto add = [&](const Key &key) {
        entries.append({key.section, key.name.toString(), key.defaultValue(programFolder)});
    };
    for (const Key *key : Single)
        add(*key);
    for (const Key &key : Columns)
        add(key);
    for (const Key &key : TaskFolders)
        add(key);
    for (const List *list : {&Phrases, &StatusDefs, &TypeDefs, &History}) {
        for (size_t n = 0; n < list->defaults.size(); ++n)
            entries.append({list->section, list->prefix.toString() + QString::number(n), list->defaults[n].toString()});
    }
    return entries;
}

} // namespace SettingsKeys
