#pragma once

#include "catalogue/EngineError.h"

#include <QString>
#include <exception>
#include <functional>
#include <memory>

struct sqlite3;
class LockWait;
class SqlStatement;

// One SQLite connection to a catalogue file, the only way the program reaches SQLite
// besides its statements: opening with SQLite's defensive settings, the translation of
// SQLite's failures into EngineError, and transactions.
class Connection
{
public:
    enum class Access { ReadOnly, ReadWrite };

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens `path` so that a hostile file cannot act on our edits: no triggers, views or
    // extensions run, the schema cannot be written directly, and functions named in the
    // schema are limited to harmless ones. A failure throws "<failing>: <reason>.".
    void open(const QString &path, Access access, const QString &failing);
    // Opens the nameless file behind `descriptor` (a PendingFile) to write a new
    // catalogue into. The journal stays in memory and nothing is synced: nobody can see
    // the file before it has its name, and the pending file makes it durable then.
    void openPending(int descriptor, const QString &failing);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // The file as opened; the messages name it.
    const QString &path() const { return m_path; }
    // True when SQLite cannot write the file, whatever it was opened for.
    bool isReadOnly() const;

    // Another program's lock is waited for through `wait`, which must outlive the
    // connection; a failure reported here ends a wait no statement end reported.
    void attach(LockWait &wait);
    // SQLite's own wait for a lock, for a connection without a LockWait.
    void setBusyTimeout(int ms);
    // Adds the search's SQL function, CatalogueSql::HoldsText, to this connection.
    void addSearchFunction();
    // The same for a connection of SQLite's own (the tests that read the SQL texts);
    // SQLite's result code.
    static int addSearchFunction(sqlite3 *db);
    // Called every so many steps of a long statement, to tell that it goes on. What it
    // throws stops the statement and leaves execute() once SQLite is out of the way.
    void setProgressHandler(std::function<void()> tick);

    // Runs statements that return no rows; a failure throws "<failing>: <reason>.".
    void execute(const QString &sql, const QString &failing);
    // Runs statements that return no rows; a failure throws as a table operation doing
    // `doing` ("read the catalogue").
    void run(const QString &sql, const QString &doing);

    qint64 lastInsertRowId() const;
    // Rows the last finished statement wrote.
    int changes() const;
    bool inTransaction() const;

    // The failure SQLite gave (`result`) while doing `doing` ("store the record"), told
    // the way the user reads it: a lock, a read-only or full disk, a damaged file, or
    // SQLite's own text, always naming the file.
    [[noreturn]] void fail(int result, const QString &doing) const;
    // "<failing>: <SQLite's reason>." for the last failure on this connection.
    EngineError plainError(int result, const QString &failing) const;

    // Copies this connection's database into `target`, page by page, telling
    // `progress` (pages copied, pages in all) after each slice. A lock another
    // program holds throws EngineError(Locked).
    qint64 copyInto(Connection &target, const QString &failing,
                    const std::function<void(qint64 copied, qint64 total)> &progress);

    // Holds one read transaction over several statements, so they read one state of
    // the file under one lock; ends it on every path. A transaction that cannot begin
    // (a lock) is no error here: the statements inside report it.
    class ReadTransaction
    {
    public:
        explicit ReadTransaction(Connection &db);
        ~ReadTransaction();
        ReadTransaction(const ReadTransaction &) = delete;
        ReadTransaction &operator=(const ReadTransaction &) = delete;

    private:
        Connection &m_db;
        bool m_open = false;
    };

    // A read transaction for a copy: one consistent snapshot that no writer restarts,
    // its lock waited for in an ordinary statement. A lock another program holds
    // throws EngineError(Locked) "<failing>: the catalogue ... is locked ...".
    class Snapshot
    {
    public:
        Snapshot(Connection &db, const QString &failing);
        ~Snapshot();
        Snapshot(const Snapshot &) = delete;
        Snapshot &operator=(const Snapshot &) = delete;

    private:
        void end();
        Connection &m_db;
    };

    // Holds one write transaction, taken at once so nobody writes between a check and
    // the store that follows it; rolled back unless committed. A failure to begin or
    // to commit throws as doing `doing`.
    class WriteTransaction
    {
    public:
        WriteTransaction(Connection &db, const QString &doing);
        ~WriteTransaction();
        WriteTransaction(const WriteTransaction &) = delete;
        WriteTransaction &operator=(const WriteTransaction &) = delete;

        // False when SQLite refused the commit for a duplicate key.
        bool commit();

    private:
        Connection &m_db;
        QString m_doing;
    };

private:
    friend class SqlStatement;
    void setDefensive();
    SqlStatement &transactionStatement(std::unique_ptr<SqlStatement> &slot, const QString &sql, const QString &doing);
    void finishStatements();
    [[noreturn]] void lockedError(const QString &failing) const;
    void rethrowInterruption();

    sqlite3 *m_db = nullptr;
    QString m_path;
    LockWait *m_lockWait = nullptr;
    std::function<void()> m_progress;
    std::exception_ptr m_interruption; // what a progress handler threw, until SQLite is out
    std::unique_ptr<SqlStatement> m_begin, m_beginWrite, m_commit, m_rollback;
};
