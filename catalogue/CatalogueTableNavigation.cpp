// The cursor of the catalogue table: the order list, the current record and the moves.
#include "catalogue/CatalogueTable.h"

#include "catalogue/TextMatch.h"

#include <algorithm>
#include <climits>

namespace Schema = CatalogueSchema;

// The current record stays current at its place in the new order; the ends of the
// table are judged from there, so First and Prior, Next and Last offer what exists.
void CatalogueTable::reorder()
{
    // The first rows of the new order come straight from its index. When the current
    // record is among them its place is known, and the rest of the list is read on a
    // thread of its own; elsewhere the rows around it are read by key and shown at a
    // provisional place until the list tells the true one. The list's thread starts with
    // the next takeReadOrder(), as after opening: not beside the new rows' first paint.
    m_orderReader.cancel();
    m_orderToRead = false;
    m_around.clear();
    if (!placeByKey()) {
        const std::vector<qint64> first = m_store.readFirstRowIds(order(), FirstRows + 1);
        const auto shown = first.cbegin() + std::min<std::ptrdiff_t>(FirstRows, std::ssize(first));
        const auto current = std::find(first.cbegin(), shown, m_rowId);
        if (first.size() <= size_t(FirstRows)) {
            m_order.assign(first);
            m_firstRows = 0;
            placeCurrent();
        } else if (m_pos >= 0 && current != shown) {
            m_order.reset(m_order.count()); // the count stays known when it was
            m_firstRows = FirstRows;
            m_window.clear();
            m_pos = int(current - first.cbegin());
            m_orderToRead = true;
        } else {
            buildOrder();
        }
    }
    m_bof = m_pos <= 0;
    m_eof = m_pos < 0
         || (m_order.isRead() ? m_pos == m_order.size() - 1 : m_around.active() && m_pos == m_order.count() - 1);
    notify(TableEvent::DataSetChanged);
}

bool CatalogueTable::placeByKey()
{
    // Counted by key from the current record both ways, this far: enough rows around it
    // for a screen of them read in the grid's blocks.
    constexpr int Reach = PlaceReach;
    const qint64 count = m_order.count();
    // A catalogue not yet counted, or small, or holding rows a keyset read would pass by,
    // is placed from its first rows.
    if (count <= FirstRows || m_pos < 0 || count > qint64(INT_MAX) || m_store.hasRowWithoutKey())
        return false;
    const CatalogueRow current{m_rowId, m_current};
    const int preceding = m_store.countRowsBeside(current, order(), CatalogueSql::Toward::Before, Reach);
    // Both counts are read before the order list is let go.
    const int following =
        preceding < Reach ? 0 : m_store.countRowsBeside(current, order(), CatalogueSql::Toward::After, Reach);
    m_order.reset(count);
    m_window.clear();
    m_firstRows = FirstRows;
    m_orderToRead = true;
    if (preceding < Reach) {
        // Among the first rows: its place is known.
        m_pos = preceding;
        return true;
    }
    const int last = int(count) - 1;
    // Where it was, so it stays on its row of the grid, unless few rows follow it: then
    // the count less those rows.
    int place = following < Reach ? last - following : std::max(Reach, std::min(m_pos, last - Reach));
    place = std::max(Reach, std::min(place, last));
    m_pos = place;
    m_around.begin(place, current, place - Reach, place + 1 + std::min(following, Reach));
    return true;
}

// ---- the order list ----------------------------------------------------------------

void CatalogueTable::buildOrder()
{
    m_orderReader.cancel();
    m_orderToRead = false;
    m_store.readOrder(order(), m_order.count(), m_order);
    m_firstRows = 0;
    placeCurrent();
}

// The current record at its place in the order list just read; a row gone meanwhile
// leaves the cursor near where it was.
void CatalogueTable::placeCurrent()
{
    m_window.clear();
    const bool provisional = m_around.active();
    const int shownAt = m_pos;
    m_around.clear();
    if (m_order.empty()) {
        m_pos = -1;
        return;
    }
    const int found = m_order.positionOf(m_rowId);
    m_pos = found >= 0 ? found : std::clamp(m_pos, 0, m_order.size() - 1);
    // What shows at the provisional place moves to the true one.
    if (provisional)
        notify(TableEvent::Renumbered, m_pos - shownAt);
}

void CatalogueTable::startOrderReader()
{
    m_orderToRead = false;
    m_orderReaderVersion = m_store.dataVersion();
    m_orderReader.start(fullPath(), CatalogueSql::rowIdsInOrder(m_store.columns(), order()), m_order.count());
}

