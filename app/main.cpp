#include "app/FileDialogs.h"
#include "app/TfrmMain.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Moxarium"));
    QApplication::setApplicationDisplayName(QStringLiteral("Moxarium"));
    QApplication::setQuitOnLastWindowClosed(true);

    // The settings live beside the program.
    QtFileDialogs fileDialogs;
    TfrmMain frmMain(QCoreApplication::applicationDirPath() + QLatin1Char('/'), &fileDialogs);
    frmMain.FormCreate();
    frmMain.createDialogs();
    const int rc = app.exec();
    frmMain.FormDestroy();
    return rc;
}
