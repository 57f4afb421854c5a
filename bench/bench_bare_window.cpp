// The yardstick for the startup benchmark: a Qt program that shows one main window
// of the program's size and nothing else. With --text it also shows a menu bar and
// a line of text, so that the font set-up is paid as the program pays it.

#include "bench/ShownReport.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <cstring>

int main(int argc, char *argv[])
{
    reportPhase("main");
    QApplication app(argc, argv);
    reportPhase("QApplication");
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(640, 480);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        for (const char *title : {"&File", "&Edit", "&View", "&Options", "&Help"})
            window.menuBar()->addMenu(QString::fromLatin1(title));
        window.setCentralWidget(new QLabel(QStringLiteral("Record 1 of 1"), &window));
    }
    reportPhase("window");
    reportWhenShown(&window);
    window.show();
    return app.exec();
}
