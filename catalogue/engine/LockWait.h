#pragma once

#include <functional>

struct sqlite3;

// Waits for another program's lock on one connection, on the same schedule as
// SQLite's own busy timeout, and says when a statement starts waiting and when that
// statement has finished, so the window can show a busy cursor meanwhile.
class LockWait
{
public:
    // `told` hears true when a statement starts waiting and false once it has finished;
    // it runs inside SQLite, so it must not throw.
    explicit LockWait(std::function<void(bool waiting)> told) : m_handler(std::move(told)) {}

    void attach(sqlite3 *db);
    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }
    // Tells the end of a wait that no finishing statement reports: a wait while a
    // statement was prepared, or one inside a copy.
    void finished();

private:
    static int onBusy(void *self, int count) noexcept;
    static int onStatementEnd(unsigned event, void *self, void *stmt, void *elapsed) noexcept;

    std::function<void(bool waiting)> m_handler;
    int m_timeoutMs = 5000;
    bool m_waiting = false;
};
