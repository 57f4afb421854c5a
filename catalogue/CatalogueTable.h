#pragma once

#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/LockWait.h"
#include "catalogue/EngineError.h"
#include "catalogue/Field.h"

#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
class SqlStatement;

// What a table tells the data sources bound to it.
enum class TableEvent {
    ActiveChanged,   // opened or closed
    StateChanged,    // browse, edit or insert began
    RecordChanged,   // another record became current, or the current one was reloaded
    FieldChanged,    // info = field position: the record being edited changed
    DataSetChanged,  // rows or their order changed (post, delete, refresh, index switch, resume)
};

class TableObserver
{
public:
    virtual ~TableObserver() = default;
    virtual void tableEvent(TableEvent event, int info) = 0;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };
enum class DataAction { Fail, Abort, Retry };

// One stored row as the grid reads it.
struct CatalogueRow {
    qint64 rowId = 0;
    std::array<QVariant, CatalogueSchema::FieldCount> values;
};

// The catalogue table object: a cursor over one catalogue file in the order of
// its current index, with a record buffer for editing. Every move first ends the
// editing of the current record (posting it when it was changed); closing drops it.
// Posts are durable when they return.
class CatalogueTable
{
public:
    CatalogueTable();
    ~CatalogueTable();
    CatalogueTable(const CatalogueTable &) = delete;
    CatalogueTable &operator=(const CatalogueTable &) = delete;

    // Location: a folder with a trailing separator and a bare file name.
    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &folder);
    QString tableName() const { return m_tableName; }
    void setTableName(const QString &fileName);
    QString fullPath() const;
    // How long a statement waits for another program's lock before it fails with
    // EngineError::Kind::Locked (5000 ms unless set).
    void setLockTimeout(int ms);
    int lockTimeout() const { return m_lockWait.timeout(); }
    bool exclusive() const { return m_exclusive; }
    void setExclusive(bool exclusive) { m_exclusive = exclusive; }

    // Order. An empty IndexName is the key order. IndexFieldNames "Archive" selects the
    // ascending Archive index while IndexName reads empty.
    QString indexName() const;
    void setIndexName(const QString &name);
    QString indexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString &names);

    void open();
    void close();
    bool active() const { return m_db != nullptr; }
    void setActive(bool active) { active ? open() : close(); }
    bool readOnly() const { return m_readOnly; }
    DataSetState state() const { return m_state; }
    bool modified() const { return m_modified; }

    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const;
    int recordCount();      // -1 when it cannot tell
    // The records in the file now, counted afresh (another program may have added
    // some); -1 when the file cannot be read (locked, I/O error, not a catalogue) or
    // the table is closed. recordCount() answers from what the table has read.
    int storedRecordCount();
    int recNo() const;      // from 1; 0 on an empty table, -1 while inserting
    void setRecNo(int recNo);

    void first();
    void next();
    void prior();
    void last();

    using Bookmark = qint64;
    Bookmark bookmark() const;
    void gotoBookmark(Bookmark bookmark);

    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void remove();          // the delete operation
    void refresh();
    // Reads the order list now, while nobody waits, so the first move far from the
    // top does not pay for it. Opening reads only the count and the first rows.
    void prepareOrder();

    void disableControls() { ++m_disableCount; }
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    Field &field(int pos) { return *m_fields[pos]; }
    const Field &field(int pos) const { return *m_fields[pos]; }
    int fieldCount() const { return CatalogueSchema::FieldCount; }
    Field *findField(const QString &name);

    // Whole-catalogue operations.
    void createTable();                          // closed afterwards; replaces a table of that name
    void copyTable(const QString &destPath, const CatalogueFile::Progress &progress = {}); // open table; replaces the destination
    void renameTable(const QString &newName);    // closed table; same folder
    void moveTable(const QString &newPath);      // closed table; any folder
    void deleteTable();                          // closed table
    void packTable(const CatalogueFile::Progress &progress = {}); // closed table

    // Grid access: stored rows by position in the current order, without images or memos.
    void readRows(int firstPos, int count, std::vector<CatalogueRow> &out);

    // Events, in the order a dataset fires them. Handlers may throw; a throwing
    // before-delete handler (AbortError for a silent one) keeps the record.
    // onNewRecord fills defaults into a new record before it counts as changed, so an
    // untouched new record is dropped, not posted, when the cursor moves on.
    std::function<void(CatalogueTable &)> afterOpen, onNewRecord, afterInsert, afterEdit, afterPost,
        afterCancel, afterDelete, afterScroll, beforeDelete;
    // Called when the engine refuses a posted record for a duplicate key; the
    // handler sets the action (Fail rethrows, Abort ends silently, Retry tries again).
    std::function<void(CatalogueTable &, const EngineError &, DataAction &)> onPostError;
    // Told true when a statement starts waiting for another program's lock and false
    // once that statement has finished, with or without the lock: at most one pair per
    // statement, so the window can show a busy cursor meanwhile. It runs inside the
    // engine call on this thread; it must not throw and must not use this table.
    std::function<void(bool waiting)> onLockWait;

    void addObserver(TableObserver *observer);
    void removeObserver(TableObserver *observer);

    // Used by Field.
    QVariant fieldValue(int pos) const;
    void setFieldValue(int pos, const QVariant &value);

