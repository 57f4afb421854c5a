#include "catalogue/engine/ReadAheadWindow.h"

#include <algorithm>

bool ReadAheadWindow::covers(int pos) const
{
    return m_start >= 0 && pos >= m_start && pos < m_start + int(m_records.size());
}

ReadAheadWindow::Span ReadAheadWindow::spanFor(int pos, int total) const
{
    const bool backwards = m_start >= 0 && pos == m_start - 1;
    const bool forwards = m_start < 0 || pos == m_start + int(m_records.size());
    // A jump reads the one row: whether steps follow, and in which direction, is not
    // known yet, and the next step reads ahead.
    if (!backwards && !forwards)
        return {pos, std::min(total, pos + 1)};
    const int start = backwards ? std::max(0, pos - m_size + 1) : pos;
    return {start, std::min(total, start + m_size)};
}

std::optional<ReadAheadWindow::Record> ReadAheadWindow::anchorFor(int pos) const
{
    if (m_start < 0 || m_records.empty() || pos != m_start + int(m_records.size()) || !m_read.back())
        return std::nullopt;
    return m_records.back();
}

void ReadAheadWindow::begin(Span span)
{
    m_records.resize(size_t(std::max(0, span.end - span.start)));
    m_read.assign(m_records.size(), false);
    m_start = span.start;
}

std::span<ReadAheadWindow::Record> ReadAheadWindow::slotsFrom(int pos)
{
    return std::span<Record>(m_records).subspan(size_t(pos - m_start));
}

const ReadAheadWindow::Record *ReadAheadWindow::record(int pos) const
{
    if (!covers(pos) || !m_read[size_t(pos - m_start)])
        return nullptr;
    return &m_records[size_t(pos - m_start)];
}

void ReadAheadWindow::clear()
{
    m_start = -1;
    m_records.clear();
    m_read.clear();
}
