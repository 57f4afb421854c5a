// A window for the end-to-end scenarios to find on the X display:
//   mox_e2e_window --place X,Y,W,H [--pattern] [--class INSTANCE,CLASS] [--iconic]
// --pattern paints each pixel from its screen place (see patternPixel), so a capture
// can be checked pixel by pixel; --class sets WM_CLASS as a browser's windows carry
// it; --iconic leaves the window unmapped and marked minimised, as a window manager
// leaves a minimised window. It prints "ready <window id>" once it can be found, and
// "mapped" when something shows it later.

#include <QApplication>
#include <QCommandLineParser>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <xcb/xcb.h>

namespace {

QRgb patternPixel(int x, int y)
{
    return qRgb((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256);
}

xcb_connection_t *connection()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection(), xcb_intern_atom(connection(), 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

bool mapped(xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply =
        xcb_get_window_attributes_reply(connection(), xcb_get_window_attributes(connection(), window), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

class PatternWindow : public QWidget
{
public:
    bool pattern = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (!pattern) {
            painter.fillRect(rect(), QColor(200, 220, 240));
            return;
        }
        QImage image(size(), QImage::Format_RGB32);
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, patternPixel(origin.x() + x, origin.y() + y));
        painter.drawImage(0, 0, image);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("place"), QStringLiteral("place and size"),
                                        QStringLiteral("X,Y,W,H")));
    parser.addOption(QCommandLineOption(QStringLiteral("pattern"), QStringLiteral("paint the pattern")));
    parser.addOption(QCommandLineOption(QStringLiteral("class"), QStringLiteral("WM_CLASS"),
                                        QStringLiteral("INSTANCE,CLASS")));
    parser.addOption(QCommandLineOption(QStringLiteral("iconic"), QStringLiteral("minimised, unmapped")));
    parser.process(app);

    const QStringList g = parser.value("place").split(u',');
    if (g.size() != 4) {
        std::fprintf(stderr, "--place X,Y,W,H is needed\n");
        return 2;
    }
    PatternWindow window;
    window.pattern = parser.isSet("pattern");
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("e2e window"));
    window.setGeometry(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt());
    const auto id = xcb_window_t(window.winId());
    if (parser.isSet("class")) {
        const QByteArray names = parser.value("class").toLatin1().replace(',', '\0') + '\0';
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            uint32_t(names.size()), names.constData());
    }
    if (parser.isSet("iconic")) {
        const xcb_atom_t wmState = atom("WM_STATE");
        const uint32_t iconic[2] = {3, XCB_WINDOW_NONE};
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, id, wmState, wmState, 32, 2, iconic);
        xcb_flush(connection());
        std::printf("ready %u\n", id);
    } else {
        window.show();
        QTimer::singleShot(300, &window, [id] {
            xcb_flush(connection());
            std::printf("ready %u\n", id);
            std::fflush(stdout);
        });
    }
    std::fflush(stdout);
    // Says once when another program showed the window.
    QTimer watch;
    bool wasMapped = !parser.isSet("iconic");
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (!wasMapped && mapped(id)) {
            wasMapped = true;
            std::printf("mapped\n");
            std::fflush(stdout);
        }
    });
    watch.start(50);
    return app.exec();
}
