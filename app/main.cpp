#include "app/ErrorReport.h"
#include "app/FileDialogs.h"
#include "app/TfrmMain.h"
#include "settings/ProgramFolders.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Moxarium"));
    QApplication::setApplicationDisplayName(QStringLiteral("Moxarium"));
    // Lets the desktop match the window with its entry and icon.
    QGuiApplication::setDesktopFileName(
        QString::fromLatin1(ProgramFolders::DesktopEntryName).chopped(int(sizeof(".desktop")) - 1));
    QApplication::setQuitOnLastWindowClosed(true);

    // The settings live beside the program, unless it cannot write there (an
    // installation for all users): then in the user's own folders.
    const ProgramFolders folders =
        ProgramFolders::choose(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QString folderProblem = folders.create();
    QtFileDialogs fileDialogs;
    TfrmMain frmMain(folders, &fileDialogs);
    // The program still starts: reading and writing mox.ini will name the file
    // it could not use, and the file commands can choose another catalogue.
    if (!folderProblem.isEmpty())
        ErrorReport::show(nullptr, folderProblem);
    frmMain.FormCreate();
    frmMain.createDialogs();
    const int rc = app.exec();
    frmMain.FormDestroy();
    return rc;
}
