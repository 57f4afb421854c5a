#include "bench/ShownReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

long long steadyNs()
{
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

class ExposeWatch : public QObject
{
public:
    explicit ExposeWatch(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !m_seen && watched == m_window->windowHandle()
            && m_window->windowHandle()->isExposed()) {
            m_seen = true;
            // Queued behind the expose: by then the window has painted and flushed.
            QTimer::singleShot(0, [] {
                std::printf("shown %lld\n", steadyNs());
                std::fflush(stdout);
                _exit(0);
            });
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_seen = false;
};

} // namespace

void reportWhenShown(QWidget *window)
{
    // Watched through the application, so the native window can come into being
    // whenever the program makes it.
    qApp->installEventFilter(new ExposeWatch(window));
}

void reportPhase(const char *name)
{
    std::printf("phase %s %lld\n", name, steadyNs());
}
