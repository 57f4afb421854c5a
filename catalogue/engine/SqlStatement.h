#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

class Connection;
struct sqlite3_stmt;

// Owns one prepared statement on a connection; finalizes it on destruction. `doing`
// names the work in its failure messages ("read the catalogue"): a failure to prepare
// or to step throws the connection's translation of it.
class SqlStatement
{
public:
    // What one step gave, for the callers that answer a failure themselves.
    enum class Step { Row, Done, KeyViolation, Failed };

    // A statement the caller can do without, or whose failure it answers itself, is
    // prepared with MayFail: isValid() and result() tell how that went.
    enum class Prepare { OrThrow, MayFail };

    SqlStatement(Connection &db, const QString &sql, QString doing, Prepare prepare = Prepare::OrThrow);
    ~SqlStatement();
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    // Ready for the next run: back to the start, parameters unbound.
    void reset();
    void bindNull(int i);
    void bindInt64(int i, qint64 v);
    void bindText(int i, const QByteArray &utf8);
    void bindBlob(int i, const QByteArray &bytes);
    // Null, a flag as 0 or 1, bytes as a BLOB, anything else as text.
    void bindValue(int i, const QVariant &value);

    // True for a row, false when done; a failure throws.
    bool step();
    Step tryStep();
    // reset(), tryStep() and reset() again: for statements that return no rows.
    Step run();
    // Steps to the end, appending column `col` of every row as an integer; a failure
    // throws. One call for a whole list of row ids, without a call per row.
    void appendInt64Column(int col, std::vector<qint64> &out);
    // Throws the translation of the failure the last step gave.
    [[noreturn]] void fail() const;
    // SQLite's result of the last step (or of preparing, before any step).
    int result() const { return m_result; }

    bool columnIsNull(int i) const;
    qint64 columnInt64(int i) const;
    QString columnText(int i) const;
    // The stored bytes: a text's UTF-8, a BLOB's bytes.
    QByteArray columnBytes(int i) const;

private:
    Connection &m_db;
    QString m_doing;
    sqlite3_stmt *m_stmt = nullptr;
    int m_result = 0;
};
