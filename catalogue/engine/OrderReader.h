#pragma once

#include "catalogue/engine/OrderList.h"

#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Reads a catalogue's order list on a thread of its own, through a read-only connection
// of its own, while the program goes on with what it has. The list is handed over only
// once the thread has ended; what the file holds by then is the caller's to check.
class OrderReader
{
public:
    OrderReader() = default;
    ~OrderReader() { stop(); }
    OrderReader(const OrderReader &) = delete;
    OrderReader &operator=(const OrderReader &) = delete;

    // Starts reading every row id of the file at `path` by `sql` (one row id a row);
    // a reading under way is cancelled first.
    void start(const QString &path, const QString &sql, qint64 expected);
    // A reading was started and not yet taken or cancelled.
    bool started() const { return m_thread.joinable(); }
    // The thread has ended: take() will not wait.
    bool finished() const { return m_reading && m_reading->finished.load(std::memory_order_acquire); }
    // Waits for the thread to end. The list read; none when the reading failed (a lock,
    // an I/O error: the caller reads it itself and reports what it finds) or none was
    // started.
    std::optional<OrderList> take();
    // Stops the reading and drops what it read, without waiting for its thread: a sort
    // that replaces the order a moment after another does not wait for the first
    // reading to notice.
    void cancel();
    // Cancels and waits for every thread, the cancelled ones too: nothing reads the file
    // afterwards (before it is closed, replaced or packed).
    void stop()
    {
        cancel();
        reapRetired(true);
    }

private:
    // One reading's state, shared with its thread, which may outlive its cancelling.
    struct Reading {
        std::atomic<bool> cancelled{false};
        std::atomic<bool> finished{false};
        // Written by the thread only, read only after it has been joined.
        OrderList list;
        bool ok = false;
    };
    static void run(std::shared_ptr<Reading> reading, QString path, QString sql, qint64 expected);
    // Joins the cancelled threads that have ended.
    void reapRetired(bool wait);

    std::thread m_thread;
    std::shared_ptr<Reading> m_reading;
    std::vector<std::pair<std::thread, std::shared_ptr<Reading>>> m_retired;
};