bool CatalogueTable::adoptReadOrder(bool wait)
{
    if (m_order.isRead() || !m_orderReader.started() || (!wait && !m_orderReader.finished()))
        return false;
    std::optional<OrderList> list = m_orderReader.take();
    // Another program's write since the reading began may have changed the order.
    if (!list || m_store.dataVersion() != m_orderReaderVersion)
        return false;
    m_order = std::move(*list);
    m_firstRows = 0;
    placeCurrent();
    return true;
}

bool CatalogueTable::takeReadOrder()
{
    if (!active())
        return false;
    if (!m_order.isRead() && m_orderToRead) {
        startOrderReader();
        return false;
    }
    if (!m_order.isRead() && m_orderReader.finished()) {
        // Outdated or failed: read here, where a failure is reported as what it is.
        if (!adoptReadOrder(false))
            buildOrder();
        m_orderNews = true;
    }
    if (!m_orderNews)
        return false;
    m_orderNews = false;
    notify(TableEvent::DataSetChanged);
    return true;
}

void CatalogueTable::prepareOrder()
{
    if (active())
        ensureOrder();
}

void CatalogueTable::ensureOrder()
{
    if (m_order.isRead())
        return;
    if (!adoptReadOrder(true))
        buildOrder();
    m_orderNews = true;
}

int CatalogueTable::knownRowCount() const
{
    if (!active())
        return 0;
    return m_order.count() >= 0 ? int(m_order.count()) : m_firstRows;
}

// Puts a row id into the order list at its sorted place and makes that place current.
void CatalogueTable::placeInOrder(qint64 rowId)
{
    const CatalogueOrder current = order();
    m_pos = m_order.insertSorted(rowId, [&](qint64 id) { return m_store.readSortKey(id, current); },
                                 SortKey::Less(current));
}

// ---- the current record ------------------------------------------------------------

bool CatalogueTable::loadFromWindow()
{
    if (!m_window.covers(m_pos)) {
        // Stepping on from the end of the last window reads the next rows in one
        // ordered pass, anchored at the last row read.
        const std::optional<Record> anchor = m_window.anchorFor(m_pos);
        const ReadAheadWindow::Span span = m_window.spanFor(m_pos, m_order.size());
        if (span.end - span.start == 1) {
            // A jump: the whole record in one read, as the controls will show it.
            m_window.begin(span);
            if (!m_store.read(m_order.rowId(m_pos), m_window.slot(m_pos), true)) {
                m_window.clear();
                return false;
            }
            m_window.markRead(m_pos);
            m_current = *m_window.record(m_pos);
            m_currentComplete = true;
            return true;
        }
        m_window.begin(span);
        const auto txn = m_store.readTransaction();
        int pos = span.start;
        if (anchor) {
            std::vector<qint64> expected;
            m_order.copyRowIds(span.start, span.end, expected);
            const int read = m_store.readGridRowsAfter(*anchor, order(), expected, m_window.slotsFrom(span.start));
            for (; pos < span.start + read; ++pos)
                m_window.markRead(pos);
        }
        for (; pos < span.end; ++pos) {
            if (m_store.read(m_order.rowId(pos), m_window.slot(pos), false))
                m_window.markRead(pos);
        }
    }
    const Record *record = m_window.record(m_pos);
    if (!record) {
        m_window.clear();
        return false;
    }
    m_current = *record;
    m_currentComplete = false;
    return true;
}

void CatalogueTable::completeCurrent() const
{
    if (m_currentComplete || !active())
        return;
    // A failed read (a lock, above all) must not pass for empty memos: they would be
    // shown, and stored over the real text by the next post. Marked complete only
    // once read, so the next attempt reads again. A row another program deleted has
    // nothing to read; the post of an edit of it is refused.
    m_store.readLongFields(m_rowId, m_current);
    m_currentComplete = true;
}

void CatalogueTable::loadCurrent()
{
    m_currentComplete = true;
    m_currentStale = false;
    if (m_pos < 0) {
        m_rowId = 0;
        m_current = {};
        return;
    }
    if (m_order.isRead()) {
        m_rowId = m_order.rowId(m_pos);
        if (loadFromWindow())
            return;
    }
    if (!m_store.read(m_rowId, m_current, true)) {
        // Another program deleted the row: read the order again and stay near the place.
        buildOrder();
        if (m_pos >= 0) {
            m_rowId = m_order.rowId(m_pos);
            if (!m_store.read(m_rowId, m_current, true))
                m_current = {};
        } else {
            m_rowId = 0;
            m_current = {};
        }
    }
}

// ---- navigation --------------------------------------------------------------------

bool CatalogueTable::isEmpty() const
{
    if (!active())
        return true;
    return m_order.count() == 0;
}

int CatalogueTable::recordCount()
{
    checkActive();
    if (m_order.count() < 0)
        ensureOrder();
    return m_order.count() < 0 ? -1 : int(m_order.count());
}

int CatalogueTable::recNo() const
{
    if (!active() || m_state == DataSetState::Insert)
        return -1;
    return m_pos + 1;
}

