#pragma once

#include <QString>

// The one rule for folders and the paths built from them. Folders are kept with a
// trailing separator; a folder typed without one names the same folder.
QString withTrailingSeparator(const QString &folder);
// The file `fileName` in `folder`, whether or not the folder ends in a separator.
QString pathInFolder(const QString &folder, const QString &fileName);
