#include "catalogue/engine/SqlStatement.h"

#include <utility>

SqlStatement::SqlStatement(sqlite3 *db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    m_prepareResult = sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size()),
                                         SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    if (m_prepareResult != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

SqlStatement::SqlStatement(SqlStatement &&other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_prepareResult(other.m_prepareResult)
{
}

SqlStatement &SqlStatement::operator=(SqlStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_prepareResult = other.m_prepareResult;
    }
    return *this;
}

void SqlStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void SqlStatement::bindText(int i, const QByteArray &utf8)
{
    sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqlStatement::bindBlob(int i, const QByteArray &bytes)
{
    sqlite3_bind_blob(m_stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
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
