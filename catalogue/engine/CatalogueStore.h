#pragma once

#include "catalogue/CatalogueSchema.h"
#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/CatalogueOrder.h"
#include "catalogue/engine/CatalogueSql.h"
#include "catalogue/engine/Connection.h"
#include "catalogue/engine/LockWait.h"
#include "catalogue/engine/OrderList.h"
#include "catalogue/engine/SortKey.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

class SqlStatement;

// The rows of one open catalogue file: what the table reads and writes, each a few
// prepared statements on one connection. Failures throw EngineError naming the file;
// an empty text or image reads as no value.
class CatalogueStore
{
public:
    using Record = CatalogueSchema::Record;

    // `lockWaitTold` hears when a statement starts and stops waiting for another
    // program's lock; it must not throw.
    explicit CatalogueStore(std::function<void(bool waiting)> lockWaitTold);
    ~CatalogueStore();
    CatalogueStore(const CatalogueStore &) = delete;
    CatalogueStore &operator=(const CatalogueStore &) = delete;

    void setLockTimeout(int ms) { m_lockWait.setTimeout(ms); }
    int lockTimeout() const { return m_lockWait.timeout(); }

    struct Opened {
        // The first row ids in the order opened with, at most `firstRows` of them.
        std::vector<qint64> firstRowIds;
        bool readOnly = false;
    };
    // Opens a checked catalogue file; `writeProtected` opens it for browsing only. A
    // file that is no catalogue, holds code or lacks the index of `order` is refused.
    // Nothing is read that grows with the catalogue: the rows are not counted.
    Opened open(const QString &path, bool writeProtected, CatalogueOrder order, int firstRows);
    void close();
    bool isOpen() const { return m_db.isOpen(); }

    // Only a schema read that succeeds tells that an index is missing; a lock or a
    // damaged file is reported as what it is.
    bool hasIndex(const QString &name);
    // Every row id in `order` into `out`; `expected` rows reserved.
    void readOrder(CatalogueOrder order, qint64 expected, OrderList &out);
    // At most `limit` row ids from the start of `order`.
    std::vector<qint64> readFirstRowIds(CatalogueOrder order, int limit);
    // A number that changes whenever another program has changed the file.
    qint64 dataVersion();
    const CatalogueSql::Columns &columns() const { return m_cols; }
    // The row's place in `order`; all parts empty when the row is gone.
    SortKey readSortKey(qint64 rowId, CatalogueOrder order);
    // The row's grid fields, or every field; false (and `out` untouched) when the row is
    // gone. Fields not read are cleared.
    bool read(qint64 rowId, Record &out, bool everyField);
    // The images and memos of the row into `rec`; a row gone leaves them.
    void readLongFields(qint64 rowId, Record &rec);
    // The grid fields of the rows after `anchor` in `order`, read by key into `out` as long
    // as they are the rows `expected` names. Returns how many it read: none when the
    // anchor lacks part of its key, fewer when a read fails (the caller reads the rest by
    // row id, which reports it).
    int readGridRowsAfter(const Record &anchor, CatalogueOrder order, std::span<const qint64> expected,
                          std::span<Record> out);
    // The row id and grid fields of at most `limit` rows next to `anchor` (a row whose
    // grid fields are read) in `order`, nearest first, appended to `out`: one seek in
    // the order's index. Only for a file where hasRowWithoutKey() is false.
    void readRowsBeside(const CatalogueRow &anchor, CatalogueOrder order, CatalogueSql::Toward toward, int limit,
                        std::vector<CatalogueRow> &out);
    // How many rows, up to `limit`, lie next to `anchor` that way: read from the index alone.
    int countRowsBeside(const CatalogueRow &anchor, CatalogueOrder order, CatalogueSql::Toward toward, int limit);
    // A row lacks part of its key (another program wrote it): keyset reads would pass it by.
    bool hasRowWithoutKey();
    // `count` rows from position `first` in `order`, straight from the index.
    void readGridRows(CatalogueOrder order, int first, int count, std::vector<CatalogueRow> &out);
    // The search: the row ids, ascending, of the rows whose `fields` hold `foldedNeedle`
    // (UTF-8, folded by TextMatch), read in one pass over the file. Kept until the file
    // changes, here or in another program, so Find Next steps do not read it again.
    // `stillSearching` is called every so often during the pass; it must not throw.
    const std::vector<qint64> &rowsHolding(const std::vector<int> &fields, const QByteArray &foldedNeedle,
                                           const std::function<void()> &stillSearching);
    // Several reads under one lock.
    Connection::ReadTransaction readTransaction() { return Connection::ReadTransaction(m_db); }

    // The new row's id; none when the engine refuses it for a duplicate key.
    std::optional<qint64> insert(const Record &rec);
    enum class Update { Stored, KeyViolation, Gone, Changed };
    // Stores the fields of `values` that differ from `expected`, only while the stored
    // row still reads `expected`: another program's change in between is refused, never
    // overwritten.
    Update update(qint64 rowId, const Record &expected, const Record &values);
    // Deletes the row while its key still reads as in `current`; false when it is gone.
    bool remove(qint64 rowId, const Record &current);

    // The rows in the file now; -1 when it cannot be read.
    int countStored();
    void copyTo(const QString &dest, const CatalogueFile::Progress &progress);

private:
    void readColumns(const QString &shown);
    // Reads the statements of a keyset read from `anchor`, giving each row to `take`
    // until it has had `limit` of them.
    void readBeside(const CatalogueRow &anchor, CatalogueOrder order, CatalogueSql::Toward toward, int limit,
                    bool rowIdsOnly, const std::function<void(const SqlStatement &)> &take);
    void prepareStatements();
    SqlStatement &prepared(std::unique_ptr<SqlStatement> &slot, const QString &sql, const QString &doing);
    // A statement prepared once for this file, by its text, reset for a new run.
    SqlStatement &cached(const QString &sql);

    LockWait m_lockWait;
    Connection m_db;
    CatalogueSql::Columns m_cols;
    std::unique_ptr<SqlStatement> m_selectFull, m_selectGrid, m_selectLong, m_selectSortKey, m_insert, m_delete;
    // The statements a sort runs, by their text: a few for each order and direction.
    std::unordered_map<QString, std::unique_ptr<SqlStatement>> m_cached;
    // What the last search found, and what it was found in.
    struct Matches {
        bool valid = false;
        std::vector<int> fields;
        QByteArray needle;
        qint64 writes = 0;      // this connection's writes so far
        qint64 dataVersion = 0; // other connections' writes, as SQLite counts them
        std::vector<qint64> rowIds;
    } m_matches;
    qint64 m_writes = 0;
};
