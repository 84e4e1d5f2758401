#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace velumark {

// RAII over one prepared statement. Finalized when destroyed.
class SqliteStatement
{
public:
    enum class Step
    {
        Row,
        Done,
        Error
    };

    explicit SqliteStatement(sqlite3_stmt *handle) : m_handle(handle) {}
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Parameters are numbered from 1, as SQLite numbers them. A null QString binds NULL.
    void bindInt64(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString &value);
    void bindBlob(int index, const QByteArray &value);
    void bindNull(int index);

    // Row and "done" are the only successes; busy, I/O errors and corruption are errors.
    Step step();

    // Columns are numbered from 0. A NULL text reads as the empty (not null) string.
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;
    QByteArray columnBlob(int column) const;
    bool columnIsNull(int column) const;
    // The value is stored as an integer (not as a real, a text, a blob or NULL).
    bool columnIsInteger(int column) const;

    // Makes the statement ready to run again with new bindings.
    void reset();

    sqlite3_stmt *handle() const { return m_handle; }

private:
    sqlite3_stmt *m_handle;
};

class SqliteConnection;

// A statement taken from a connection's cache for one use; reset (and given back) when destroyed.
// Empty (operator bool false) when the statement could not be prepared.
class StatementLease
{
public:
    StatementLease() = default;
    StatementLease(SqliteStatement *cached, bool *busyFlag);
    explicit StatementLease(std::unique_ptr<SqliteStatement> owned);
    ~StatementLease();
    StatementLease(StatementLease &&other) noexcept;
    StatementLease &operator=(StatementLease &&other) noexcept;
    StatementLease(const StatementLease &) = delete;
    StatementLease &operator=(const StatementLease &) = delete;

    explicit operator bool() const { return m_statement != nullptr; }
    SqliteStatement *operator->() const { return m_statement; }
    SqliteStatement &operator*() const { return *m_statement; }

private:
    void release();

    SqliteStatement *m_statement = nullptr;
    bool *m_busy = nullptr;
    std::unique_ptr<SqliteStatement> m_owned;
};

// RAII over one SQLite connection with a cache of prepared statements, so that a statement run
// once per record is compiled once per connection. Used by one thread at a time.
class SqliteConnection
{
public:
    enum class Mode
    {
        ReadWriteCreate,
        ReadWrite,
        ReadOnly
    };

    // Opens the file; on failure returns null and, when asked, the reason.
    static std::unique_ptr<SqliteConnection> open(const QString &path, Mode mode = Mode::ReadWriteCreate,
                                                  QString *error = nullptr);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    bool exec(const QString &sql);
    bool exec(const char *sql);

    // A new statement owned by the caller, or null (see errorMessage()).
    std::unique_ptr<SqliteStatement> prepare(const char *sql);
    // The cached statement for this text. A nested use of the same text gets a fresh statement.
    StatementLease cached(const char *sql);

    // Finalizes every cached statement, then closes. False (and the handle kept) when SQLite
    // refuses, e.g. because a statement is still held elsewhere.
    bool close();
    bool isOpen() const { return m_handle != nullptr; }

    QString errorMessage() const;
    int errorCode() const;
    qint64 lastInsertRowId() const;
    const QString &path() const { return m_path; }
    sqlite3 *handle() const { return m_handle; }

private:
    SqliteConnection(sqlite3 *handle, QString path) : m_handle(handle), m_path(std::move(path)) {}

    struct CachedStatement
    {
        std::unique_ptr<SqliteStatement> statement;
        bool busy = false;
    };

    sqlite3 *m_handle;
    QString m_path;
    std::unordered_map<std::string, CachedStatement> m_cache;
    // The statements most callers ask for by the same constant text, found by its address (and
    // checked against the text) without hashing the text on every call.
    std::unordered_map<const char *, std::pair<const std::string *, CachedStatement *>> m_byAddress;
};

} // namespace velumark

namespace velumark {

// A nestable transaction (a savepoint): rolled back when destroyed without commit().
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteConnection &connection);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;

    // False when the savepoint could not be opened.
    bool isActive() const { return m_active; }
    bool commit();

private:
    SqliteConnection &m_connection;
    bool m_active;
};

} // namespace velumark
