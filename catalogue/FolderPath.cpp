#include "catalogue/FolderPath.h"

#include <QDir>

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(QDir::separator()))
        return folder;
    return folder + u'/';
}

QString pathInFolder(const QString &folder, const QString &fileName)
{
    return withTrailingSeparator(folder) + fileName;
}
