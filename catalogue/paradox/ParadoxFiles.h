#pragma once

#include <QString>
#include <QStringList>

// The files of one Paradox table: NAME.DB and its companions beside it, which share
// its name: the memo and image file .MB, the primary index .PX, secondary indexes
// (.Xnn, .Ynn, .XGn, .YGn), validity checks .VAL, views .TV and .TVF, the family .FAM.
// Tables made on Windows or DOS may spell the names in any letter case.
namespace ParadoxFiles {

// The companion of `dbPath` with the extension `suffix`, whatever the letter case of
// either name; empty when there is none. One spelled like the table itself comes first.
QString companion(const QString &dbPath, const QString &suffix);

// The table's file itself and every companion, by full path.
QStringList tableFiles(const QString &dbPath);

} // namespace ParadoxFiles
