#include "store/DatabaseFile.h"

#include "store/DatabaseError.h"
#include "store/Localization.h"
#include "store/Sqlite.h"

#include <QFile>
#include <QRegularExpression>
#include <sqlite3.h>

namespace velumark {

QString DatabaseFile::resourcePath(const char *name)
{
    return QStringLiteral(":/velumark/") + QString::fromUtf8(name);
}

Result<> DatabaseFile::copyTemplate(const QString &target)
{
    QFile source(resourcePath(kTemplateName));
    if (!source.copy(target)) {
        const QString reason = source.errorString();
        QFile::remove(target);
        return Failure{reason};
    }
    // Files copied out of the resources are read-only.
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return {};
}

namespace {

// The text of a resource script.
Result<QByteArray> scriptText(const char *scriptName)
{
    QFile file(DatabaseFile::resourcePath(scriptName));
    if (!file.open(QIODevice::ReadOnly))
        return Failure{file.errorString()};
    return file.readAll();
}

} // namespace

Result<> DatabaseFile::runScript(SqliteConnection &connection, const char *scriptName)
{
    const Result<QByteArray> text = scriptText(scriptName);
    if (!text)
        return Failure{text.message()};
    if (!connection.exec(text->constData()))
        return Failure{connection.errorMessage()};
    return {};
}

namespace {

bool hasColumn(SqliteConnection &connection, const QString &table, const QString &column)
{
    auto columns =
        connection.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(table).toUtf8().constData());
    while (columns && columns->step() == SqliteStatement::Step::Row) {
        if (columns->columnText(1).compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Runs an upgrade script statement by statement. A column the script adds that the file already
// has is left as it is: files written by other programs (an interchange file must carry the export
// header) may have some of the newer columns already.
Result<> runUpgradeScript(SqliteConnection &connection, const char *scriptName)
{
    const Result<QByteArray> text = scriptText(scriptName);
    if (!text)
        return Failure{text.message()};
    static const QRegularExpression comment(QStringLiteral("--[^\n]*"));
    static const QRegularExpression addColumn(
        QStringLiteral("^\\s*ALTER\\s+TABLE\\s+(\\w+)\\s+ADD\\s+(?:COLUMN\\s+)?(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    QByteArray statement;
    for (const QByteArray &line : text->split('\n')) {
        statement += line + '\n';
        if (!sqlite3_complete(statement.constData()))
            continue;
        const QRegularExpressionMatch added = addColumn.match(QString::fromUtf8(statement).remove(comment));
        if (!added.hasMatch() || !hasColumn(connection, added.captured(1), added.captured(2))) {
            if (!connection.exec(statement.constData()))
                return Failure{connection.errorMessage()};
        }
        statement.clear();
    }
    return {};
}

} // namespace

Result<DatabaseFile::Upgrade> DatabaseFile::upgrade(SqliteConnection &connection, qint64 storedVersion)
{
    Upgrade done;
    if (storedVersion >= kCurrentVersion)
        return done;
    // Scripts written for versions 1 and 2 would rewrite a file of any other kind.
    if (storedVersion < 1)
        return Failure{localized("version %1 is not a version of the catalogue").arg(storedVersion)};
    SqliteTransaction transaction(connection);
    if (!transaction.isActive())
        return Failure{connection.errorMessage()};
    if (storedVersion < 2) {
        if (const Result<> ran = runUpgradeScript(connection, kUpgradeV1ToV2); !ran)
            return Failure{ran.message()};
        done.addArtists = true;
    }
    if (const Result<> ran = runUpgradeScript(connection, kUpgradeV2ToV3); !ran)
        return Failure{ran.message()};
    if (!transaction.commit())
        return Failure{connection.errorMessage()};
    done.mapUpgradedImages = true;
    return done;
}

namespace {
bool stepOnce(SqliteConnection &connection, const char *sql)
{
    auto statement = connection.prepare(sql);
    return statement && statement->step() == SqliteStatement::Step::Done;
}
} // namespace

bool DatabaseFile::beginTransaction(SqliteConnection &connection)
{
    return stepOnce(connection, "begin exclusive transaction");
}

bool DatabaseFile::endTransaction(SqliteConnection &connection)
{
    return stepOnce(connection, "commit transaction");
}

void DatabaseFile::rollbackTransaction(SqliteConnection &connection)
{
    connection.exec("ROLLBACK");
}

Result<> DatabaseFile::filter(const QString &databasePath, const char *scriptName)
{
    QString openError;
    auto connection = SqliteConnection::open(databasePath, SqliteConnection::Mode::ReadWrite, &openError);
    auto fail = [&](const char *format, const QString &detail) -> Result<> {
        return Failure{formatFailure(format, detail)};
    };
    if (!connection)
        return fail("Failed to open database with message '%s'.", openError);
    if (!connection->exec(kCacheSizePragma))
        return fail("Error: failed to set cache size with message '%s'.", connection->errorMessage());
    if (const Result<> ran = runScript(*connection, scriptName); !ran)
        return fail("Error: failed to update the database with message '%s'.", ran.message());
    if (!connection->exec("vacuum;"))
        return fail("Error: failed to compact database with message '%s'.", connection->errorMessage());
    if (!connection->close())
        return fail("Error: failed to close database with message '%s'.", connection->errorMessage());
    return {};
}

Result<> DatabaseFile::copyDatabase(const QString &source, const QString &target)
{
    auto fail = [&](const QString &message) -> Result<> {
        QFile::remove(target);
        return Failure{message};
    };
    QString openError;
    auto from = SqliteConnection::open(source, SqliteConnection::Mode::ReadOnly, &openError);
    if (!from)
        return fail(openError);
    QFile::remove(target);
    auto to = SqliteConnection::open(target, SqliteConnection::Mode::ReadWriteCreate, &openError);
    if (!to)
        return fail(openError);
    sqlite3_backup *backup = sqlite3_backup_init(to->handle(), "main", from->handle(), "main");
    if (!backup)
        return fail(to->errorMessage());
    const int stepResult = sqlite3_backup_step(backup, -1);
    const int finishResult = sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE || finishResult != SQLITE_OK)
        return fail(to->errorMessage());
    if (!to->close())
        return fail(to->errorMessage());
    return {};
}

namespace {

// Opens a file read-only and runs SQLite's integrity check.
Result<std::unique_ptr<SqliteConnection>> openChecked(const QString &databasePath)
{
    QString openError;
    auto connection = SqliteConnection::open(databasePath, SqliteConnection::Mode::ReadOnly, &openError);
    if (!connection)
        return Failure{openError};
    auto check = connection->prepare("PRAGMA quick_check");
    if (!check || check->step() != SqliteStatement::Step::Row || check->columnText(0) != QLatin1String("ok"))
        return Failure{check && !check->columnIsNull(0) ? check->columnText(0) : connection->errorMessage()};
    return connection;
}

} // namespace

Result<> DatabaseFile::checkKnownVersion(const SqliteStatement &row, int column)
{
    if (!row.columnIsInteger(column))
        return Failure{
            localized("its version is \"%1\", which is not a version number").arg(row.columnText(column))};
    const qint64 number = row.columnInt64(column);
    if (number < 1)
        return Failure{localized("its version is %1, which no version of Velumark writes").arg(number)};
    return {};
}

Result<> DatabaseFile::verifyForeign(const QString &databasePath)
{
    const Result<std::unique_ptr<SqliteConnection>> connection = openChecked(databasePath);
    if (!connection)
        return Failure{connection.message()};
    auto version = connection.value()->prepare("SELECT version_num FROM version");
    if (!version || version->step() != SqliteStatement::Step::Row)
        return Failure{localized("it has no version information")};
    if (const Result<> known = checkKnownVersion(*version, 0); !known)
        return known;
    const qint64 number = version->columnInt64(0);
    if (number > kCurrentVersion)
        return Failure{localized("it was made by a newer version of Velumark (database version %1; this "
                                 "version reads versions 1 to %2)")
                           .arg(number)
                           .arg(kCurrentVersion)};
    return {};
}

Result<> DatabaseFile::verify(const QString &databasePath)
{
    const Result<std::unique_ptr<SqliteConnection>> checked = openChecked(databasePath);
    if (!checked)
        return Failure{checked.message()};
    SqliteConnection &connection = *checked.value();
    static const char *const probes[] = {
        "SELECT pk, version_num, creation_date, comments, app_identifier, app_version, export_date, "
        "num_artworks, "
        "num_clients, num_submissions, num_mediums, num_artists, num_images FROM version LIMIT 1",
        "SELECT pk, title, artist, medium, photo1_key, photo2_key, sale_loan, size, created, price, effort, "
        "effort_units, material_cost, location, notes FROM artwork LIMIT 1",
        "SELECT pk, company, status, deadline, response_time, response_time_units, client_type, commission, "
        "contact, address, web, email, phone, fax, notes, payrate FROM client LIMIT 1",
        "SELECT pk, artwork_key, client_key, sent_date, response, response_date, state, income, "
        "valid_due_date, "
        "response_due_date, exhibited, notes, release_signed, submission_type FROM submission LIMIT 1",
        "SELECT pk, name FROM medium LIMIT 1",
        "SELECT pk, name FROM artist LIMIT 1",
        "SELECT pk, type, key, tag, caption, photo, thumbnail FROM image LIMIT 1",
    };
    for (const char *probe : probes) {
        auto statement = connection.prepare(probe);
        if (!statement || statement->step() == SqliteStatement::Step::Error)
            return Failure{connection.errorMessage()};
    }
    auto version = connection.prepare("SELECT version_num FROM version");
    if (!version || version->step() != SqliteStatement::Step::Row)
        return Failure{QStringLiteral("the database has no version row")};
    return {};
}

} // namespace velumark
