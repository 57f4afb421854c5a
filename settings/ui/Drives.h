#pragma once

#include <QList>
#include <QString>

// A place the directory chooser can start from: a mounted file system or the
// home folder, shown by its root folder.
struct Drive {
    QString root;
    bool home = false;
    bool operator==(const Drive &) const = default;
};

// Where the drives come from: the system, or a test's list.
class DriveSource
{
public:
    virtual ~DriveSource() = default;
    // Sorted by root, each root once.
    virtual QList<Drive> drives() const = 0;
};

// The mounted file systems that are ready, and the home folder.
class SystemDrives : public DriveSource
{
public:
    QList<Drive> drives() const override;
};
