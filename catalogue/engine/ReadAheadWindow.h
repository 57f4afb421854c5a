#pragma once

#include "catalogue/CatalogueSchema.h"

#include <optional>
#include <span>
#include <vector>

// Records around the current one, read together in one read transaction, so that
// stepping through the catalogue costs one lock per window, not one per record. A
// window covers positions of the order list; a slot whose row was not found (another
// program deleted it) holds no record.
class ReadAheadWindow
{
public:
    using Record = CatalogueSchema::Record;
    struct Span {
        int start = 0;
        int end = 0; // one past the last position
    };

    explicit ReadAheadWindow(int size = 64) : m_size(size) {}

    int size() const { return m_size; }
    // A window is in place and covers `pos`, read or not.
    bool covers(int pos) const;
    // Where the window that holds `pos` goes, in an order list of `total` rows: ahead in
    // the direction of travel, so it ends at `pos` when that is the row just before
    // this window, and starts at `pos` when it is the row just after it (or there is no
    // window yet). A jump elsewhere covers `pos` alone.
    Span spanFor(int pos, int total) const;
    // The window's last record when `pos` is the row just after it and that record was
    // read: the next window is read on from it in one ordered pass.
    std::optional<Record> anchorFor(int pos) const;

    // A new window over `span`, nothing read yet. Every slot is written before it is
    // marked read, so the slots are not cleared.
    void begin(Span span);
    Span span() const { return {m_start, m_start + int(m_records.size())}; }
    // The slots from `pos` to the window's end, to read into.
    std::span<Record> slotsFrom(int pos);
    Record &slot(int pos) { return m_records[size_t(pos - m_start)]; }
    void markRead(int pos) { m_read[size_t(pos - m_start)] = true; }

    // The record at `pos`; nullptr when the window does not cover it or its row was not found.
    const Record *record(int pos) const;
    void clear();

private:
    int m_size;
    int m_start = -1; // -1: no window
    std::vector<Record> m_records;
    std::vector<bool> m_read;
};
