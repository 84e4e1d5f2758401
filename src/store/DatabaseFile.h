#pragma once

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

    // Copies the template database to the target (which must not exist). False with the file
    // system's description on failure; a partial copy is removed.
    static bool copyTemplate(const QString &target, QString *error);

    // Executes a resource script as one text. On failure returns false with SQLite's text (read
    // before anything else happens to the connection).
    static bool runScript(SqliteConnection &connection, const char *scriptName, QString *error);

    // What an upgrade did.
    struct Upgrade
    {
        bool succeeded = false;
        bool addArtists = false;        // version 1 had no artist table
        bool mapUpgradedImages = false; // old image rows await their artworks
        QString error;
    };
    // Runs the scripts that the stored version needs, all inside one transaction: a script that
    // fails part-way leaves the file at its old version.
    static Upgrade upgrade(SqliteConnection &connection, qint64 storedVersion);

    // "begin exclusive transaction" / "commit transaction"; false when not completed.
    static bool beginTransaction(SqliteConnection &connection);
    static bool endTransaction(SqliteConnection &connection);
    static void rollbackTransaction(SqliteConnection &connection);

    // Opens another database file, runs an export script on it, compacts and closes it.
    // False with a message on any failure (a failed filter must fail the export).
    static bool filter(const QString &databasePath, const char *scriptName, QString *error);

    // Copies a database file through SQLite's online backup, so that the copy is consistent even
    // while another connection has the source open. The target is replaced.
    static bool copyDatabase(const QString &source, const QString &target, QString *error);

    // Checks that a file is a sound catalogue database: it opens without creating, passes
    // PRAGMA quick_check, has the tables of the current schema and a version row.
    static bool verify(const QString &databasePath, QString *error);
    // Checks that a file from outside is a whole catalogue database of any version this
    // application can upgrade: it passes PRAGMA quick_check and has a version row naming a
    // version from 1 to the current one. The error says why not, in words that follow the file's
    // name ("... cannot be imported: it was made by a newer version ...").
    static bool verifyForeign(const QString &databasePath, QString *error);
    // Why the version in a column of a version row names no version of the catalogue (not a
    // whole number, or below 1), in the same words; empty when it names one.
    static QString unknownVersion(const SqliteStatement &row, int column);
};

} // namespace velumark
