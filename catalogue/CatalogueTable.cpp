#include "catalogue/CatalogueTable.h"

#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/PendingFile.h"
#include "catalogue/engine/SqlStatement.h"
#include "catalogue/FolderPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

using CatalogueSchema::FieldKind;
namespace Schema = CatalogueSchema;

namespace {

constexpr int GridFields = Schema::OrigImg; // positions 0..9: everything but images and memos
constexpr int LazyGridRows = 1024;          // rows the grid may read before the order list is built
constexpr int WindowSize = 64;

QVariant decode(const SqlStatement &stmt, int col, FieldKind kind)
{
    const int type = stmt.columnType(col);
    if (type == SQLITE_NULL)
        return QVariant();
    switch (kind) {
    case FieldKind::Boolean:
        return QVariant(stmt.columnInt64(col) != 0);
    case FieldKind::Graphic: {
        QByteArray bytes = stmt.columnBytes(col);
        return bytes.isEmpty() ? QVariant() : QVariant(bytes);
    }
    case FieldKind::String:
    case FieldKind::Memo: {
        QString text = stmt.columnText(col);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    }
    return QVariant();
}

// The grid fields of one row, from result column `firstCol` on.
void decodeGridFields(const SqlStatement &stmt, int firstCol, std::array<QVariant, Schema::FieldCount> &rec)
{
    for (int i = 0; i < GridFields; ++i)
        rec[size_t(i)] = decode(stmt, firstCol + i, Schema::fields()[i].kind);
}

QVariant normalise(const QVariant &value, FieldKind kind)
{
    if (value.isNull())
        return QVariant();
    switch (kind) {
    case FieldKind::Boolean:
        return QVariant(value.toBool());
    case FieldKind::Graphic: {
        QByteArray bytes = value.toByteArray();
        return bytes.isEmpty() ? QVariant() : QVariant(bytes);
    }
    case FieldKind::String:
    case FieldKind::Memo: {
        QString text = value.toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    }
    return QVariant();
}

// Sort keys compare exactly as SQLite orders them: NULL first, NOCASE folding only
// ASCII letters, BINARY by bytes.
struct KeyPart {
    bool null = true;
    QByteArray bytes;
};

int compareBinary(const KeyPart &a, const KeyPart &b)
{
    if (a.null || b.null)
        return int(b.null) - int(a.null);
    const int n = int(std::min(a.bytes.size(), b.bytes.size()));
    const int r = std::memcmp(a.bytes.constData(), b.bytes.constData(), size_t(n));
    return r != 0 ? r : int(a.bytes.size() - b.bytes.size());
}

int compareNoCase(const KeyPart &a, const KeyPart &b)
{
    if (a.null || b.null)
        return int(b.null) - int(a.null);
    const int n = int(std::min(a.bytes.size(), b.bytes.size()));
    for (int i = 0; i < n; ++i) {
        auto ca = uchar(a.bytes[i]);
        auto cb = uchar(b.bytes[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca += 32;
        if (cb >= 'A' && cb <= 'Z')
            cb += 32;
        if (ca != cb)
            return int(ca) - int(cb);
    }
    return int(a.bytes.size() - b.bytes.size());
}

// Holds one read transaction over several statements; ends it on every path.
class ReadTransaction
{
public:
    ReadTransaction(SqlStatement *begin, SqlStatement *commit) : m_commit(commit)
    {
        begin->reset();
        m_open = begin->step() == SQLITE_DONE;
        begin->reset();
    }
    ~ReadTransaction()
    {
        if (m_open) {
            m_commit->reset();
            m_commit->step();
            m_commit->reset();
        }
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    SqlStatement *m_commit;
    bool m_open = false;
};

// Holds one write transaction, taken at once so nobody writes between our check and
// our store; rolled back unless committed.
class WriteTransaction
{
public:
    WriteTransaction(sqlite3 *db, SqlStatement *begin, SqlStatement *commit, SqlStatement *rollback)
        : m_db(db), m_commit(commit), m_rollback(rollback)
    {
        m_begun = run(begin);
    }
    ~WriteTransaction()
    {
        // A failed statement may have ended the transaction already.
        if (!sqlite3_get_autocommit(m_db))
            run(m_rollback);
    }
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    int begun() const { return m_begun; }
    int commit() { return run(m_commit); }

private:
    static int run(SqlStatement *stmt)
    {
        stmt->reset();
        const int rc = stmt->step();
        stmt->reset();
        return rc;
    }
    sqlite3 *m_db;
    SqlStatement *m_commit;
    SqlStatement *m_rollback;
    int m_begun;
};

} // namespace

CatalogueTable::CatalogueTable()
{
    for (int i = 0; i < Schema::FieldCount; ++i)
        m_fields[i] = std::make_unique<Field>(this, i);
}

CatalogueTable::~CatalogueTable()
{
    closeConnection();
}

// ---- location and order ------------------------------------------------------------

void CatalogueTable::setDatabaseName(const QString &folder)
{
    checkClosed("change the folder of");
    m_databaseName = withTrailingSeparator(folder);
}

void CatalogueTable::setTableName(const QString &fileName)
{
    checkClosed("change the file name of");
    m_tableName = fileName;
}

void CatalogueTable::setLockTimeout(int ms)
{
    m_lockWait.setTimeout(ms);
}

QString CatalogueTable::fullPath() const
{
    return pathInFolder(m_databaseName, m_tableName);
}

QString CatalogueTable::indexName() const
{
    return m_indexFieldNames.isEmpty() ? m_indexName : QString();
}

int CatalogueTable::orderIndex() const
{
    if (!m_indexFieldNames.isEmpty())
        return m_indexFieldNames.compare(QLatin1String("Archive"), Qt::CaseInsensitive) == 0 ? 0 : -1;
    return Schema::indexByName(m_indexName);
}

QString CatalogueTable::orderBy() const
{
    const QString key = QStringLiteral("\"%1\", \"%2\", \"%3\"")
                            .arg(m_columnNames[Schema::Archive], m_columnNames[Schema::Product],
                                 m_columnNames[Schema::Type]);
    const int idx = orderIndex();
    if (idx < 0)
        return key;
    const Schema::IndexDef &def = Schema::indexes()[idx];
    return QStringLiteral("\"%1\" COLLATE NOCASE%2, %3")
        .arg(m_columnNames[def.fieldPos], def.descending ? QStringLiteral(" DESC") : QString(), key);
}

void CatalogueTable::setIndexName(const QString &name)
{
    if (!name.isEmpty() && Schema::indexByName(name) < 0)
        throw EngineError(QStringLiteral("There is no index named %1.").arg(name));
    if (active()) {
        if (!name.isEmpty() && !hasIndex(name))
            throw EngineError(QStringLiteral("The catalogue %1 has no index %2.")
                                  .arg(QDir::toNativeSeparators(fullPath()), name));
        checkBrowseMode();
    }
    m_indexName = name;
    m_indexFieldNames.clear();
    if (active())
        reorder();
}

void CatalogueTable::setIndexFieldNames(const QString &names)
{
    const QString trimmed = names.trimmed();
    const bool archive = trimmed.compare(QLatin1String("Archive"), Qt::CaseInsensitive) == 0;
    const bool key = trimmed.isEmpty()
        || trimmed.compare(QLatin1String("Archive;Product;Type"), Qt::CaseInsensitive) == 0;
    if (!archive && !key)
        throw EngineError(QStringLiteral("There is no index for the fields %1.").arg(names));
    if (active())
        checkBrowseMode();
    m_indexFieldNames = trimmed;
    m_indexName.clear();
    if (active())
        reorder();
}

// The current record stays current at its place in the new order; the ends of the
// table are judged from there, so First and Prior, Next and Last offer what exists.
void CatalogueTable::reorder()
{
    buildOrder();
    m_bof = m_pos <= 0;
    m_eof = m_pos < 0 || m_pos == int(m_order.size()) - 1;
    notify(TableEvent::DataSetChanged);
}

// Only a schema read that succeeds can tell that an index is missing; a lock or a
// damaged file is reported as what it is.
bool CatalogueTable::hasIndex(const QString &name) const
{
    SqlStatement check(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?1"));
    if (!check.isValid())
        throwSqlite(check.prepareResult(), QStringLiteral("read the catalogue"));
    check.bindText(1, name.toUtf8());
    const int rc = check.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwSqlite(rc, QStringLiteral("read the catalogue"));
    return rc == SQLITE_ROW;
}

// ---- open and close ----------------------------------------------------------------

void CatalogueTable::open()
{
    if (active())
        return;
    const QString path = fullPath();
    const QString shown = QDir::toNativeSeparators(path);
    // Copies a killed program left half-written in this folder are of no use to anyone.
    PendingFile::removeLeftovers(QFileInfo(path).absolutePath());
    CatalogueFile::checkHeader(path);

    bool readOnly = CatalogueFile::isWriteProtected(path);
    sqlite3 *db = nullptr;
    // One thread uses the connection: no per-call mutex.
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = CatalogueFile::openConnection(path, flags, &db);
    if (rc != SQLITE_OK) {
        const QString reason = CatalogueFile::sqliteReason(db, rc);
        sqlite3_close_v2(db);
        throw EngineError(QStringLiteral("Cannot open %1: %2.").arg(shown, reason));
    }
    if (!readOnly && sqlite3_db_readonly(db, "main") == 1)
        readOnly = true;
    m_lockWait.attach(db);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    m_db = db;
    m_readOnly = readOnly;

    try {
        SqlStatement info(m_db, QStringLiteral("PRAGMA table_info(\"catalogue\")"));
        if (!info.isValid())
            throwSqlite(info.prepareResult(), QStringLiteral("read the catalogue"));
        QStringList columns;
        while ((rc = info.step()) == SQLITE_ROW)
            columns << info.columnText(1);
        if (rc != SQLITE_DONE)
            throwSqlite(rc, QStringLiteral("read the catalogue"));
        if (columns.isEmpty())
            throw EngineError(QStringLiteral("Cannot open %1: it holds no catalogue table.").arg(shown),
                              EngineError::Kind::NotACatalogue);
        for (int i = 0; i < Schema::FieldCount; ++i) {
            const QString name = QString::fromLatin1(Schema::fields()[i].name);
            const auto it = std::find_if(columns.cbegin(), columns.cend(), [&](const QString &c) {
                return c.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (it == columns.cend())
                throw EngineError(QStringLiteral("Cannot open %1: the catalogue table has no field %2.").arg(shown, name),
                                  EngineError::Kind::NotACatalogue);
            m_columnNames[i] = *it;
        }
        QString code;
        rc = CatalogueFile::findStoredCode(m_db, code);
        if (rc != SQLITE_DONE)
            throwSqlite(rc, QStringLiteral("read the catalogue"));
        if (!code.isEmpty())
            throw EngineError(QStringLiteral("Cannot open %1: it contains %2, that this program will not run.").arg(shown, code),
                              EngineError::Kind::NotACatalogue);
        const int idx = orderIndex();
        if (idx >= 0 && !hasIndex(QLatin1String(Schema::indexes()[idx].name)))
            throw EngineError(QStringLiteral("Cannot open %1: it has no index %2.")
                                  .arg(shown, QLatin1String(Schema::indexes()[idx].name)));
        prepareStatements();

        SqlStatement count(m_db, QStringLiteral("SELECT COUNT(*) FROM catalogue"));
        rc = count.isValid() ? count.step() : count.prepareResult();
        if (rc != SQLITE_ROW)
            throwSqlite(rc, QStringLiteral("read the catalogue"));
        m_count = count.columnInt64(0);
        SqlStatement first(m_db, QStringLiteral("SELECT rowid FROM catalogue ORDER BY %1 LIMIT 1").arg(orderBy()));
        rc = first.isValid() ? first.step() : first.prepareResult();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throwSqlite(rc, QStringLiteral("read the catalogue"));
        m_rowId = rc == SQLITE_ROW ? first.columnInt64(0) : 0;
        m_pos = rc == SQLITE_ROW ? 0 : -1;
        m_orderValid = false;
        m_order.clear();
        loadCurrent();
        // A larger page cache helps stepping through the catalogue; set only now, so the
        // count above recycles its pages instead of filling the cache.
        sqlite3_exec(m_db, "PRAGMA cache_size = -8192", nullptr, nullptr, nullptr);
    } catch (...) {
        closeConnection();
        throw;
    }

    m_state = DataSetState::Browse;
    m_modified = false;
    m_bof = true;
    m_eof = m_pos < 0;
    notify(TableEvent::ActiveChanged);
    notify(TableEvent::DataSetChanged);
    fire(afterOpen);
    fire(afterScroll);
}

void CatalogueTable::closeConnection()
{
    m_selectFull.reset();
    m_selectScalar.reset();
    m_selectSortKey.reset();
    m_selectLong.reset();
    m_keyset.reset();
    m_insert.reset();
    m_delete.reset();
    m_begin.reset();
    m_beginWrite.reset();
    m_commit.reset();
    m_rollback.reset();
    invalidateWindow();
    m_lockWait.finished();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void CatalogueTable::close()
{
    if (!active())
        return;
    closeConnection();
    m_state = DataSetState::Inactive;
    m_modified = false;
    m_order.clear();
    m_orderValid = false;
    m_count = 0;
    m_pos = -1;
    m_rowId = 0;
    m_current = {};
    m_buffer = {};
    m_bof = m_eof = true;
    notify(TableEvent::ActiveChanged);
}

void CatalogueTable::prepareStatements()
{
    QStringList cols;
    QStringList params;
    for (int i = 0; i < Schema::FieldCount; ++i) {
        cols << QStringLiteral("\"%1\"").arg(m_columnNames[i]);
        params << QStringLiteral("?%1").arg(i + 1);
    }
    const auto keyWhere = [&](int first) {
        return QStringLiteral("rowid = ?%1 AND \"%2\" IS ?%3 AND \"%4\" IS ?%5 AND \"%6\" IS ?%7")
            .arg(first)
            .arg(m_columnNames[Schema::Archive]).arg(first + 1)
            .arg(m_columnNames[Schema::Product]).arg(first + 2)
            .arg(m_columnNames[Schema::Type]).arg(first + 3);
    };
    const auto prepare = [&](const QString &sql) {
        auto stmt = std::make_unique<SqlStatement>(m_db, sql);
        if (!stmt->isValid())
            throwSqlite(stmt->prepareResult(), QStringLiteral("read the catalogue"));
        return stmt;
    };
    m_selectFull = prepare(QStringLiteral("SELECT %1 FROM catalogue WHERE rowid = ?1").arg(cols.join(u',')));
    m_selectScalar = prepare(QStringLiteral("SELECT %1 FROM catalogue WHERE rowid = ?1").arg(gridColumns()));
    m_selectLong = prepare(QStringLiteral("SELECT %1 FROM catalogue WHERE rowid = ?1")
                               .arg(cols.mid(GridFields).join(u',')));
    m_selectSortKey = prepare(QStringLiteral("SELECT %1 FROM catalogue WHERE rowid = ?1")
                                  .arg(cols.mid(0, Schema::Status + 1).join(u',')));
    m_insert = prepare(QStringLiteral("INSERT INTO catalogue (%1) VALUES (%2)").arg(cols.join(u','), params.join(u',')));
    m_delete = prepare(QStringLiteral("DELETE FROM catalogue WHERE %1").arg(keyWhere(1)));
    m_begin = prepare(QStringLiteral("BEGIN"));
    m_beginWrite = prepare(QStringLiteral("BEGIN IMMEDIATE"));
    m_commit = prepare(QStringLiteral("COMMIT"));
    m_rollback = prepare(QStringLiteral("ROLLBACK"));
}

// ---- the order list ----------------------------------------------------------------

void CatalogueTable::buildOrder()
{
    SqlStatement stmt(m_db, QStringLiteral("SELECT rowid FROM catalogue ORDER BY %1").arg(orderBy()));
    if (!stmt.isValid())
        throwSqlite(stmt.prepareResult(), QStringLiteral("read the catalogue"));
    std::vector<qint64> order;
    order.reserve(size_t(std::max<qint64>(m_count, 0)) + 16);
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW)
        order.push_back(stmt.columnInt64(0));
    if (rc != SQLITE_DONE)
        throwSqlite(rc, QStringLiteral("read the catalogue"));
    m_order = std::move(order);
    m_orderValid = true;
    invalidateWindow();
    m_count = qint64(m_order.size());
    if (m_order.empty()) {
        m_pos = -1;
        return;
    }
    const int found = positionFor(m_rowId);
    m_pos = found >= 0 ? found : std::clamp(m_pos, 0, int(m_order.size()) - 1);
}

void CatalogueTable::prepareOrder()
{
    if (active())
        ensureOrder();
}

void CatalogueTable::ensureOrder()
{
    if (!m_orderValid)
        buildOrder();
}

int CatalogueTable::positionFor(qint64 rowId)
{
    const auto it = std::find(m_order.cbegin(), m_order.cend(), rowId);
    return it == m_order.cend() ? -1 : int(it - m_order.cbegin());
}

// Puts a row id into the order list at its sorted place and makes that place current.
void CatalogueTable::placeInOrder(qint64 rowId)
{
    const int idx = orderIndex();
    const int sortField = idx >= 0 ? Schema::indexes()[idx].fieldPos : -1;
    const bool descending = idx >= 0 && Schema::indexes()[idx].descending;

    using Key = std::array<KeyPart, 4>;
    const auto keyOf = [&](qint64 id) {
        Key key;
        m_selectSortKey->reset();
        m_selectSortKey->bindInt64(1, id);
        const int rc = m_selectSortKey->step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throwSqlite(rc, QStringLiteral("read the catalogue"));
        if (rc == SQLITE_ROW) {
            const auto part = [&](int col) {
                KeyPart p;
                p.null = m_selectSortKey->columnType(col) == SQLITE_NULL;
                if (!p.null)
                    p.bytes = m_selectSortKey->columnBytes(col);
                return p;
            };
            key[0] = sortField >= 0 ? part(sortField) : KeyPart();
            key[1] = part(Schema::Archive);
            key[2] = part(Schema::Product);
            key[3] = part(Schema::Type);
        }
        m_selectSortKey->reset();
        return key;
    };
    const auto less = [&](const Key &a, const Key &b) {
        if (sortField >= 0) {
            const int c = compareNoCase(a[0], b[0]);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        for (int i = 1; i < 4; ++i) {
            const int c = compareBinary(a[i], b[i]);
            if (c != 0)
                return c < 0;
        }
        return false;
    };

    const Key target = keyOf(rowId);
    int lo = 0;
    int hi = int(m_order.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (less(keyOf(m_order[size_t(mid)]), target))
            lo = mid + 1;
        else
            hi = mid;
    }
    m_order.insert(m_order.begin() + lo, rowId);
    m_count = qint64(m_order.size());
    m_pos = lo;
}

bool CatalogueTable::readRecord(qint64 rowId, Record &out, bool withBlobs)
{
    SqlStatement &stmt = withBlobs ? *m_selectFull : *m_selectScalar;
    stmt.reset();
    stmt.bindInt64(1, rowId);
    const int rc = stmt.step();
    if (rc == SQLITE_ROW) {
        const int n = withBlobs ? Schema::FieldCount : GridFields;
        for (int i = 0; i < n; ++i)
            out[i] = decode(stmt, i, Schema::fields()[i].kind);
        for (int i = n; i < Schema::FieldCount; ++i)
            out[i] = QVariant();
    }
    stmt.reset();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwSqlite(rc, QStringLiteral("read the catalogue"));
    return rc == SQLITE_ROW;
}

bool CatalogueTable::loadFromWindow()
{
    const bool inside = m_windowStart >= 0 && m_pos >= m_windowStart && m_pos < m_windowStart + int(m_window.size());
    if (!inside) {
        // Read ahead in the direction of travel.
        const bool backwards = m_windowStart >= 0 && m_pos == m_windowStart - 1;
        // Stepping on from the end of the last window reads the next rows in one
        // ordered pass, anchored at the last row read.
        std::vector<Record> previous; // holds at most the anchor
        if (m_windowStart >= 0 && m_pos == m_windowStart + int(m_window.size()) && m_windowFound.back())
            previous.push_back(m_window.back());
        const int start = backwards ? std::max(0, m_pos - WindowSize + 1) : m_pos;
        const int end = std::min(int(m_order.size()), start + WindowSize);
        // Every slot is written below before it is read (and found): no clearing pass.
        m_window.resize(size_t(end - start));
        m_windowFound.assign(size_t(end - start), false);
        m_windowStart = start;
        ReadTransaction txn(m_begin.get(), m_commit.get());
        int pos = start;
        if (!previous.empty())
            pos = fillWindowAfter(previous.front(), start, end);
        for (; pos < end; ++pos)
            m_windowFound[size_t(pos - start)] = readRecord(m_order[size_t(pos)], m_window[size_t(pos - start)], false);
    }
    const size_t at = size_t(m_pos - m_windowStart);
    if (!m_windowFound[at]) {
        invalidateWindow();
        return false;
    }
    m_current = m_window[at];
    m_currentComplete = false;
    return true;
}

// Reads the rows after `anchor` in the current order into the window from `start`,
// as long as they are the rows the order list expects there. Returns the first
// position not filled (`start` when the keyset cannot be used).
int CatalogueTable::fillWindowAfter(const Record &anchor, int start, int end)
{
    const int idx = orderIndex();
    const int sortField = idx >= 0 ? Schema::indexes()[idx].fieldPos : -1;
    if (anchor[Schema::Archive].isNull() || anchor[Schema::Product].isNull() || anchor[Schema::Type].isNull()
        || (sortField >= 0 && anchor[size_t(sortField)].isNull()))
        return start; // NULLs have no place in a keyset comparison

    if (!m_keyset || m_keysetOrder != idx) {
        const QString key = QStringLiteral("(\"%1\", \"%2\", \"%3\") > (?2, ?3, ?4)")
                                .arg(m_columnNames[Schema::Archive], m_columnNames[Schema::Product], m_columnNames[Schema::Type]);
        QString where;
        if (idx < 0) {
            where = key;
        } else {
            const QString sortCol = QStringLiteral("\"%1\" COLLATE NOCASE").arg(m_columnNames[sortField]);
            // The plain range on the sort column lets SQLite seek in the index.
            where = Schema::indexes()[idx].descending
                ? QStringLiteral("%1 <= ?1 AND (%1 < ?1 OR (%1 = ?1 AND %2))").arg(sortCol, key)
                : QStringLiteral("%1 >= ?1 AND (%1, \"%2\", \"%3\", \"%4\") > (?1, ?2, ?3, ?4)")
                      .arg(sortCol, m_columnNames[Schema::Archive], m_columnNames[Schema::Product], m_columnNames[Schema::Type]);
        }
        m_keyset = std::make_unique<SqlStatement>(
            m_db, QStringLiteral("SELECT rowid, %1 FROM catalogue WHERE %2 ORDER BY %3 LIMIT ?5")
                      .arg(gridColumns(), where, orderBy()));
        m_keysetOrder = idx;
        if (!m_keyset->isValid()) {
            m_keyset.reset();
            return start;
        }
    }
    SqlStatement &stmt = *m_keyset;
    stmt.reset();
    if (sortField >= 0)
        stmt.bindText(1, anchor[size_t(sortField)].toString().toUtf8());
    stmt.bindText(2, anchor[Schema::Archive].toString().toUtf8());
    stmt.bindText(3, anchor[Schema::Product].toString().toUtf8());
    stmt.bindText(4, anchor[Schema::Type].toString().toUtf8());
    stmt.bindInt64(5, end - start);
    int pos = start;
    while (pos < end && stmt.step() == SQLITE_ROW) {
        if (stmt.columnInt64(0) != m_order[size_t(pos)])
            break; // the file changed under us: the rest by row id
        decodeGridFields(stmt, 1, m_window[size_t(pos - start)]);
        m_windowFound[size_t(pos - start)] = true;
        ++pos;
    }
    stmt.reset();
    return pos;
}

void CatalogueTable::completeCurrent() const
{
    if (m_currentComplete || !m_db)
        return;
    SqlStatement &stmt = *m_selectLong;
    stmt.reset();
    stmt.bindInt64(1, m_rowId);
    const int rc = stmt.step();
    if (rc == SQLITE_ROW) {
        for (int i = GridFields; i < Schema::FieldCount; ++i)
            m_current[i] = decode(stmt, i - GridFields, Schema::fields()[i].kind);
    }
    stmt.reset();
    // A failed read (a lock, above all) must not pass for empty memos: they would be
    // shown, and stored over the real text by the next post. Marked complete only
    // once read, so the next attempt reads again. A row another program deleted has
    // nothing to read; the post of an edit of it is refused.
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwSqlite(rc, QStringLiteral("read the record"));
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
    if (m_orderValid) {
        m_rowId = m_order[size_t(m_pos)];
        if (loadFromWindow())
            return;
    }
    if (!readRecord(m_rowId, m_current, true)) {
        // Another program deleted the row: read the order again and stay near the place.
        m_orderValid = false;
        buildOrder();
        if (m_pos >= 0) {
            m_rowId = m_order[size_t(m_pos)];
            if (!readRecord(m_rowId, m_current, true))
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
    return m_orderValid ? m_order.empty() : m_count == 0;
}

int CatalogueTable::recordCount()
{
    checkActive();
    if (m_orderValid)
        return int(m_order.size());
    return m_count < 0 ? -1 : int(m_count);
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
    ensureOrder();
    if (recNo < 1 || recNo > int(m_order.size()))
        return;
    m_pos = recNo - 1;
    loadCurrent();
    m_bof = m_eof = false;
    notify(TableEvent::RecordChanged);
    fire(afterScroll);
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
    fire(afterScroll);
}

void CatalogueTable::last()
{
    checkActive();
    checkBrowseMode();
    ensureOrder();
    m_pos = int(m_order.size()) - 1;
    loadCurrent();
    m_eof = true;
    m_bof = m_order.empty();
    notify(TableEvent::RecordChanged);
    fire(afterScroll);
}

void CatalogueTable::next()
{
    checkActive();
    checkBrowseMode();
    if (m_eof)
        return;
    ensureOrder();
    m_bof = false;
    if (m_pos + 1 < int(m_order.size())) {
        ++m_pos;
        loadCurrent();
    } else {
        m_eof = true;
    }
    notify(TableEvent::RecordChanged);
    fire(afterScroll);
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
    fire(afterScroll);
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
    const int pos = positionFor(bookmark);
    if (pos < 0)
        throw EngineError(QStringLiteral("The record is no longer in the catalogue."));
    m_pos = pos;
    loadCurrent();
    m_bof = m_eof = false;
    notify(TableEvent::RecordChanged);
    fire(afterScroll);
}

void CatalogueTable::refresh()
{
    checkActive();
    checkBrowseMode();
    m_orderValid = false;
    buildOrder();
    loadCurrent();
    m_bof = m_eof = m_order.empty();
    notify(TableEvent::DataSetChanged);
}

// ---- editing -----------------------------------------------------------------------

void CatalogueTable::checkBrowseMode()
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert) {
        if (m_modified)
            post();
        else
            cancel();
    }
}

void CatalogueTable::edit()
{
    checkActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (isEmpty()) {
        insert();
        return;
    }
    completeCurrent();
    m_buffer = m_current;
    m_state = DataSetState::Edit;
    m_modified = false;
    notify(TableEvent::StateChanged);
    fire(afterEdit);
}

void CatalogueTable::insert()
{
    beginInsert(false);
}

void CatalogueTable::append()
{
    beginInsert(true);
}

void CatalogueTable::beginInsert(bool appending)
{
    checkActive();
    checkBrowseMode();
    // The current record stays remembered: a cancelled insert returns to it.
    m_buffer = {};
    m_state = DataSetState::Insert;
    if (appending)
        m_bof = false; // an appended record stands after the last one, never at the start
    fire(onNewRecord);
    m_modified = false;
    notify(TableEvent::StateChanged);
    notify(TableEvent::RecordChanged);
    fire(afterInsert);
    fire(afterScroll);
}

void CatalogueTable::validateBuffer() const
{
    for (int i = 0; i < Schema::FieldCount; ++i) {
        const Schema::FieldDef &def = Schema::fields()[i];
        const QVariant &v = m_buffer[i];
        if (def.required && v.isNull())
            throw EngineError(QStringLiteral("Field '%1' must have a value").arg(Schema::displayLabel(i)));
        // A stored text longer than the field (written by another program) is kept as
        // it is while other fields change; only a text this edit set is measured.
        const bool unchanged = m_state == DataSetState::Edit && v == m_current[size_t(i)];
        if (def.kind == FieldKind::String && !v.isNull() && !unchanged) {
            const qsizetype length = v.toString().toUcs4().size();
            if (length > def.size)
                throw EngineError(QStringLiteral("The text in field '%1' is %2 characters long; the field holds at most %3 characters")
                                      .arg(Schema::displayLabel(i)).arg(length).arg(def.size));
        }
    }
}

void CatalogueTable::bindValue(SqlStatement &stmt, int param, const QVariant &v)
{
    if (v.isNull())
        stmt.bindNull(param);
    else if (v.typeId() == QMetaType::Bool)
        stmt.bindInt64(param, v.toBool() ? 1 : 0);
    else if (v.typeId() == QMetaType::QByteArray)
        stmt.bindBlob(param, v.toByteArray());
    else
        stmt.bindText(param, v.toString().toUtf8());
}

void CatalogueTable::bindRecord(SqlStatement &stmt, const Record &rec)
{
    for (int i = 0; i < Schema::FieldCount; ++i)
        bindValue(stmt, i + 1, rec[i]);
}

// Binds the row id and the stored key of the current record from `first` on.
void CatalogueTable::bindCurrentKey(SqlStatement &stmt, int first)
{
    stmt.bindInt64(first, m_rowId);
    for (int k = 0; k < 3; ++k)
        bindValue(stmt, first + 1 + k, m_current[size_t(k)]);
}

void CatalogueTable::post()
{
    checkActive();
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    validateBuffer();
    const bool inserting = m_state == DataSetState::Insert;
    const QString shown = QDir::toNativeSeparators(fullPath());

    // The record-view search posts every record it passes: an unchanged row costs no write.
    if (inserting || m_buffer != m_current) {
        if (m_readOnly)
            throw EngineError(QStringLiteral("Cannot store the record: the catalogue %1 is read-only").arg(shown),
                              EngineError::Kind::ReadOnly);
        postChanges(shown);

        const qint64 rowId = inserting ? sqlite3_last_insert_rowid(m_db) : m_rowId;
        if (!m_orderValid) {
            m_rowId = rowId;
            buildOrder();
        } else if (inserting) {
            placeInOrder(rowId);
        } else {
            const int idx = orderIndex();
            const int sortField = idx >= 0 ? Schema::indexes()[idx].fieldPos : -1;
            const auto changed = [&](int pos) { return pos >= 0 && m_buffer[pos] != m_current[pos]; };
            if (changed(Schema::Archive) || changed(Schema::Product) || changed(Schema::Type) || changed(sortField)) {
                m_order.erase(m_order.begin() + m_pos);
                placeInOrder(rowId);
            }
        }
        m_rowId = rowId;
        invalidateWindow();
        if (!readRecord(m_rowId, m_current, true))
            m_current = m_buffer;
    }

    m_buffer = {};
    m_state = DataSetState::Browse;
    m_modified = false;
    m_bof = m_eof = false;
    notify(TableEvent::StateChanged);
    notify(TableEvent::DataSetChanged);
    fire(afterPost);
}

// Writes the buffer: an insert, or an update of the changed columns only, so an edit
// of a comment does not rewrite the images.
void CatalogueTable::postChanges(const QString &shown)
{
    const bool inserting = m_state == DataSetState::Insert;
    for (;;) {
        if (inserting ? storeInsert() : storeEdit(shown))
            return;
        const EngineError error(QStringLiteral("Key violation: %1 already holds a record with archive \"%2\", product \"%3\" and type \"%4\"")
                                    .arg(shown, m_buffer[Schema::Archive].toString(),
                                         m_buffer[Schema::Product].toString(), m_buffer[Schema::Type].toString()),
                                EngineError::Kind::KeyViolation);
        DataAction action = DataAction::Fail;
        if (onPostError)
            onPostError(*this, error, action);
        if (action == DataAction::Retry)
            continue;
        if (action == DataAction::Abort)
            throw AbortError();
        throw error;
    }
}

namespace {

bool isKeyViolation(sqlite3 *db)
{
    const int extended = sqlite3_extended_errcode(db);
    return extended == SQLITE_CONSTRAINT_PRIMARYKEY || extended == SQLITE_CONSTRAINT_UNIQUE;
}

} // namespace

// False when the engine refuses the record for a duplicate key.
bool CatalogueTable::storeInsert()
{
    m_insert->reset();
    bindRecord(*m_insert, m_buffer);
    const int rc = m_insert->step();
    if (rc != SQLITE_DONE && !isKeyViolation(m_db))
        throwSqlite(rc, QStringLiteral("store the record"));
    m_insert->reset();
    return rc == SQLITE_DONE;
}

// Stores an edit only while the stored record still holds what this copy read when
// the edit began; another program's change in between is refused, never overwritten.
// The check reads the row the way the table reads it, so values another program wrote
// in its own spelling ('' for no text, 2 for true) are no conflict. False when the
// engine refuses the record for a duplicate key.
bool CatalogueTable::storeEdit(const QString &shown)
{
    const QString doing = QStringLiteral("store the record");
    WriteTransaction txn(m_db, m_beginWrite.get(), m_commit.get(), m_rollback.get());
    if (txn.begun() != SQLITE_DONE)
        throwSqlite(txn.begun(), doing);
    Record stored;
    if (!readRecord(m_rowId, stored, true)) {
        m_currentStale = true;
        throw EngineError(QStringLiteral("Cannot store the record: another program deleted it from %1. "
                                         "Cancel the edit to see the catalogue as it is now").arg(shown));
    }
    if (stored != m_current) {
        m_currentStale = true;
        throw EngineError(QStringLiteral("The record was changed by another program since you began editing it."),
                          EngineError::Kind::EditConflict);
    }
    QStringList sets;
    Record values;
    int bound = 0;
    for (int i = 0; i < Schema::FieldCount; ++i) {
        if (m_buffer[i] != m_current[i]) {
            values[size_t(bound)] = m_buffer[i];
            sets << QStringLiteral("\"%1\" = ?%2").arg(m_columnNames[i]).arg(++bound);
        }
    }
    SqlStatement update(m_db, QStringLiteral("UPDATE catalogue SET %1 WHERE rowid = ?%2").arg(sets.join(u',')).arg(bound + 1));
    if (!update.isValid())
        throwSqlite(update.prepareResult(), doing);
    for (int i = 0; i < bound; ++i)
        bindValue(update, i + 1, values[size_t(i)]);
    update.bindInt64(bound + 1, m_rowId);
    int rc = update.step();
    if (rc == SQLITE_DONE)
        rc = txn.commit();
    // Reported before the transaction is rolled back, which would clear SQLite's message.
    if (rc != SQLITE_DONE && !isKeyViolation(m_db))
        throwSqlite(rc, doing);
    return rc == SQLITE_DONE;
}

void CatalogueTable::cancel()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    // A store was refused because another program changed or deleted the record: show
    // the catalogue as it is now, not the copy the edit began from. Read before the
    // edit is dropped, so a failed read leaves the typing.
    const bool reread = m_currentStale;
    if (reread) {
        m_orderValid = false;
        buildOrder();
        loadCurrent();
    }
    m_buffer = {};
    m_state = DataSetState::Browse;
    m_modified = false;
    if (isEmpty())
        m_bof = m_eof = true;
    notify(TableEvent::StateChanged);
    notify(reread ? TableEvent::DataSetChanged : TableEvent::RecordChanged);
    fire(afterCancel);
}

void CatalogueTable::remove()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    fire(beforeDelete);
    if (m_readOnly)
        throw EngineError(QStringLiteral("Cannot delete the record: the catalogue %1 is read-only")
                              .arg(QDir::toNativeSeparators(fullPath())), EngineError::Kind::ReadOnly);
    ensureOrder();
    m_delete->reset();
    bindCurrentKey(*m_delete, 1);
    const int rc = m_delete->step();
    const int changes = sqlite3_changes(m_db);
    m_delete->reset();
    if (rc != SQLITE_DONE)
        throwSqlite(rc, QStringLiteral("delete the record"));
    if (changes == 0) {
        // Gone already (another program deleted it): show the catalogue as it is now.
        m_state = DataSetState::Browse;
        refresh();
        throw EngineError(QStringLiteral("The record was already deleted by another program."));
    }
    m_order.erase(m_order.begin() + m_pos);
    invalidateWindow();
    m_count = qint64(m_order.size());
    m_pos = std::min(m_pos, int(m_order.size()) - 1);
    loadCurrent();
    m_buffer = {};
    m_state = DataSetState::Browse;
    m_modified = false;
    m_bof = m_eof = m_order.empty();
    notify(TableEvent::StateChanged);
    notify(TableEvent::DataSetChanged);
    fire(afterDelete);
    fire(afterScroll);
}

QVariant CatalogueTable::fieldValue(int pos) const
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_buffer[pos];
    if (pos >= GridFields)
        completeCurrent();
    return m_current[pos];
}

void CatalogueTable::setFieldValue(int pos, const QVariant &value)
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        throw EngineError(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer[pos] = normalise(value, Schema::fields()[pos].kind);
    m_modified = true;
    notify(TableEvent::FieldChanged, pos);
}

Field *CatalogueTable::findField(const QString &name)
{
    for (auto &f : m_fields) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

// ---- whole-catalogue operations ----------------------------------------------------

void CatalogueTable::createTable()
{
    checkClosed("create");
    CatalogueFile::create(fullPath());
}

void CatalogueTable::copyTable(const QString &destPath, const CatalogueFile::Progress &progress)
{
    checkActive();
    // The copy reads through this connection: its lock waits are ours to end.
    struct EndWait {
        LockWait &wait;
        ~EndWait() { wait.finished(); }
    } endWait{m_lockWait};
    CatalogueFile::copyDatabase(m_db, fullPath(), destPath, progress);
}

int CatalogueTable::storedRecordCount()
{
    if (!active())
        return -1;
    SqlStatement count(m_db, QStringLiteral("SELECT COUNT(*) FROM catalogue"));
    const int rc = count.isValid() ? count.step() : count.prepareResult();
    const int stored = rc == SQLITE_ROW ? int(count.columnInt64(0)) : -1;
    // A wait while the statement was prepared has no statement end to report it.
    m_lockWait.finished();
    return stored;
}

void CatalogueTable::renameTable(const QString &newName)
{
    checkClosed("rename");
    CatalogueFile::move(fullPath(), m_databaseName + newName);
    m_tableName = newName;
}

void CatalogueTable::moveTable(const QString &newPath)
{
    checkClosed("move");
    CatalogueFile::move(fullPath(), newPath);
    const QFileInfo info(newPath);
    m_databaseName = withTrailingSeparator(info.absolutePath());
    m_tableName = info.fileName();
}

void CatalogueTable::deleteTable()
{
    checkClosed("delete");
    CatalogueFile::remove(fullPath());
}

void CatalogueTable::packTable(const CatalogueFile::Progress &progress)
{
    checkClosed("pack");
    CatalogueFile::pack(fullPath(), progress);
}

// ---- grid access -------------------------------------------------------------------

void CatalogueTable::readRows(int firstPos, int count, std::vector<CatalogueRow> &out)
{
    out.clear();
    if (!active())
        return;
    // The first screens of a catalogue just opened come straight from the index, so
    // showing it does not wait for the whole order list.
    if (!m_orderValid && firstPos >= 0 && firstPos < LazyGridRows && count > 0) {
        readFirstRows(firstPos, count, out);
        return;
    }
    ensureOrder();
    const int end = std::min(int(m_order.size()), firstPos + count);
    Record rec;
    ReadTransaction txn(m_begin.get(), m_commit.get());
    for (int pos = std::max(0, firstPos); pos < end; ++pos) {
        CatalogueRow row;
        row.rowId = m_order[size_t(pos)];
        if (readRecord(row.rowId, rec, false))
            row.values = rec;
        out.push_back(std::move(row));
    }
}

void CatalogueTable::readFirstRows(int firstPos, int count, std::vector<CatalogueRow> &out)
{
    SqlStatement stmt(m_db, QStringLiteral("SELECT rowid, %1 FROM catalogue ORDER BY %2 LIMIT ?1 OFFSET ?2")
                                .arg(gridColumns(), orderBy()));
    if (!stmt.isValid())
        throwSqlite(stmt.prepareResult(), QStringLiteral("read the catalogue"));
    stmt.bindInt64(1, count);
    stmt.bindInt64(2, firstPos);
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        CatalogueRow row;
        row.rowId = stmt.columnInt64(0);
        decodeGridFields(stmt, 1, row.values);
        out.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        throwSqlite(rc, QStringLiteral("read the catalogue"));
}

// ---- plumbing ----------------------------------------------------------------------

QString CatalogueTable::gridColumns() const
{
    QStringList cols;
    for (int i = 0; i < GridFields; ++i)
        cols << QStringLiteral("\"%1\"").arg(m_columnNames[i]);
    return cols.join(u',');
}

void CatalogueTable::checkActive() const
{
    if (!active())
        throw EngineError(QStringLiteral("Cannot perform this operation on a closed dataset"),
                          EngineError::Kind::ClosedDataSet);
}

void CatalogueTable::checkClosed(const char *what) const
{
    if (active())
        throw EngineError(QStringLiteral("Cannot %1 the catalogue while it is open").arg(QLatin1String(what)));
}

void CatalogueTable::throwSqlite(int rc, const QString &doing) const
{
    // A failed prepare may have waited without a statement end to say so.
    m_lockWait.finished();
    const QString shown = QDir::toNativeSeparators(fullPath());
    const QString reason = CatalogueFile::sqliteReason(m_db, rc);
    switch (rc & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        throw EngineError(QStringLiteral("Cannot %1: the catalogue %2 is read-only").arg(doing, shown),
                          EngineError::Kind::ReadOnly);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EngineError(QStringLiteral("Cannot %1: the catalogue %2 is locked by another program; try again in a moment")
                              .arg(doing, shown), EngineError::Kind::Locked);
    case SQLITE_FULL:
        throw EngineError(QStringLiteral("Cannot %1: the disk holding %2 is full").arg(doing, shown));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw EngineError(QStringLiteral("Cannot %1: the catalogue %2 is damaged (%3)").arg(doing, shown, reason));
    default:
        throw EngineError(QStringLiteral("Cannot %1 in %2: %3").arg(doing, shown, reason));
    }
}

void CatalogueTable::enableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0)
        notify(TableEvent::DataSetChanged);
}

void CatalogueTable::addObserver(TableObserver *observer)
{
    m_observers.push_back(observer);
}

void CatalogueTable::removeObserver(TableObserver *observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CatalogueTable::notify(TableEvent event, int info)
{
    if (m_disableCount > 0)
        return;
    const auto observers = m_observers;
    for (TableObserver *o : observers)
        o->tableEvent(event, info);
}

void CatalogueTable::fire(const std::function<void(CatalogueTable &)> &handler)
{
    if (handler)
        handler(*this);
}
