#pragma once

#include "store/Result.h"

#include <QString>

namespace velumark {

class SqliteConnection;
class SqliteStatement;

// Operations on a catalogue database file that need no loaded records: creation from the
// template, the schema scripts, the upgrade path, the export filter and the transaction
// statements. The document (VelumarkDatabase) builds its file handling on these.
class DatabaseFile
{
public:
    static constexpr qint64 kCurrentVersion = 3;
    static constexpr const char *kTemplateName = "velumarkdb.sql";
    static constexpr const char *kUpgradeV1ToV2 = "upgradedb_v1_to_v2.sql";
    static constexpr const char *kUpgradeV2ToV3 = "upgradedb_v2_to_v3.sql";
    static constexpr const char *kExportArtworkAndClients = "exportdb_artwork_and_clients.sql";
    static constexpr const char *kExportArtwork = "exportdb_artwork.sql";
    static constexpr const char *kExportClients = "exportdb_clients.sql";
    static constexpr const char *kCacheSizePragma = "PRAGMA cache_size=50;";

    // The path of an application resource.
    static QString resourcePath(const char *name);

    // Copies the template database to the target (which must not exist). Fails with the file
    // system's description; a partial copy is removed.
    static Result<> copyTemplate(const QString &target);

    // Executes a resource script as one text. Fails with SQLite's text (read before anything else
    // happens to the connection).
    static Result<> runScript(SqliteConnection &connection, const char *scriptName);

    // What an upgrade did.
    struct Upgrade
    {
        bool addArtists = false;        // version 1 had no artist table
        bool mapUpgradedImages = false; // old image rows await their artworks
    };
    // Runs the scripts that the stored version needs, all inside one transaction: a script that
    // fails part-way leaves the file at its old version.
    static Result<Upgrade> upgrade(SqliteConnection &connection, qint64 storedVersion);

    // "begin exclusive transaction" / "commit transaction"; false when not completed.
    static bool beginTransaction(SqliteConnection &connection);
    static bool endTransaction(SqliteConnection &connection);
    static void rollbackTransaction(SqliteConnection &connection);

    // Opens another database file, runs an export script on it, compacts and closes it. Any
    // failure fails it (a failed filter must fail the export).
    static Result<> filter(const QString &databasePath, const char *scriptName);

    // Copies a database file through SQLite's online backup, so that the copy is consistent even
    // while another connection has the source open. The target is replaced.
    static Result<> copyDatabase(const QString &source, const QString &target);

    // Checks that a file is a sound catalogue database: it opens without creating, passes
    // PRAGMA quick_check, has the tables of the current schema and a version row.
    static Result<> verify(const QString &databasePath);
    // Checks that a file from outside is a whole catalogue database of any version this
    // application can upgrade: it passes PRAGMA quick_check and has a version row naming a
    // version from 1 to the current one. The failure says why not, in words that follow the
    // file's name ("... cannot be imported: it was made by a newer version ...").
    static Result<> verifyForeign(const QString &databasePath);
    // Fails, in the same words, when the version in a column of a version row names no version of
    // the catalogue (not a whole number, or below 1).
    static Result<> checkKnownVersion(const SqliteStatement &row, int column);
};

} // namespace velumark
