// A stand-in main window with one button that opens the About box modally, so
// the box can be driven and photographed in a real X server before the real
// main window exists.
#include "MOXAbout.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Moxarium"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    QApplication::setFont(font);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Moxarium"));
    window.setGeometry(40, 30, 640, 480);
    auto *about = new TfrmAbout(&window);
    auto *button = new QPushButton(QStringLiteral("&About MOX..."), &window);
    button->setGeometry(250, 220, 140, 25);
    QObject::connect(button, &QPushButton::clicked, about, &QDialog::exec);
    window.show();
    return app.exec();
}
