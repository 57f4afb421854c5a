#include "catalogue/engine/SqlStatement.h"

#include "catalogue/engine/Connection.h"

#include <sqlite3.h>
#include <utility>

SqlStatement::SqlStatement(Connection &db, const QString &sql, QString doing, Prepare prepare)
    : m_db(db), m_doing(std::move(doing))
{
    const QByteArray utf8 = sql.toUtf8();
    m_result = sqlite3_prepare_v3(db.m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt,
                                  nullptr);
    if (m_result == SQLITE_OK)
        return;
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    if (prepare == Prepare::OrThrow)
        fail();
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqlStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void SqlStatement::bindNull(int i)
{
    sqlite3_bind_null(m_stmt, i);
}

void SqlStatement::bindInt64(int i, qint64 v)
{
    sqlite3_bind_int64(m_stmt, i, v);
}

void SqlStatement::bindText(int i, const QByteArray &utf8)
{
    sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqlStatement::bindBlob(int i, const QByteArray &bytes)
{
    sqlite3_bind_blob(m_stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void SqlStatement::bindValue(int i, const QVariant &v)
{
    if (v.isNull())
        bindNull(i);
    else if (v.typeId() == QMetaType::Bool)
        bindInt64(i, v.toBool() ? 1 : 0);
    else if (v.typeId() == QMetaType::QByteArray)
        bindBlob(i, v.toByteArray());
    else
        bindText(i, v.toString().toUtf8());
}

SqlStatement::Step SqlStatement::tryStep()
{
    m_result = sqlite3_step(m_stmt);
    switch (m_result) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        break;
    }
    const int extended = sqlite3_extended_errcode(m_db.m_db);
    if (extended == SQLITE_CONSTRAINT_PRIMARYKEY || extended == SQLITE_CONSTRAINT_UNIQUE)
        return Step::KeyViolation;
    return Step::Failed;
}

bool SqlStatement::step()
{
    const Step got = tryStep();
    if (got != Step::Row && got != Step::Done)
        fail();
    return got == Step::Row;
}

SqlStatement::Step SqlStatement::run()
{
    reset();
    const Step got = tryStep();
    reset();
    return got;
}

void SqlStatement::appendInt64Column(int col, std::vector<qint64> &out)
{
    while ((m_result = sqlite3_step(m_stmt)) == SQLITE_ROW)
        out.push_back(sqlite3_column_int64(m_stmt, col));
    if (m_result != SQLITE_DONE)
        fail();
}

void SqlStatement::fail() const
{
    m_db.fail(m_result, m_doing);
}

bool SqlStatement::columnIsNull(int i) const
{
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

qint64 SqlStatement::columnInt64(int i) const
{
    return sqlite3_column_int64(m_stmt, i);
}

QString SqlStatement::columnText(int i) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, i));
}

QByteArray SqlStatement::columnBytes(int i) const
{
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, i));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, i));
}
