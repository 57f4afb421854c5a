#include "catalogue/engine/OrderReader.h"

#include "catalogue/engine/Connection.h"
#include "catalogue/engine/SqlStatement.h"

namespace {
// How long the thread waits for another program's write to end before it gives up
// and leaves the reading to the program.
constexpr int LockTimeoutMs = 1000;
}

void OrderReader::start(const QString &path, const QString &sql, qint64 expected)
{
    cancel();
    m_cancelled.store(false, std::memory_order_relaxed);
    m_finished.store(false, std::memory_order_relaxed);
    m_ok = false;
    m_list = {};
    m_thread = std::thread(&OrderReader::run, this, path, sql, expected);
}

void OrderReader::run(QString path, QString sql, qint64 expected)
{
    try {
        Connection db;
        db.open(path, Connection::Access::ReadOnly, QStringLiteral("Cannot read the order of %1").arg(path));
        db.setBusyTimeout(LockTimeoutMs);
        SqlStatement stmt(db, sql, QStringLiteral("read the catalogue"));
        m_list.beginFill(expected);
        bool cancelled = false;
        for (int n = 1; stmt.step(); ++n) {
            if (n % 4096 == 0 && m_cancelled.load(std::memory_order_relaxed)) {
                cancelled = true;
                break;
            }
            m_list.append(stmt.columnInt64(0));
        }
        m_list.endFill();
        m_ok = !cancelled;
    } catch (...) {
        // The program reads the list itself when it needs it, and reports the failure then.
        m_ok = false;
    }
    m_finished.store(true, std::memory_order_release);
}

std::optional<OrderList> OrderReader::take()
{
    if (!m_thread.joinable())
        return std::nullopt;
    m_thread.join();
    std::optional<OrderList> out;
    if (m_ok)
        out = std::move(m_list);
    m_list = {};
    return out;
}

void OrderReader::cancel()
{
    if (!m_thread.joinable())
        return;
    m_cancelled.store(true, std::memory_order_relaxed);
    m_thread.join();
    m_list = {};
}
