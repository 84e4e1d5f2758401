#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace velumark::bench {

// What each figure is compared with, measured in the same run: the raw SQLite C API, the sqlite3
// command-line shell or libvips doing the same work without the catalogue's objects.

// Reads every eager column of every record the way a plain program would: "SELECT pk" per table,
// then one prepared statement per table, reset and bound again for each key, all inside one read
// transaction. Returns the number of records read.
qint64 rawEagerRead(const QString &databasePath);

// One row of a flush: the table's update statement with every column bound as it is stored.
struct RawUpdate
{
    const char *sql;
    qint64 key;
    std::vector<QByteArray> texts; // one per column; a null array binds NULL
    std::vector<int> kinds;        // per column: 0 integer, 1 real, 2 text
};
// Reads the rows whose key is a multiple of everyNth, with the artwork's price, the client's
// commission or the submission's income raised by `delta`.
std::vector<RawUpdate> rawUpdatesFor(const QString &databasePath, int everyNth, double delta);
// Runs the updates in one exclusive transaction on a connection with the document's page cache.
void rawFlush(const QString &databasePath, const std::vector<RawUpdate> &updates);

// The sqlite3 shell writing the rows of the CSV export (".mode csv"); returns the bytes written.
qint64 sqliteShellCsv(const QString &databasePath, const QString &outputPath, double *seconds);
// The sqlite3 shell reading a CSV file into a table (".import --csv"); returns the seconds.
double sqliteShellImport(const QString &csvPath, const QString &databasePath);

// Copies every table of `source` into a fresh template database with INSERT INTO ... SELECT between
// two attached databases, in one transaction; returns the seconds (the template copy excluded).
double attachedCopy(const QString &source, const QString &target);

// libvips makes the photo (longest side 1280), the thumbnail (320) and the middle square of the
// thumbnail as three JPEG files of quality 60; returns the seconds.
bool initVips(const char *argv0);
double vipsPhoto(const QString &picture, const QString &folder);

} // namespace velumark::bench
