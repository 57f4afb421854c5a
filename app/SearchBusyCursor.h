#pragma once

#include <QApplication>
#include <QElapsedTimer>

// The busy cursor of a search that runs long: it shows once the search has run for
// `delayMs`, judged at each of the engine's ticks, and goes when the search ends.
class SearchBusyCursor
{
public:
    explicit SearchBusyCursor(qint64 delayMs) : m_delayMs(delayMs) { m_clock.start(); }
    ~SearchBusyCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    SearchBusyCursor(const SearchBusyCursor &) = delete;
    SearchBusyCursor &operator=(const SearchBusyCursor &) = delete;

    void tick()
    {
        if (m_shown || m_clock.elapsed() < m_delayMs)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_shown = true;
    }
    bool shown() const { return m_shown; }

private:
    QElapsedTimer m_clock;
    qint64 m_delayMs;
    bool m_shown = false;
};
