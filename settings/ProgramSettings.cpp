#include "settings/ProgramSettings.h"

QString pathTaskKey(PathTask task)
{
    switch (task) {
    case PathTask::OpenArchive:
        return QStringLiteral("Archives");
    case PathTask::OpenDatabase:
        return QStringLiteral("Open");
    case PathTask::SaveDatabase:
        return QStringLiteral("SaveAs");
    case PathTask::OpenBitmap:
        return QStringLiteral("OpenBmp");
    case PathTask::SaveBitmap:
        return QStringLiteral("SaveBmp");
    }
    return {};
}
