// libvips comes before Qt: glib names a member "signals", which Qt defines as a keyword.
// clang-format off
#include <vips/vips.h>
#include "Baselines.h"
// clang-format on

#include "BenchSupport.h"
#include "store/DatabaseFile.h"

#include <QDir>
#include <QProcess>
#include <sqlite3.h>
#include <string>

namespace velumark::bench {

namespace {

sqlite3 *openRaw(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK)
        qFatal("sqlite3_open_v2 %s: %s", qPrintable(path), sqlite3_errmsg(db));
    sqlite3_exec(db, "PRAGMA cache_size=50;", nullptr, nullptr, nullptr);
    return db;
}

void execRaw(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK)
        qFatal("%s: %s", sql, message);
}

sqlite3_stmt *prepareRaw(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
    return statement;
}

struct EagerQuery
{
    const char *table;
    const char *keys;
    const char *eager;
};

const EagerQuery kEagerQueries[] = {
    {"artwork", "SELECT pk FROM artwork",
     "SELECT title, artist, medium, photo1_key, photo2_key, sale_loan, size, created FROM artwork WHERE "
     "pk=?"},
    {"client", "SELECT pk FROM client",
     "SELECT company, status, deadline, response_time, response_time_units FROM client WHERE pk=?"},
    {"submission", "SELECT pk FROM submission",
     "SELECT artwork_key, client_key, sent_date, response, response_date, state, income, valid_due_date, "
     "response_due_date, exhibited FROM submission WHERE pk=?"},
    {"medium", "SELECT pk FROM medium", "SELECT name FROM medium WHERE pk=?"},
    {"artist", "SELECT pk FROM artist", "SELECT name FROM artist WHERE pk=?"},
    {"image", "SELECT pk FROM image", "SELECT type, key, tag FROM image WHERE pk=?"},
};

// A loaded row: what a plain program keeps of the eager columns.
struct RawRow
{
    qint64 key = 0;
    std::vector<std::string> texts;
    std::vector<double> numbers;
};

} // namespace

qint64 rawEagerRead(const QString &databasePath)
{
    sqlite3 *db = openRaw(databasePath, SQLITE_OPEN_READONLY);
    execRaw(db, "BEGIN");
    std::vector<std::vector<RawRow>> tables;
    qint64 count = 0;
    for (const EagerQuery &query : kEagerQueries) {
        std::vector<qint64> keys;
        sqlite3_stmt *keyQuery = prepareRaw(db, query.keys);
        while (sqlite3_step(keyQuery) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(keyQuery, 0));
        sqlite3_finalize(keyQuery);
        sqlite3_stmt *eager = prepareRaw(db, query.eager);
        const int columns = sqlite3_column_count(eager);
        std::vector<RawRow> rows;
        rows.reserve(keys.size());
        for (const qint64 key : keys) {
            sqlite3_bind_int64(eager, 1, key);
            if (sqlite3_step(eager) == SQLITE_ROW) {
                RawRow row;
                row.key = key;
                for (int c = 0; c < columns; ++c) {
                    if (sqlite3_column_type(eager, c) == SQLITE_TEXT) {
                        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(eager, c));
                        row.texts.emplace_back(text, static_cast<size_t>(sqlite3_column_bytes(eager, c)));
                    } else {
                        row.numbers.push_back(sqlite3_column_double(eager, c));
                    }
                }
                rows.push_back(std::move(row));
            }
            sqlite3_reset(eager);
        }
        sqlite3_finalize(eager);
        count += static_cast<qint64>(rows.size());
        tables.push_back(std::move(rows));
    }
    execRaw(db, "COMMIT");
    sqlite3_close(db);
    return count;
}

