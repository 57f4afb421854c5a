#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

// Owns one prepared statement; finalizes it on destruction.
class SqlStatement
{
public:
    SqlStatement() = default;
    SqlStatement(sqlite3 *db, const QString &sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;
    SqlStatement(SqlStatement &&other) noexcept;
    SqlStatement &operator=(SqlStatement &&other) noexcept;

    bool isValid() const { return m_stmt != nullptr; }
    int prepareResult() const { return m_prepareResult; }
    sqlite3_stmt *get() const { return m_stmt; }

    void reset();
    void bindNull(int i) { sqlite3_bind_null(m_stmt, i); }
    void bindInt64(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    void bindText(int i, const QByteArray &utf8);
    void bindBlob(int i, const QByteArray &bytes);
    int step() { return sqlite3_step(m_stmt); }

    qint64 columnInt64(int i) const { return sqlite3_column_int64(m_stmt, i); }
    int columnType(int i) const { return sqlite3_column_type(m_stmt, i); }
    QString columnText(int i) const;
    QByteArray columnBytes(int i) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_prepareResult = SQLITE_OK;
};
