#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

// All of the program's windows off the screen for as long as it lives: each one that
// shows is minimised, and each comes back in the state it had, whatever way the
// work in between ends. The window that was active is active again.
class MinimisedApplication
{
public:
    MinimisedApplication();
    ~MinimisedApplication();
    MinimisedApplication(const MinimisedApplication &) = delete;
    MinimisedApplication &operator=(const MinimisedApplication &) = delete;

private:
    struct Shown {
        QPointer<QWidget> window;
        Qt::WindowStates state;
    };
    std::vector<Shown> m_shown;
    QPointer<QWidget> m_active;
};
