#include "catalogue/engine/CatalogueStore.h"

#include "catalogue/engine/SqlStatement.h"

#include <QDir>
#include <QStringList>
#include <algorithm>

using CatalogueSchema::FieldKind;
namespace Schema = CatalogueSchema;

namespace {

const QString Reading = QStringLiteral("read the catalogue");

QVariant decode(const SqlStatement &stmt, int col, FieldKind kind)
{
    if (stmt.columnIsNull(col))
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
void decodeGridFields(const SqlStatement &stmt, int firstCol, CatalogueSchema::Record &rec)
{
    for (int i = 0; i < Schema::GridFields; ++i)
        rec[size_t(i)] = decode(stmt, firstCol + i, Schema::fields()[size_t(i)].kind);
}

} // namespace

CatalogueStore::CatalogueStore(std::function<void(bool waiting)> lockWaitTold) : m_lockWait(std::move(lockWaitTold))
{
}

CatalogueStore::~CatalogueStore()
{
    close();
}

CatalogueStore::Opened CatalogueStore::open(const QString &path, bool writeProtected, CatalogueOrder order, int firstRows)
{
    const QString shown = QDir::toNativeSeparators(path);
    m_db.open(path, writeProtected ? Connection::Access::ReadOnly : Connection::Access::ReadWrite,
              QStringLiteral("Cannot open %1").arg(shown));
    Opened opened;
    opened.readOnly = writeProtected || m_db.isReadOnly();
    m_db.attach(m_lockWait);
    try {
        m_db.run(CatalogueSql::durableWrites(), Reading);
        readColumns(shown);
        QString code;
        int result = 0;
        if (!CatalogueFile::findStoredCode(m_db, code, result))
            m_db.fail(result, Reading);
        if (!code.isEmpty())
            throw EngineError(QStringLiteral("Cannot open %1: it contains %2, that this program will not run.").arg(shown, code),
                              EngineError::Kind::NotACatalogue);
        if (!order.isKeyOrder() && !hasIndex(QLatin1String(Schema::indexes()[size_t(order.index)].name)))
            throw EngineError(QStringLiteral("Cannot open %1: it has no index %2.")
                                  .arg(shown, QLatin1String(Schema::indexes()[size_t(order.index)].name)));
        prepareStatements();
        m_db.addSearchFunction();

        opened.firstRowIds = readFirstRowIds(order, firstRows);
        // A larger page cache helps stepping through the catalogue.
        m_db.run(CatalogueSql::pageCache(), Reading);
    } catch (...) {
        close();
        throw;
    }
    return opened;
}

void CatalogueStore::readColumns(const QString &shown)
{
    SqlStatement info(m_db, CatalogueSql::tableColumns(), Reading);
    QStringList columns;
    while (info.step())
        columns << info.columnText(1);
    if (columns.isEmpty())
        throw EngineError(QStringLiteral("Cannot open %1: it holds no catalogue table.").arg(shown),
                          EngineError::Kind::NotACatalogue);
    for (int i = 0; i < Schema::FieldCount; ++i) {
        const QString name = QString::fromLatin1(Schema::fields()[size_t(i)].name);
        const auto it = std::find_if(columns.cbegin(), columns.cend(), [&](const QString &c) {
            return c.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == columns.cend())
            throw EngineError(QStringLiteral("Cannot open %1: the catalogue table has no field %2.").arg(shown, name),
                              EngineError::Kind::NotACatalogue);
        m_cols[size_t(i)] = *it;
    }
}

void CatalogueStore::prepareStatements()
{
    const auto prepare = [&](const QString &sql, const QString &doing) {
        return std::make_unique<SqlStatement>(m_db, sql, doing);
    };
    // What opening needs; the statements of editing are prepared on first use.
    m_selectFull = prepare(CatalogueSql::selectRecord(m_cols), Reading);
    m_selectGrid = prepare(CatalogueSql::selectGridFields(m_cols), Reading);
}

SqlStatement &CatalogueStore::prepared(std::unique_ptr<SqlStatement> &slot, const QString &sql, const QString &doing)
{
    if (!slot)
        slot = std::make_unique<SqlStatement>(m_db, sql, doing);
    return *slot;
}

namespace {

// Resets a kept statement however its run ends, so it holds no lock between runs.
struct ResetAfter {
    SqlStatement &stmt;
    ~ResetAfter() { stmt.reset(); }
};

} // namespace

SqlStatement &CatalogueStore::cached(const QString &sql)
{
    std::unique_ptr<SqlStatement> &slot = m_cached[sql];
    if (!slot)
        slot = std::make_unique<SqlStatement>(m_db, sql, Reading);
    slot->reset();
    return *slot;
}

void CatalogueStore::close()
{
    m_cached.clear();
    m_selectFull.reset();
    m_selectGrid.reset();
    m_selectLong.reset();
    m_selectSortKey.reset();
    m_insert.reset();
    m_delete.reset();
    m_matches = {};
    m_lockWait.finished();
    m_db.close();
}

bool CatalogueStore::hasIndex(const QString &name)
{
    SqlStatement &check = cached(CatalogueSql::indexExists());
    const ResetAfter done{check};
    check.bindText(1, name.toUtf8());
    return check.step();
}

void CatalogueStore::readOrder(CatalogueOrder order, qint64 expected, OrderList &out)
{
    SqlStatement stmt(m_db, CatalogueSql::rowIdsInOrder(m_cols, order), Reading);
    out.beginFill(expected);
    while (stmt.step())
        out.append(stmt.columnInt64(0));
    out.endFill();
}

std::vector<qint64> CatalogueStore::readFirstRowIds(CatalogueOrder order, int limit)
{
    SqlStatement stmt(m_db, CatalogueSql::firstRowIds(m_cols, order), Reading);
    stmt.bindInt64(1, limit);
    std::vector<qint64> ids;
    stmt.appendInt64Column(0, ids);
    return ids;
}

SortKey CatalogueStore::readSortKey(qint64 rowId, CatalogueOrder order)
{
    SqlStatement &stmt = prepared(m_selectSortKey, CatalogueSql::selectSortKey(m_cols), Reading);
    stmt.reset();
    stmt.bindInt64(1, rowId);
    SortKey key;
    if (stmt.step()) {
        const auto part = [&](int col) {
            SortKey::Part p;
            p.null = stmt.columnIsNull(col);
            if (!p.null)
                p.bytes = stmt.columnBytes(col);
            return p;
        };
        key = SortKey(rowId, order.isKeyOrder() ? SortKey::Part() : part(order.sortField()), part(Schema::Archive),
                      part(Schema::Product), part(Schema::Type));
    }
    stmt.reset();
    return key;
}

bool CatalogueStore::read(qint64 rowId, Record &out, bool everyField)
{
    SqlStatement &stmt = everyField ? *m_selectFull : *m_selectGrid;
    stmt.reset();
    stmt.bindInt64(1, rowId);
    const SqlStatement::Step got = stmt.tryStep();
    if (got == SqlStatement::Step::Row) {
        const int n = everyField ? Schema::FieldCount : Schema::GridFields;
        for (int i = 0; i < n; ++i)
            out[size_t(i)] = decode(stmt, i, Schema::fields()[size_t(i)].kind);
        for (int i = n; i < Schema::FieldCount; ++i)
            out[size_t(i)] = QVariant();
    }
    stmt.reset();
    if (got != SqlStatement::Step::Row && got != SqlStatement::Step::Done)
        stmt.fail();
    return got == SqlStatement::Step::Row;
}

void CatalogueStore::readLongFields(qint64 rowId, Record &rec)
{
    SqlStatement &stmt = prepared(m_selectLong, CatalogueSql::selectLongFields(m_cols), QStringLiteral("read the record"));
    stmt.reset();
    stmt.bindInt64(1, rowId);
    const SqlStatement::Step got = stmt.tryStep();
    if (got == SqlStatement::Step::Row) {
        for (int i = Schema::GridFields; i < Schema::FieldCount; ++i)
            rec[size_t(i)] = decode(stmt, i - Schema::GridFields, Schema::fields()[size_t(i)].kind);
    }
    stmt.reset();
    if (got != SqlStatement::Step::Row && got != SqlStatement::Step::Done)
        stmt.fail();
}

int CatalogueStore::readGridRowsAfter(const Record &anchor, CatalogueOrder order, std::span<const qint64> expected,
                                      std::span<Record> out)
{
    if (anchor[Schema::Archive].isNull() || anchor[Schema::Product].isNull() || anchor[Schema::Type].isNull())
        return 0; // no place in a keyset comparison
    const size_t wanted = std::min(expected.size(), out.size());
    size_t n = 0;
    bool diverged = false;
    try {
        readBeside(CatalogueRow{0, anchor}, order, CatalogueSql::Toward::After, int(wanted), false,
                   [&](const SqlStatement &stmt) {
                       if (diverged || stmt.columnInt64(0) != expected[n]) {
                           diverged = true; // the file changed under us: the rest by row id
                           return;
                       }
                       decodeGridFields(stmt, 1, out[n]);
                       ++n;
                   });
    } catch (const EngineError &) {
        // The rows left are read one by one, which reports the failure.
    }
    return int(n);
}

void CatalogueStore::readBeside(const CatalogueRow &anchor, CatalogueOrder order, CatalogueSql::Toward toward,
                                int limit, bool rowIdsOnly, const std::function<void(const SqlStatement &)> &take)
{
    const int sortField = order.sortField();
    const bool noSortValue = sortField >= 0 && anchor.values[size_t(sortField)].isNull();
    const auto text = [&](int field) { return anchor.values[size_t(field)].toString().toUtf8(); };
    const auto txn = readTransaction();
    for (const QString &sql : CatalogueSql::gridRowsBeside(m_cols, order, toward, noSortValue, rowIdsOnly)) {
        if (limit <= 0)
            break;
        SqlStatement &stmt = cached(sql);
        const ResetAfter done{stmt};
        if (sortField >= 0 && !noSortValue)
            stmt.bindText(1, text(sortField));
        stmt.bindText(2, text(Schema::Archive));
        stmt.bindText(3, text(Schema::Product));
        stmt.bindText(4, text(Schema::Type));
        stmt.bindInt64(5, limit);
        while (stmt.step()) {
            take(stmt);
            --limit;
        }
    }
}

void CatalogueStore::readRowsBeside(const CatalogueRow &anchor, CatalogueOrder order, CatalogueSql::Toward toward,
                                    int limit, std::vector<CatalogueRow> &out)
{
    readBeside(anchor, order, toward, limit, false, [&out](const SqlStatement &stmt) {
        CatalogueRow row;
        row.rowId = stmt.columnInt64(0);
        decodeGridFields(stmt, 1, row.values);
        out.push_back(std::move(row));
    });
}

int CatalogueStore::countRowsBeside(const CatalogueRow &anchor, CatalogueOrder order, CatalogueSql::Toward toward,
                                    int limit)
{
    int count = 0;
    readBeside(anchor, order, toward, limit, true, [&count](const SqlStatement &) { ++count; });
    return count;
}

bool CatalogueStore::hasRowWithoutKey()
{
    SqlStatement &stmt = cached(CatalogueSql::rowWithoutKey(m_cols));
    const ResetAfter done{stmt};
    return stmt.step();
}

const std::vector<qint64> &CatalogueStore::rowsHolding(const std::vector<int> &fields, const QByteArray &foldedNeedle,
                                                        const std::function<void()> &stillSearching)
{
    // The version and the pass read one state of the file.
    const auto txn = readTransaction();
    const qint64 version = dataVersion();
    Matches &m = m_matches;
    if (m.valid && m.fields == fields && m.needle == foldedNeedle && m.writes == m_writes && m.dataVersion == version)
        return m.rowIds;

    m.valid = false;
    m.rowIds.clear();
    // A search of a long catalogue is one long statement: the caller hears that it goes on.
    struct Ticking {
        Connection &db;
        ~Ticking() { db.setProgressHandler(nullptr); }
    } ticking{m_db};
    if (stillSearching)
        m_db.setProgressHandler(stillSearching);
    SqlStatement stmt(m_db, CatalogueSql::rowsHolding(m_cols, fields), Reading);
    stmt.bindText(1, foldedNeedle);
    stmt.appendInt64Column(0, m.rowIds);
    m.fields = fields;
    m.needle = foldedNeedle;
    m.writes = m_writes;
    m.dataVersion = version;
    m.valid = true;
    return m.rowIds;
}

qint64 CatalogueStore::dataVersion()
{
    SqlStatement &stmt = cached(CatalogueSql::dataVersion());
    const ResetAfter done{stmt};
    if (!stmt.step())
        stmt.fail();
    return stmt.columnInt64(0);
}

void CatalogueStore::readGridRows(CatalogueOrder order, int first, int count, std::vector<CatalogueRow> &out)
{
    SqlStatement stmt(m_db, CatalogueSql::gridRowsInOrder(m_cols, order), Reading);
    stmt.bindInt64(1, count);
    stmt.bindInt64(2, first);
    while (stmt.step()) {
        CatalogueRow row;
        row.rowId = stmt.columnInt64(0);
        decodeGridFields(stmt, 1, row.values);
        out.push_back(std::move(row));
    }
}

std::optional<qint64> CatalogueStore::insert(const Record &rec)
{
    ++m_writes; // what a search found may be out of date now
    SqlStatement &stmt = prepared(m_insert, CatalogueSql::insertRecord(m_cols), QStringLiteral("store the record"));
    stmt.reset();
    for (int i = 0; i < Schema::FieldCount; ++i)
        stmt.bindValue(i + 1, rec[size_t(i)]);
    const SqlStatement::Step got = stmt.tryStep();
    if (got == SqlStatement::Step::Failed)
        stmt.fail();
    stmt.reset();
    if (got == SqlStatement::Step::KeyViolation)
        return std::nullopt;
    return m_db.lastInsertRowId();
}

// The check reads the row the way the table reads it, so values another program wrote
// in its own spelling ('' for no text, 2 for true) are no conflict.
CatalogueStore::Update CatalogueStore::update(qint64 rowId, const Record &expected, const Record &values)
{
    ++m_writes;
    const QString doing = QStringLiteral("store the record");
    Connection::WriteTransaction txn(m_db, doing);
    Record stored;
    if (!read(rowId, stored, true))
        return Update::Gone;
    if (stored != expected)
        return Update::Changed;
    std::vector<int> changed;
    for (int i = 0; i < Schema::FieldCount; ++i) {
        if (values[size_t(i)] != expected[size_t(i)])
            changed.push_back(i);
    }
    SqlStatement update(m_db, CatalogueSql::updateFields(m_cols, changed), doing);
    int param = 0;
    for (const int pos : changed)
        update.bindValue(++param, values[size_t(pos)]);
    update.bindInt64(param + 1, rowId);
    const SqlStatement::Step got = update.tryStep();
    // Reported before the transaction is rolled back, which would clear SQLite's message.
    if (got == SqlStatement::Step::Failed)
        update.fail();
    if (got == SqlStatement::Step::KeyViolation || !txn.commit())
        return Update::KeyViolation;
    return Update::Stored;
}

bool CatalogueStore::remove(qint64 rowId, const Record &current)
{
    ++m_writes;
    SqlStatement &stmt = prepared(m_delete, CatalogueSql::deleteRecord(m_cols), QStringLiteral("delete the record"));
    stmt.reset();
    stmt.bindInt64(1, rowId);
    for (int k = 0; k < 3; ++k)
        stmt.bindValue(2 + k, current[size_t(k)]);
    const SqlStatement::Step got = stmt.tryStep();
    const int changes = m_db.changes();
    stmt.reset();
    if (got != SqlStatement::Step::Done)
        stmt.fail();
    return changes > 0;
}

int CatalogueStore::countStored()
{
    if (!isOpen())
        return -1;
    int stored = -1;
    {
        SqlStatement count(m_db, CatalogueSql::countRows(), Reading, SqlStatement::Prepare::MayFail);
        if (count.isValid() && count.tryStep() == SqlStatement::Step::Row)
            stored = int(count.columnInt64(0));
    }
    // A wait while the statement was prepared has no statement end to report it.
    m_lockWait.finished();
    return stored;
}

void CatalogueStore::copyTo(const QString &dest, const CatalogueFile::Progress &progress)
{
    // The copy reads through this connection: its lock waits are ours to end.
    struct EndWait {
        LockWait &wait;
        ~EndWait() { wait.finished(); }
    } endWait{m_lockWait};
    CatalogueFile::copyDatabase(m_db, dest, progress);
}
