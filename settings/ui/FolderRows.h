#pragma once

#include <QList>
#include <QString>

// What the directory chooser's folder list shows: the folders from a drive's root
// down to the current folder (open), then the current folder's subfolders (closed),
// each indented by its depth below the root.
struct FolderRow {
    QString path;
    QString name;  // the root shows its whole path
    int depth = 0;
    bool open = false;
    bool operator==(const FolderRow &) const = default;
};

// Whether folder is root or lies beneath it; both are clean absolute paths.
bool folderIsInside(const QString &folder, const QString &root);

// The rows for a folder beneath root; subfolders sorted without regard to case,
// hidden ones left out.
QList<FolderRow> folderRows(const QString &root, const QString &folder);

// The folder itself if it exists, else its nearest existing parent; empty when
// nothing of it exists.
QString nearestExistingFolder(const QString &folder);
