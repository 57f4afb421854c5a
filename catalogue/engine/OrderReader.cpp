#include "catalogue/engine/OrderReader.h"

#include "catalogue/engine/Connection.h"
#include "catalogue/engine/SqlStatement.h"

#include <algorithm>

namespace {
// How long the thread waits for another program's write to end before it gives up
// and leaves the reading to the program.
constexpr int LockTimeoutMs = 1000;
}

void OrderReader::start(const QString &path, const QString &sql, qint64 expected)
{
    cancel();
    m_reading = std::make_shared<Reading>();
    m_thread = std::thread(&OrderReader::run, m_reading, path, sql, expected);
}

void OrderReader::run(std::shared_ptr<Reading> reading, QString path, QString sql, qint64 expected)
{
    try {
        Connection db;
        db.open(path, Connection::Access::ReadOnly, QStringLiteral("Cannot read the order of %1").arg(path));
        db.setBusyTimeout(LockTimeoutMs);
        SqlStatement stmt(db, sql, QStringLiteral("read the catalogue"));
        bool cancelled = reading->cancelled.load(std::memory_order_relaxed);
        if (!cancelled)
            reading->list.beginFill(expected);
        for (int n = 1; !cancelled && stmt.step(); ++n) {
            if (n % 4096 == 0 && reading->cancelled.load(std::memory_order_relaxed)) {
                cancelled = true;
                break;
            }
            reading->list.append(stmt.columnInt64(0));
        }
        reading->list.endFill();
        reading->ok = !cancelled;
    } catch (...) {
        // The program reads the list itself when it needs it, and reports the failure then.
        reading->ok = false;
    }
    reading->finished.store(true, std::memory_order_release);
}

std::optional<OrderList> OrderReader::take()
{
    if (!m_thread.joinable())
        return std::nullopt;
    m_thread.join();
    std::optional<OrderList> out;
    if (m_reading->ok)
        out = std::move(m_reading->list);
    m_reading.reset();
    reapRetired(false);
    return out;
}

void OrderReader::cancel()
{
    if (m_thread.joinable()) {
        m_reading->cancelled.store(true, std::memory_order_relaxed);
        m_retired.emplace_back(std::move(m_thread), std::move(m_reading));
    }
    m_reading.reset();
    reapRetired(false);
}

void OrderReader::reapRetired(bool wait)
{
    const auto end = std::remove_if(m_retired.begin(), m_retired.end(), [wait](auto &retired) {
        if (!wait && !retired.second->finished.load(std::memory_order_acquire))
            return false;
        retired.first.join();
        return true;
    });
    m_retired.erase(end, m_retired.end());
}
