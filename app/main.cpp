#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Moxarium"));
    QApplication::setApplicationDisplayName(QStringLiteral("Moxarium"));

    // Stand-in until the main window lands.
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Moxarium"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
