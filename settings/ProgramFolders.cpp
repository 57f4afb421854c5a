#include "settings/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

namespace {

QString withSeparator(const QString &folder)
{
    QString result = QDir::fromNativeSeparators(folder);
    if (!result.endsWith(u'/'))
        result += u'/';
    return result;
}

} // namespace

ProgramFolders ProgramFolders::beside(const QString &programFolder)
{
    const QString folder = withSeparator(programFolder);
    return {folder, folder, true};
}

ProgramFolders ProgramFolders::choose(const QString &programFolder, const QString &userConfigFolder,
                                      const QString &userDataFolder,
                                      const std::function<bool(const QString &)> &canWrite)
{
    if (!isInstalled(programFolder) && canWrite(programFolder))
        return beside(programFolder);
    return {withSeparator(userConfigFolder), withSeparator(userDataFolder), false};
}

bool ProgramFolders::isInstalled(const QString &programFolder)
{
    const QDir bin(programFolder);
    if (bin.dirName() != u"bin")
        return false;
    return QFileInfo::exists(bin.absoluteFilePath(QStringLiteral("../share/applications/"))
                             + QLatin1StringView(DesktopEntryName));
}

bool ProgramFolders::folderAcceptsFiles(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(withSeparator(folder) + QStringLiteral(".mox-write-test-XXXXXX"));
    return probe.open();
}

QString ProgramFolders::create() const
{
    QStringList problems;
    for (const QString &folder : {settingsFolder, dataFolder}) {
        if (QFileInfo(folder).isDir())
            continue;
        // mkpath says only yes or no; errno still holds the reason of the last step.
        errno = 0;
        if (!QDir().mkpath(folder)) {
            const int reason = errno;
            problems.append(QStringLiteral("Unable to create the folder %1: %2")
                                .arg(QDir::toNativeSeparators(folder),
                                     reason ? QString::fromLocal8Bit(std::strerror(reason))
                                            : QStringLiteral("a part of the path is not a folder")));
        }
    }
    return problems.join(u'\n');
}
