#include "store/Record.h"

#include "store/DatabaseError.h"

namespace velumark {

std::atomic<quint64> Record::s_changeCount{0};

const char *const Record::kPrepareMessage = "Error: failed to prepare statement with message '%s'.";
const char *const Record::kInsertMessage = "Error: failed to insert into the database with message '%s'.";
const char *const Record::kDeleteMessage = "Error: failed to delete from database with message '%s'.";

int Record::failure(const char *method, const char *messageFormat)
{
    const QString detail = m_database ? m_database->errorMessage() : QStringLiteral("no database connection");
    if (m_abortOnError)
        throw DatabaseError(QString::fromUtf8(method), className(), className(), __LINE__,
                            formatFailure(messageFormat, detail));
    return 1;
}

int Record::loadEagerFields(qint64 key, SqliteConnection *database, bool abortOnError)
{
    m_primaryKey = key;
    m_database = database;
    m_abortOnError = abortOnError;
    const int result = readEagerRow("initWithPrimaryKey");
    m_dirty = false;
    return result;
}

int Record::readEagerRow(const char *method)
{
    if (!m_database)
        return failure(method, kPrepareMessage);
    StatementLease statement = m_database->cached(statements().eager);
    if (!statement)
        return failure(method, kPrepareMessage);
    statement->bindInt64(1, m_primaryKey);
    ++m_revision;
    noteChange();
    switch (statement->step()) {
    case SqliteStatement::Step::Row:
        readEager(*statement);
        break;
    case SqliteStatement::Step::Done:
        applyEagerFallbacks();
        break;
    case SqliteStatement::Step::Error:
        // A read that failed is not a missing row: taking the fallbacks here would let a later
        // save write them over the real values.
        return failure(method, kPrepareMessage);
    }
    eagerFieldsLoaded();
    return 0;
}

int Record::readLazyRow(const char *method)
{
    if (!statements().lazy)
        return 0;
    StatementLease statement = m_database ? m_database->cached(statements().lazy) : StatementLease();
    if (!statement)
        return failure(method, kPrepareMessage);
    statement->bindInt64(1, m_primaryKey);
    ++m_revision;
    noteChange();
    switch (statement->step()) {
    case SqliteStatement::Step::Row:
        readLazy(*statement);
        return 0;
    case SqliteStatement::Step::Done:
        applyLazyFallbacks();
        return 0;
    case SqliteStatement::Step::Error:
        break;
    }
    return failure(method, kPrepareMessage);
}

int Record::insertIntoDatabase(SqliteConnection *database)
{
    m_database = database;
    StatementLease statement = m_database ? m_database->cached(statements().insert) : StatementLease();
    if (!statement)
        return failure("insertIntoDatabase", kPrepareMessage);
    bindInsert(*statement);
    if (statement->step() != SqliteStatement::Step::Done)
        return failure("insertIntoDatabase", kInsertMessage);
    m_primaryKey = m_database->lastInsertRowId();
    statement = StatementLease();
    m_hydrated = true;
    m_dirty = true;
    return save();
}

int Record::hydrate()
{
    if (m_hydrated || m_primaryKey == -1)
        return 0;
    if (readLazyRow("hydrate") != 0)
        return 1;
    m_hydrated = true;
    return 0;
}

int Record::writeChanges()
{
    if (!m_dirty || m_primaryKey == -1)
        return 0;
    if (loadFieldsForSave() != 0)
        return 1;
    StatementLease statement = m_database ? m_database->cached(statements().update) : StatementLease();
    if (!statement)
        return failure("save", kPrepareMessage);
    const int columns = bindUpdate(*statement);
    statement->bindInt64(columns + 1, m_primaryKey);
    if (statement->step() != SqliteStatement::Step::Done)
        return failure("save", statements().saveMessage);
    return 0;
}

int Record::loadFieldsForSave()
{
    if (m_hydrated)
        return 0;
    if (readLazyRow("save") != 0)
        return 1;
    m_hydrated = true;
    return 0;
}

void Record::commitWritten()
{
    m_dirty = false;
    releaseLazyFields();
    m_hydrated = false;
}

int Record::save()
{
    if (writeChanges() != 0)
        return 1;
    m_dirty = false;
    return 0;
}

int Record::dehydrate()
{
    if (save() != 0)
        return 1;
    releaseLazyFields();
    m_hydrated = false;
    return 0;
}

int Record::unload()
{
    if (m_dirty && m_primaryKey != -1 && readEagerRow("unload") != 0)
        return 1;
    m_dirty = false;
    return dehydrate();
}

int Record::deleteFromDatabase()
{
    if (m_primaryKey == -1)
        return 0;
    StatementLease statement = m_database ? m_database->cached(statements().remove) : StatementLease();
    if (!statement)
        return failure("deleteFromDatabase", kPrepareMessage);
    statement->bindInt64(1, m_primaryKey);
    if (statement->step() != SqliteStatement::Step::Done)
        return failure("deleteFromDatabase", kDeleteMessage);
    return 0;
}

} // namespace velumark
