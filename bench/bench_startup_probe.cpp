// The program's own start-up, as its entry runs it, in a program folder given on
// the command line (the real program always uses the folder it lives in). Reports
// when the main window is on the screen and ends there.

#include "app/FileDialogs.h"
#include "app/TfrmMain.h"
#include "bench/ShownReport.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    reportPhase("main");
    QApplication app(argc, argv);
    reportPhase("QApplication");
    if (argc < 2)
        return 2;
    QApplication::setApplicationName(QStringLiteral("Moxarium"));
    QApplication::setApplicationDisplayName(QStringLiteral("Moxarium"));
    QApplication::setQuitOnLastWindowClosed(true);

    QtFileDialogs fileDialogs;
    TfrmMain frmMain(QString::fromLocal8Bit(argv[1]), &fileDialogs);
    reportPhase("TfrmMain");
    // Watched before the start-up shows the window; the expose comes from the event loop.
    reportWhenShown(&frmMain);
    frmMain.FormCreate();
    reportPhase("FormCreate");
    frmMain.createDialogs();
    reportPhase("dialogs");
    return app.exec();
}