std::vector<RawUpdate> rawUpdatesFor(const QString &databasePath, int everyNth, double delta)
{
    struct Table
    {
        const char *select; // every column of the update, then pk
        const char *update;
        int changed; // the column the benchmark changes
    };
    const Table tables[] = {
        {"SELECT title, photo1_key, photo2_key, artist, sale_loan, price, medium, size, created, effort, "
         "effort_units, material_cost, location, notes, pk FROM artwork",
         "UPDATE artwork SET title=?, photo1_key=?, photo2_key=?, artist=?, sale_loan=?, price=?, medium=?, "
         "size=?, created=?,  effort=?, effort_units=?, material_cost=?, location=?, notes=? WHERE pk=?",
         5},
        {"SELECT client_type, company, commission, deadline, contact, address, web, email, phone, fax, "
         "status, "
         "notes, response_time, response_time_units, payrate, pk FROM client",
         "UPDATE client SET client_type=?, company=?, commission=?, deadline=?, contact=?, address=?, web=?, "
         "email=?, phone=?, fax=?, status=?, notes=?, response_time=?, response_time_units=?, payrate=? "
         "WHERE "
         "pk=?",
         2},
        {"SELECT artwork_key, client_key, sent_date, response, response_date, state, income, valid_due_date, "
         "response_due_date, notes, release_signed, exhibited, submission_type, pk FROM submission",
         "UPDATE submission SET artwork_key=?, client_key=?, sent_date=?, response=?, response_date=?, "
         "state=?, "
         "income=?, valid_due_date=?, response_due_date=?, notes=?, release_signed=?, exhibited=?, "
         "submission_type=? WHERE pk=?",
         6},
    };
    sqlite3 *db = openRaw(databasePath, SQLITE_OPEN_READONLY);
    std::vector<RawUpdate> updates;
    for (const Table &table : tables) {
        sqlite3_stmt *select = prepareRaw(db, table.select);
        const int columns = sqlite3_column_count(select) - 1;
        while (sqlite3_step(select) == SQLITE_ROW) {
            const qint64 key = sqlite3_column_int64(select, columns);
            if (key % everyNth != 0)
                continue;
            RawUpdate update{table.update, key, {}, {}};
            for (int c = 0; c < columns; ++c) {
                const int type = sqlite3_column_type(select, c);
                if (c == table.changed) {
                    update.kinds.push_back(1);
                    update.texts.push_back(
                        QByteArray::number(sqlite3_column_double(select, c) + delta, 'g', 17));
                } else if (type == SQLITE_NULL) {
                    update.kinds.push_back(2);
                    update.texts.push_back(QByteArray());
                } else {
                    update.kinds.push_back(type == SQLITE_INTEGER ? 0 : type == SQLITE_FLOAT ? 1 : 2);
                    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select, c));
                    update.texts.push_back(QByteArray(text, sqlite3_column_bytes(select, c)));
                }
            }
            updates.push_back(std::move(update));
        }
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return updates;
}

void rawFlush(const QString &databasePath, const std::vector<RawUpdate> &updates)
{
    sqlite3 *db = openRaw(databasePath, SQLITE_OPEN_READWRITE);
    execRaw(db, "begin exclusive transaction");
    std::vector<std::pair<const char *, sqlite3_stmt *>> statements;
    for (const RawUpdate &update : updates) {
        sqlite3_stmt *statement = nullptr;
        for (const auto &[sql, prepared] : statements) {
            if (sql == update.sql)
                statement = prepared;
        }
        if (!statement) {
            statement = prepareRaw(db, update.sql);
            statements.emplace_back(update.sql, statement);
        }
        const int columns = static_cast<int>(update.texts.size());
        for (int c = 0; c < columns; ++c) {
            const QByteArray &value = update.texts[static_cast<size_t>(c)];
            if (value.isNull())
                sqlite3_bind_null(statement, c + 1);
            else if (update.kinds[static_cast<size_t>(c)] == 0)
                sqlite3_bind_int64(statement, c + 1, value.toLongLong());
            else if (update.kinds[static_cast<size_t>(c)] == 1)
                sqlite3_bind_double(statement, c + 1, value.toDouble());
            else
                sqlite3_bind_text(statement, c + 1, value.constData(), static_cast<int>(value.size()),
                                  SQLITE_TRANSIENT);
        }
        sqlite3_bind_int64(statement, columns + 1, update.key);
        if (sqlite3_step(statement) != SQLITE_DONE)
            qFatal("update: %s", sqlite3_errmsg(db));
        sqlite3_reset(statement);
    }
    for (const auto &[sql, prepared] : statements)
        sqlite3_finalize(prepared);
    execRaw(db, "COMMIT");
    sqlite3_close(db);
}