private:
    using Record = std::array<QVariant, CatalogueSchema::FieldCount>;

    void checkActive() const;
    void checkClosed(const char *what) const;
    void checkBrowseMode();
    void notify(TableEvent event, int info = 0);
    void fire(const std::function<void(CatalogueTable &)> &handler);
    void prepareStatements();
    int orderIndex() const; // -1 key order, else secondary index position
    QString orderBy() const;
    bool hasIndex(const QString &name) const;
    void ensureOrder();
    void buildOrder();
    void reorder();
    void loadCurrent();
    bool readRecord(qint64 rowId, Record &out, bool withBlobs);
    bool loadFromWindow();
    int fillWindowAfter(const Record &anchor, int start, int end);
    void readFirstRows(int firstPos, int count, std::vector<CatalogueRow> &out);
    QString gridColumns() const; // the grid fields' columns, quoted, comma-separated
    void completeCurrent() const;
    void invalidateWindow() { m_windowStart = -1; m_window.clear(); }
    void postChanges(const QString &shown);
    bool storeInsert();
    bool storeEdit(const QString &shown);
    int positionFor(qint64 rowId);
    void placeInOrder(qint64 rowId);
    [[noreturn]] void throwSqlite(int rc, const QString &doing) const;
    static void bindValue(SqlStatement &stmt, int param, const QVariant &value);
    void bindRecord(SqlStatement &stmt, const Record &rec);
    void bindCurrentKey(SqlStatement &stmt, int first);
    void validateBuffer() const;
    void beginInsert(bool appending);
    void closeConnection();

    QString m_databaseName = QStringLiteral("./");
    QString m_tableName = QStringLiteral("contents.DB");
    QString m_indexName;
    QString m_indexFieldNames = QStringLiteral("Archive");
    bool m_exclusive = false;
    mutable LockWait m_lockWait{onLockWait};

    sqlite3 *m_db = nullptr;
    bool m_readOnly = false;
    std::array<QString, CatalogueSchema::FieldCount> m_columnNames; // by field position
    std::unique_ptr<SqlStatement> m_selectFull, m_selectScalar, m_selectSortKey, m_insert, m_delete,
        m_begin, m_beginWrite, m_commit, m_rollback, m_selectLong, m_keyset;
    int m_keysetOrder = -2; // the order m_keyset was prepared for

    DataSetState m_state = DataSetState::Inactive;
    bool m_modified = false;
    bool m_bof = true;
    bool m_eof = true;
    int m_disableCount = 0;

    // Row ids in the current order, built on first need (opening reads only the count
    // and the first row).
    std::vector<qint64> m_order;
    bool m_orderValid = false;
    qint64 m_count = 0;
    int m_pos = -1;          // position of the current record, -1 when empty
    qint64 m_rowId = 0;      // row id of the current record
    int m_returnPos = -1;    // where a cancelled insert goes back to
    mutable Record m_current; // the current stored record
    // Memos and images of the current record are read when first asked for.
    mutable bool m_currentComplete = true;
    // Another program changed or deleted the current record after it was read (a
    // store found out); cancelling the edit reads it again.
    bool m_currentStale = false;
    Record m_buffer;         // the record being edited or inserted
    // Records around the current one, read together in one read transaction so that
    // stepping through the catalogue costs one lock per window, not one per record.
    std::vector<Record> m_window;
    std::vector<bool> m_windowFound;
    int m_windowStart = -1;

    std::array<std::unique_ptr<Field>, CatalogueSchema::FieldCount> m_fields;
    std::vector<TableObserver *> m_observers;
};
