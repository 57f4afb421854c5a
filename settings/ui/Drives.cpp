#include "settings/ui/Drives.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>

QList<Drive> SystemDrives::drives() const
{
    QList<Drive> found;
    const auto add = [&found](const QString &root, bool home) {
        const QString clean = QDir::cleanPath(root);
        if (clean.isEmpty() || std::any_of(found.cbegin(), found.cend(), [&](const Drive &d) { return d.root == clean; }))
            return;
        found.append({clean, home});
    };
    add(QDir::homePath(), true);
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            add(volume.rootPath(), false);
    }
    std::sort(found.begin(), found.end(), [](const Drive &a, const Drive &b) { return a.root < b.root; });
    return found;
}
