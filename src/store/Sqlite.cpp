#include "store/Sqlite.h"

#include <cstring>
#include <sqlite3.h>

namespace velumark {

namespace {
const QString &emptyText()
{
    static const QString empty = QStringLiteral("");
    return empty;
}
} // namespace

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_handle);
}

void SqliteStatement::bindInt64(int index, qint64 value)
{
    sqlite3_bind_int64(m_handle, index, value);
}

void SqliteStatement::bindDouble(int index, double value)
{
    sqlite3_bind_double(m_handle, index, value);
}

void SqliteStatement::bindText(int index, const QString &value)
{
    if (value.isNull()) {
        sqlite3_bind_null(m_handle, index);
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text64(m_handle, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindBlob(int index, const QByteArray &value)
{
    if (value.isNull()) {
        sqlite3_bind_null(m_handle, index);
        return;
    }
    sqlite3_bind_blob64(m_handle, index, value.constData(), static_cast<sqlite3_uint64>(value.size()),
                        SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_handle, index);
}

SqliteStatement::Step SqliteStatement::step()
{
    switch (sqlite3_step(m_handle)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

qint64 SqliteStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_handle, column);
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_handle, column);
}

QString SqliteStatement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_handle, column));
    if (!text)
        return emptyText();
    const int bytes = sqlite3_column_bytes(m_handle, column);
    if (bytes == 0)
        return emptyText();
    return QString::fromUtf8(text, bytes);
}

QByteArray SqliteStatement::columnBlob(int column) const
{
    const void *data = sqlite3_column_blob(m_handle, column);
    const int bytes = sqlite3_column_bytes(m_handle, column);
    if (!data || bytes <= 0)
        return {};
    return QByteArray(static_cast<const char *>(data), bytes);
}

bool SqliteStatement::columnIsNull(int column) const
{
    return sqlite3_column_type(m_handle, column) == SQLITE_NULL;
}

bool SqliteStatement::columnIsInteger(int column) const
{
    return sqlite3_column_type(m_handle, column) == SQLITE_INTEGER;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_handle);
    sqlite3_clear_bindings(m_handle);
}

StatementLease::StatementLease(SqliteStatement *cached, bool *busyFlag)
    : m_statement(cached), m_busy(busyFlag)
{
    *m_busy = true;
}

StatementLease::StatementLease(std::unique_ptr<SqliteStatement> owned)
    : m_statement(owned.get()), m_owned(std::move(owned))
{}

StatementLease::~StatementLease()
{
    release();
}

StatementLease::StatementLease(StatementLease &&other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)), m_busy(std::exchange(other.m_busy, nullptr)),
      m_owned(std::move(other.m_owned))
{}

StatementLease &StatementLease::operator=(StatementLease &&other) noexcept
{
    if (this != &other) {
        release();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_busy = std::exchange(other.m_busy, nullptr);
        m_owned = std::move(other.m_owned);
    }
    return *this;
}

void StatementLease::release()
{
    if (m_busy) {
        m_statement->reset();
        *m_busy = false;
    }
    m_busy = nullptr;
    m_statement = nullptr;
    m_owned.reset();
}

std::unique_ptr<SqliteConnection> SqliteConnection::open(const QString &path, Mode mode, QString *error)
{
    int flags = SQLITE_OPEN_READWRITE;
    if (mode == Mode::ReadWriteCreate)
        flags |= SQLITE_OPEN_CREATE;
    else if (mode == Mode::ReadOnly)
        flags = SQLITE_OPEN_READONLY;
    // A connection serves one thread at a time (its statement cache is not shared either), so
    // SQLite need not lock it on every call.
    flags |= SQLITE_OPEN_NOMUTEX;
    // Nothing reads SQLite's memory statistics; keeping them takes a global lock on every allocation.
    static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(configured);
    sqlite3 *handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error =
                handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        return nullptr;
    }
    sqlite3_extended_result_codes(handle, 1);
    // Worker threads read the document's file through connections of their own.
    sqlite3_busy_timeout(handle, 5000);
    return std::unique_ptr<SqliteConnection>(new SqliteConnection(handle, path));
}

SqliteConnection::~SqliteConnection()
{
    m_byAddress.clear();
    m_cache.clear();
    if (m_handle)
        sqlite3_close_v2(m_handle);
}

bool SqliteConnection::exec(const QString &sql)
{
    return exec(sql.toUtf8().constData());
}

bool SqliteConnection::exec(const char *sql)
{
    return sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::unique_ptr<SqliteStatement> SqliteConnection::prepare(const char *sql)
{
    sqlite3_stmt *handle = nullptr;
    if (sqlite3_prepare_v2(m_handle, sql, -1, &handle, nullptr) != SQLITE_OK || !handle) {
        sqlite3_finalize(handle);
        return nullptr;
    }
    return std::make_unique<SqliteStatement>(handle);
}

StatementLease SqliteConnection::cached(const char *sql)
{
    if (auto known = m_byAddress.find(sql);
        known != m_byAddress.end() && std::strcmp(known->second.first->c_str(), sql) == 0) {
        CachedStatement &entry = *known->second.second;
        if (entry.busy)
            return StatementLease(prepare(sql));
        return StatementLease(entry.statement.get(), &entry.busy);
    }
    auto [it, inserted] = m_cache.try_emplace(std::string(sql));
    CachedStatement &entry = it->second;
    if (entry.busy)
        return StatementLease(prepare(sql));
    if (!entry.statement) {
        sqlite3_stmt *handle = nullptr;
        if (sqlite3_prepare_v3(m_handle, sql, -1, SQLITE_PREPARE_PERSISTENT, &handle, nullptr) != SQLITE_OK ||
            !handle) {
            sqlite3_finalize(handle);
            m_cache.erase(it);
            return {};
        }
        entry.statement = std::make_unique<SqliteStatement>(handle);
    }
    m_byAddress[sql] = {&it->first, &entry};
    return StatementLease(entry.statement.get(), &entry.busy);
}

bool SqliteConnection::close()
{
    if (!m_handle)
        return true;
    m_byAddress.clear();
    m_cache.clear();
    if (sqlite3_close(m_handle) != SQLITE_OK)
        return false;
    m_handle = nullptr;
    return true;
}

QString SqliteConnection::errorMessage() const
{
    return m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QStringLiteral("database is closed");
}

int SqliteConnection::errorCode() const
{
    return m_handle ? sqlite3_errcode(m_handle) : SQLITE_MISUSE;
}

qint64 SqliteConnection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_handle);
}

} // namespace velumark

namespace velumark {

SqliteTransaction::SqliteTransaction(SqliteConnection &connection)
    : m_connection(connection), m_active(connection.exec("SAVEPOINT velumark_work"))
{}

SqliteTransaction::~SqliteTransaction()
{
    if (m_active) {
        m_connection.exec("ROLLBACK TO velumark_work");
        m_connection.exec("RELEASE velumark_work");
    }
}

bool SqliteTransaction::commit()
{
    if (!m_active || !m_connection.exec("RELEASE velumark_work"))
        return false;
    m_active = false;
    return true;
}

} // namespace velumark
