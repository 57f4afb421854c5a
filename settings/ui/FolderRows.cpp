#include "settings/ui/FolderRows.h"

#include <QDir>
#include <QFileInfo>

bool folderIsInside(const QString &folder, const QString &root)
{
    if (folder == root)
        return true;
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    return folder.startsWith(prefix);
}

QList<FolderRow> folderRows(const QString &root, const QString &folder)
{
    QList<FolderRow> rows;
    rows.append({root, root, 0, true});
    if (folder != root && folderIsInside(folder, root)) {
        const QString rest = folder.mid(root.endsWith(u'/') ? root.size() : root.size() + 1);
        QString path = root;
        int depth = 0;
        for (const QString &part : rest.split(u'/', Qt::SkipEmptyParts)) {
            path = path.endsWith(u'/') ? path + part : path + u'/' + part;
            rows.append({path, part, ++depth, true});
        }
    }
    const int childDepth = rows.last().depth + 1;
    const QFileInfoList children = QDir(rows.last().path)
                                       .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                      QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo &child : children)
        rows.append({QDir::cleanPath(child.absoluteFilePath()), child.fileName(), childDepth, false});
    return rows;
}

QString nearestExistingFolder(const QString &folder)
{
    QString path = QDir::cleanPath(folder);
    while (!path.isEmpty()) {
        if (QFileInfo(path).isDir())
            return path;
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    return {};
}
