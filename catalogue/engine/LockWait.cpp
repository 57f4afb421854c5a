#include "catalogue/engine/LockWait.h"

#include <algorithm>
#include <array>
#include <sqlite3.h>

void LockWait::attach(sqlite3 *db)
{
    m_waiting = false;
    sqlite3_busy_handler(db, &LockWait::onBusy, this);
    // The profile event comes when a statement has finished, also when it failed.
    sqlite3_trace_v2(db, SQLITE_TRACE_PROFILE, &LockWait::onStatementEnd, this);
}

void LockWait::finished()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    if (m_handler)
        m_handler(false);
}

// Short sleeps first, so a lock held for a moment costs a moment; the handler runs
// inside SQLite, so nothing may leave it by exception (noexcept ends the program
// rather than unwinding through C frames).
int LockWait::onBusy(void *self, int count) noexcept
{
    auto *wait = static_cast<LockWait *>(self);
    static constexpr std::array<int, 12> delays{1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    int slept = 0; // before this round
    for (int i = 0; i < std::min(count, int(delays.size())); ++i)
        slept += delays[size_t(i)];
    if (count > int(delays.size()))
        slept += delays.back() * (count - int(delays.size()));
    const int delay = std::min(delays[size_t(std::min(count, int(delays.size()) - 1))], wait->m_timeoutMs - slept);
    if (delay <= 0)
        return 0;
    if (!wait->m_waiting) {
        wait->m_waiting = true;
        if (wait->m_handler)
            wait->m_handler(true);
    }
    sqlite3_sleep(delay);
    return 1;
}

int LockWait::onStatementEnd(unsigned, void *self, void *, void *) noexcept
{
    static_cast<LockWait *>(self)->finished();
    return 0;
}