void CatalogueTable::setRecNo(int recNo)
{
    checkActive();
    checkBrowseMode();
    if (recNo == this->recNo())
        return;
    const bool provisional = m_around.active();
    const int shownAt = m_pos;
    ensureOrder();
    if (provisional)
        recNo += m_pos - shownAt;
    if (recNo < 1 || recNo > m_order.size())
        return;
    m_pos = recNo - 1;
    loadCurrent();
    m_bof = m_eof = false;
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::first()
{
    checkActive();
    checkBrowseMode();
    ensureOrder();
    m_pos = m_order.empty() ? -1 : 0;
    loadCurrent();
    m_bof = true;
    m_eof = m_order.empty();
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::last()
{
    checkActive();
    checkBrowseMode();
    ensureOrder();
    m_pos = m_order.size() - 1;
    loadCurrent();
    m_eof = true;
    m_bof = m_order.empty();
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::next()
{
    checkActive();
    checkBrowseMode();
    if (m_eof)
        return;
    ensureOrder();
    m_bof = false;
    if (m_pos + 1 < m_order.size()) {
        ++m_pos;
        loadCurrent();
    } else {
        m_eof = true;
    }
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::prior()
{
    checkActive();
    checkBrowseMode();
    if (m_bof)
        return;
    ensureOrder();
    m_eof = false;
    if (m_pos > 0) {
        --m_pos;
        loadCurrent();
    } else {
        m_bof = true;
    }
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
}

CatalogueTable::Bookmark CatalogueTable::bookmark() const
{
    checkActive();
    return m_pos >= 0 ? m_rowId : 0;
}

void CatalogueTable::gotoBookmark(Bookmark bookmark)
{
    checkActive();
    checkBrowseMode();
    ensureOrder();
    const int pos = m_order.positionOf(bookmark);
    if (pos < 0)
        throw EngineError(QStringLiteral("The record is no longer in the catalogue."));
    m_pos = pos;
    loadCurrent();
    m_bof = m_eof = false;
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
}

bool CatalogueTable::findText(const QString &text, const std::vector<int> &fields, SearchStart start,
                              const std::function<void()> &stillSearching)
{
    checkActive();
    checkBrowseMode();
    ensureOrder();
    int from = 0;
    if (start == SearchStart::Next) {
        // Next on the last record only sets the end flag: the end means not found.
        if (m_eof || m_pos < 0)
            return false;
        from = m_pos + 1;
    }
    // The records in the order the table holds, tested by what the file holds now, as
    // a walk from record to record would test them; the file is read in one pass.
    const std::vector<qint64> &matching = m_store.rowsHolding(fields, TextMatch::asciiLower(text).toUtf8(), stillSearching);
    if (matching.empty())
        return false;
    int found = -1;
    for (int pos = from; pos < m_order.size() && found < 0; ++pos) {
        if (std::binary_search(matching.cbegin(), matching.cend(), m_order.rowId(pos)))
            found = pos;
    }
    if (found < 0)
        return false;
    m_pos = found;
    loadCurrent();
    // As a walk from the first record would leave them.
    m_bof = start == SearchStart::First && m_pos == 0;
    m_eof = false;
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterScroll);
    return true;
}

void CatalogueTable::refresh()
{
    checkActive();
    checkBrowseMode();
    buildOrder();
    loadCurrent();
    m_bof = m_eof = m_order.empty();
    notify(TableEvent::DataSetChanged);
}

// ---- grid access -------------------------------------------------------------------

void CatalogueTable::readRows(int firstPos, int count, std::vector<CatalogueRow> &out)
{
    out.clear();
    if (!active())
        return;
    if (m_around.active()) {
        const auto txn = m_store.readTransaction(); // both ways read one state of the file
        m_around.copy(firstPos, count, out,
                      [this](const CatalogueRow &anchor, CatalogueSql::Toward toward, int limit, std::vector<CatalogueRow> &rows) {
                          m_store.readRowsBeside(anchor, order(), toward, limit, rows);
                      });
        return;
    }
    // The first screens of a catalogue just opened come straight from the index, so
    // showing it does not wait for the whole order list.
    if (!m_order.isRead() && firstPos >= 0 && firstPos + count <= FirstRows && count > 0) {
        m_store.readGridRows(order(), firstPos, count, out);
        return;
    }
    ensureOrder();
    const int end = std::min(m_order.size(), firstPos + count);
    Record rec;
    const auto txn = m_store.readTransaction();
    for (int pos = std::max(0, firstPos); pos < end; ++pos) {
        CatalogueRow row;
        row.rowId = m_order.rowId(pos);
        if (m_store.read(row.rowId, rec, false))
            row.values = rec;
        out.push_back(std::move(row));
    }
}