qint64 sqliteShellCsv(const QString &databasePath, const QString &outputPath, double *seconds)
{
    const QString sql = QStringLiteral(
        "SELECT title, artist, sale_loan, price, medium, size, created, effort, effort_units, material_cost, "
        "location, notes FROM artwork;"
        "SELECT company, commission, payrate, deadline, response_time, response_time_units, status, contact, "
        "address, web, email, phone, fax, notes, client_type FROM client;"
        "SELECT a.title, c.company, s.sent_date, s.response_due_date, s.response, s.response_date, s.state, "
        "s.income, s.notes, s.release_signed, s.submission_type, s.exhibited FROM submission s "
        "JOIN artwork a ON a.pk=s.artwork_key JOIN client c ON c.pk=s.client_key;");
    QProcess shell;
    shell.setStandardOutputFile(outputPath);
    *seconds = timed([&] {
        shell.start(QStringLiteral("sqlite3"),
                    {QStringLiteral("-readonly"), QStringLiteral("-csv"), databasePath, sql});
        if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
            qFatal("sqlite3 -csv failed: %s", shell.readAllStandardError().constData());
    });
    return fileSize(outputPath);
}

double sqliteShellImport(const QString &csvPath, const QString &databasePath)
{
    removePath(databasePath);
    {
        sqlite3 *db = openRaw(databasePath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        execRaw(db,
                "CREATE TABLE rows (c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c15, c16)");
        sqlite3_close(db);
    }
    QProcess shell;
    // Rows of other widths are reported on standard error, one line each; that is not measured.
    shell.setStandardErrorFile(QProcess::nullDevice());
    return timed([&] {
        shell.start(QStringLiteral("sqlite3"),
                    {databasePath, QStringLiteral(".import --csv %1 rows").arg(csvPath)});
        if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
            qFatal("sqlite3 .import failed");
    });
}

double attachedCopy(const QString &source, const QString &target)
{
    removePath(target);
    if (const Result<> copied = DatabaseFile::copyTemplate(target); !copied)
        qFatal("template: %s", qPrintable(copied.message()));
    return timed([&] {
        sqlite3 *db = openRaw(target, SQLITE_OPEN_READWRITE);
        const QByteArray attach = "ATTACH DATABASE '" + source.toUtf8().replace('\'', "''") + "' AS source";
        execRaw(db, attach.constData());
        execRaw(db, "BEGIN");
        for (const char *table :
             {"artwork", "client", "submission", "medium", "artist", "image", "version"}) {
            const std::string copy =
                std::string("INSERT INTO main.") + table + " SELECT * FROM source." + table;
            execRaw(db, copy.c_str());
        }
        execRaw(db, "COMMIT");
        sqlite3_close(db);
    });
}

bool initVips(const char *argv0)
{
    if (VIPS_INIT(argv0) != 0)
        return false;
    // Every run must do the work again, not find it in the operation cache.
    vips_cache_set_max(0);
    return true;
}

double vipsPhoto(const QString &picture, const QString &folder)
{
    const QByteArray input = picture.toUtf8();
    const QByteArray photoFile = QDir(folder).filePath(QStringLiteral("vips-photo.jpg")).toUtf8();
    const QByteArray thumbnailFile = QDir(folder).filePath(QStringLiteral("vips-thumbnail.jpg")).toUtf8();
    const QByteArray squareFile = QDir(folder).filePath(QStringLiteral("vips-square.jpg")).toUtf8();
    return timed([&] {
        VipsImage *scaled = nullptr;
        if (vips_thumbnail(input.constData(), &scaled, 1280, nullptr) != 0)
            qFatal("vips_thumbnail: %s", vips_error_buffer());
        // The photo is made once and both the file and the thumbnail come from it.
        VipsImage *photo = vips_image_copy_memory(scaled);
        g_object_unref(scaled);
        VipsImage *thumbnail = nullptr;
        VipsImage *square = nullptr;
        if (!photo || vips_jpegsave(photo, photoFile.constData(), "Q", 60, nullptr) != 0 ||
            vips_thumbnail_image(photo, &thumbnail, 320, nullptr) != 0)
            qFatal("vips: %s", vips_error_buffer());
        VipsImage *thumbnailInMemory = vips_image_copy_memory(thumbnail);
        g_object_unref(thumbnail);
        const int width = vips_image_get_width(thumbnailInMemory);
        const int height = vips_image_get_height(thumbnailInMemory);
        const int side = std::min(width, height);
        if (vips_jpegsave(thumbnailInMemory, thumbnailFile.constData(), "Q", 60, nullptr) != 0 ||
            vips_extract_area(thumbnailInMemory, &square, (width - side) / 2, (height - side) / 2, side, side,
                              nullptr) != 0 ||
            vips_jpegsave(square, squareFile.constData(), "Q", 60, nullptr) != 0)
            qFatal("vips: %s", vips_error_buffer());
        g_object_unref(square);
        g_object_unref(thumbnailInMemory);
        g_object_unref(photo);
    });
}

} // namespace velumark::bench
