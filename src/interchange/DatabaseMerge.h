#pragma once

#include "interchange/TransferScope.h"
#include "store/Result.h"

#include <QString>
#include <atomic>
#include <functional>
#include <unordered_map>
#include <vector>

namespace velumark {

class SqliteConnection;

// Merges the records of a foreign catalogue database (an interchange file, another package's
// database, or the intermediate file of a CSV import) into a working copy of the document's
// database, giving every record a new key and pointing every link at the new keys. Runs on a
// worker thread and touches no document: the caller replaces the document's file with the
// working copy once the whole merge succeeded.
class DatabaseMerge
{
public:
    struct Settings
    {
        QString foreignPath;   // a private copy: upgrading it changes the file
        QString pictureFolder; // where foreign images find picture files that are not in their rows
        QString tempPhotos;    // where imported pictures are written under their new keys
        TransferScope scope = TransferScope::Complete;
        const std::atomic<bool> *aborted = nullptr;
        std::function<void(double)> progress;
    };

    DatabaseMerge(SqliteConnection &working, Settings settings);
    // Fails with the reason, or when it was stopped through `aborted`.
    Result<> run();
    // Keys of the images written to tempPhotos.
    const std::vector<qint64> &importedImageKeys() const { return m_importedImageKeys; }

private:
    // How the rows of one foreign table come over. Each row is read by its key into a record of
    // the table's kind (wholly, lazy fields too), then `keep` says whether it comes over and may
    // change it (new keys for its links), it is inserted under a new key of the working copy, and
    // `inserted` learns the foreign key and the record with its new key.
    template <typename R> struct Table
    {
        const char *keys;   // "SELECT pk FROM <table>"
        QString unreadable; // "A client of the file to import cannot be read: %1"
        QString refused;    // "A client cannot be imported: %1"
        std::function<bool(R &)> keep;
        std::function<bool(qint64, R &)> inserted;
    };
    template <typename R> bool importTable(SqliteConnection &foreign, const Table<R> &table);

    bool upgradeForeign(SqliteConnection &foreign);
    bool readExpectedRows(SqliteConnection &foreign);
    bool importImages(SqliteConnection &foreign);
    bool importClients(SqliteConnection &foreign);
    bool importArtworks(SqliteConnection &foreign);
    bool importSubmissions(SqliteConnection &foreign);
    bool importMediums(SqliteConnection &foreign);
    bool importArtists(SqliteConnection &foreign);
    bool relinkImportedImages();
    bool addMissingArtistsAndMediums();
    bool addDefaultMediums();

    // Steps through "SELECT pk FROM <table>" of the foreign database, testing for a cancel
    // before every row and counting rows for the progress.
    bool forEachForeignRow(SqliteConnection &foreign, const char *sql,
                           const std::function<bool(qint64)> &row);
    bool cancelled() const { return m_settings.aborted && *m_settings.aborted; }
    bool fail(const QString &message);
    QStringList namesIn(const char *sql);

    SqliteConnection &m_working;
    Settings m_settings;
    QString m_error;
    qint64 m_expectedRows = 0;
    qint64 m_rowsRead = 0;
    std::unordered_map<qint64, qint64> m_newImageKey;
    std::unordered_map<qint64, qint64> m_newClientKey;
    std::unordered_map<qint64, qint64> m_newArtworkKey;
    std::vector<std::pair<qint64, qint64>> m_imageOwners; // new image key, foreign owner key
    std::vector<qint64> m_importedImageKeys;
};

} // namespace velumark
