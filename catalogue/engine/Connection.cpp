#include "catalogue/engine/Connection.h"

#include "catalogue/engine/CatalogueSql.h"
#include "catalogue/engine/DescriptorVfs.h"
#include "catalogue/engine/LockWait.h"
#include "catalogue/engine/SqlStatement.h"
#include "catalogue/TextMatch.h"

#include <QDir>
#include <QFile>
#include <optional>
#include <sqlite3.h>
#include <string_view>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString reasonOf(sqlite3 *db, int result)
{
    const char *text = db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
    return QString::fromUtf8(text ? text : sqlite3_errstr(result));
}

bool isLock(int result)
{
    return (result & 0xff) == SQLITE_BUSY || (result & 0xff) == SQLITE_LOCKED;
}

// A failed sqlite3_exec: its own text if it gave one.
QString execReason(int result, char *err)
{
    const QString reason = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(result));
    sqlite3_free(err);
    return reason;
}

// HoldsText(needle, value, ...): 1 when one of the values holds the needle, which comes
// folded, by the search's match rule; a value is read as the table reads a text.
void holdsText(sqlite3_context *context, int argc, sqlite3_value **argv) noexcept
{
    const auto textOf = [](sqlite3_value *value) -> std::optional<std::string_view> {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
        if (!text)
            return std::nullopt;
        return std::string_view(text, size_t(sqlite3_value_bytes(value)));
    };
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_error(context, "the search needs a text", -1);
        return;
    }
    const std::optional<std::string_view> needle = textOf(argv[0]);
    if (!needle) {
        sqlite3_result_error_nomem(context);
        return;
    }
    // An empty text is held by every field, an empty one too, as the rule on texts has it.
    if (needle->empty()) {
        sqlite3_result_int(context, argc > 1 ? 1 : 0);
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        const std::optional<std::string_view> text = textOf(argv[i]);
        if (!text) {
            sqlite3_result_error_nomem(context);
            return;
        }
        if (TextMatch::containsFoldedUtf8(*text, *needle)) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    sqlite3_result_int(context, 0);
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const QString &path, Access access, const QString &failing)
{
    close();
    // One thread uses the connection: no per-call mutex.
    const int flags = (access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    m_path = path;
    if (rc != SQLITE_OK) {
        const QString reason = reasonOf(m_db, rc);
        close();
        throw EngineError(QStringLiteral("%1: %2.").arg(failing, reason));
    }
    setDefensive();
}

void Connection::setDefensive()
{
    const auto set = [&](int option, int value) { sqlite3_db_config(m_db, option, value, nullptr); };
    set(SQLITE_DBCONFIG_DEFENSIVE, 1);
    set(SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    set(SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    set(SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    set(SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0);
}

void Connection::openPending(int descriptor, const QString &failing)
{
    close();
    const QByteArray name = DescriptorVfs::fileName(descriptor);
    const int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                                   DescriptorVfs::name());
    m_path = QString::fromLatin1(name);
    if (rc != SQLITE_OK) {
        const QString reason = reasonOf(m_db, rc);
        close();
        throw EngineError(QStringLiteral("%1: %2.").arg(failing, reason));
    }
    setDefensive();
    execute(CatalogueSql::unsyncedJournalInMemory(), failing);
}

void Connection::finishStatements()
{
    m_begin.reset();
    m_beginWrite.reset();
    m_commit.reset();
    m_rollback.reset();
}

void Connection::close()
{
    finishStatements();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_lockWait = nullptr;
    m_progress = nullptr;
}

bool Connection::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void Connection::attach(LockWait &wait)
{
    m_lockWait = &wait;
    wait.attach(m_db);
}

void Connection::setBusyTimeout(int ms)
{
    sqlite3_busy_timeout(m_db, ms);
}

void Connection::addSearchFunction()
{
    const int rc = addSearchFunction(m_db);
    if (rc != SQLITE_OK)
        throw EngineError(QStringLiteral("Cannot prepare the search in %1: %2.").arg(native(m_path), reasonOf(m_db, rc)));
}

int Connection::addSearchFunction(sqlite3 *db)
{
    // Direct only: no trigger, view or index of a file can call it.
    return sqlite3_create_function_v2(db, CatalogueSql::HoldsText, -1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr, holdsText,
                                      nullptr, nullptr, nullptr);
}

void Connection::setProgressHandler(std::function<void()> tick)
{
    m_progress = std::move(tick);
    if (!m_progress) {
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        return;
    }
    // Runs inside SQLite: nothing may leave it by exception. What the handler throws is
    // kept, the statement interrupted, and the exception thrown again once SQLite has
    // returned, its transaction rolled back and its locks released.
    sqlite3_progress_handler(m_db, 20000, [](void *self) noexcept {
        auto *db = static_cast<Connection *>(self);
        try {
            db->m_progress();
            return 0;
        } catch (...) {
            db->m_interruption = std::current_exception();
            return 1;
        }
    }, this);
}

void Connection::rethrowInterruption()
{
    if (m_interruption)
        std::rethrow_exception(std::exchange(m_interruption, nullptr));
}

void Connection::execute(const QString &sql, const QString &failing)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString reason = execReason(rc, err);
        rethrowInterruption();
        throw EngineError(QStringLiteral("%1: %2.").arg(failing, reason));
    }
}

void Connection::run(const QString &sql, const QString &doing)
{
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    rethrowInterruption();
    if (rc != SQLITE_OK)
        fail(rc, doing);
}

qint64 Connection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const
{
    return sqlite3_changes(m_db);
}

bool Connection::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

void Connection::fail(int result, const QString &doing) const
{
    // A failed prepare may have waited without a statement end to say so.
    if (m_lockWait)
        m_lockWait->finished();
    const QString shown = native(m_path);
    const QString reason = reasonOf(m_db, result);
    switch (result & 0xff) {
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

EngineError Connection::plainError(int result, const QString &failing) const
{
    return EngineError(QStringLiteral("%1: %2.").arg(failing, reasonOf(m_db, result)));
}

void Connection::lockedError(const QString &failing) const
{
    throw EngineError(QStringLiteral("%1: the catalogue %2 is locked by another program; try again in a moment.")
                          .arg(failing, native(m_path)), EngineError::Kind::Locked);
}

qint64 Connection::copyInto(Connection &target, const QString &failing,
                            const std::function<void(qint64 copied, qint64 total)> &progress)
{
    qint64 pages = 0;
    int rc = SQLITE_OK;
    {
        // Finished on every path, also when a progress handler throws, and before the
        // failure is read: finishing sets the target's error.
        struct Backup {
            sqlite3_backup *p;
            ~Backup() { sqlite3_backup_finish(p); }
        } backup{sqlite3_backup_init(target.m_db, "main", m_db, "main")};
        if (!backup.p) {
            rc = sqlite3_errcode(target.m_db);
        } else {
            // In slices, so a large catalogue can show how far the copy is.
            do {
                rc = sqlite3_backup_step(backup.p, 256);
                pages = sqlite3_backup_pagecount(backup.p);
                if (progress && !isLock(rc))
                    progress(pages - sqlite3_backup_remaining(backup.p), pages);
            } while (rc == SQLITE_OK);
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        }
    }
    if (isLock(rc))
        lockedError(failing);
    if (rc != SQLITE_OK)
        throw target.plainError(rc, failing);
    return pages;
}

SqlStatement &Connection::transactionStatement(std::unique_ptr<SqlStatement> &slot, const QString &sql,
                                               const QString &doing)
{
    if (!slot)
        slot = std::make_unique<SqlStatement>(*this, sql, doing);
    return *slot;
}

// ---- transactions --------------------------------------------------------------------

Connection::ReadTransaction::ReadTransaction(Connection &db) : m_db(db)
{
    const QString doing = QStringLiteral("read the catalogue");
    m_db.transactionStatement(m_db.m_commit, CatalogueSql::commit(), doing);
    m_open = m_db.transactionStatement(m_db.m_begin, CatalogueSql::begin(), doing).run() == SqlStatement::Step::Done;
}

Connection::ReadTransaction::~ReadTransaction()
{
    // Ending a transaction that only read gives up a shared lock: it has nothing to fail on.
    if (m_open)
        m_db.m_commit->run();
}

Connection::Snapshot::Snapshot(Connection &db, const QString &failing) : m_db(db)
{
    const int rc = sqlite3_exec(m_db.m_db, CatalogueSql::beginSnapshot().toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return;
    // The reason is read before the transaction ends, which would clear it; the
    // destructor does not run for a constructor that throws.
    const EngineError error = m_db.plainError(rc, failing);
    end();
    if (isLock(rc))
        m_db.lockedError(failing);
    throw error;
}

Connection::Snapshot::~Snapshot()
{
    end();
}

void Connection::Snapshot::end()
{
    if (m_db.inTransaction())
        sqlite3_exec(m_db.m_db, CatalogueSql::commit().toUtf8().constData(), nullptr, nullptr, nullptr);
}

Connection::WriteTransaction::WriteTransaction(Connection &db, const QString &doing) : m_db(db), m_doing(doing)
{
    m_db.transactionStatement(m_db.m_commit, CatalogueSql::commit(), doing);
    m_db.transactionStatement(m_db.m_rollback, CatalogueSql::rollback(), doing);
    SqlStatement &begin = m_db.transactionStatement(m_db.m_beginWrite, CatalogueSql::beginWrite(), doing);
    if (begin.run() != SqlStatement::Step::Done)
        m_db.fail(begin.result(), doing);
}

Connection::WriteTransaction::~WriteTransaction()
{
    // A failed statement may have ended the transaction already.
    if (m_db.inTransaction())
        m_db.m_rollback->run();
}

bool Connection::WriteTransaction::commit()
{
    SqlStatement &commit = *m_db.m_commit;
    const SqlStatement::Step got = commit.run();
    if (got == SqlStatement::Step::KeyViolation)
        return false;
    // Reported before the transaction is rolled back, which would clear SQLite's message.
    if (got != SqlStatement::Step::Done)
        m_db.fail(commit.result(), m_doing);
    return true;
}
