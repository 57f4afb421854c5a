#include "app/MinimisedApplication.h"

#include <QApplication>

MinimisedApplication::MinimisedApplication() : m_active(QApplication::activeWindow())
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->isMinimized() || (window->windowType() & Qt::Popup) == Qt::Popup)
            continue;
        m_shown.push_back({window, window->windowState()});
    }
    for (const Shown &shown : m_shown)
        shown.window->showMinimized();
}

MinimisedApplication::~MinimisedApplication()
{
    for (const Shown &shown : m_shown) {
        if (!shown.window)
            continue;
        shown.window->setWindowState(shown.state);
        shown.window->show();
    }
    if (m_active) {
        m_active->raise();
        m_active->activateWindow();
    }
}
