#include "interchange/CatalogueSnapshot.h"

#include "document/VelumarkDatabase.h"

namespace velumark {

CatalogueSnapshot CatalogueSnapshot::take(const VelumarkDatabase &database)
{
    CatalogueSnapshot snapshot;
    snapshot.databasePath = database.dbFilename();
    snapshot.packagePath = database.packageFilename();
    for (const auto &artwork : database.artworks()) {
        const qint64 key = artwork->primaryKey();
        snapshot.artworkKeys.push_back(key);
        auto &images = snapshot.imagesOfArtwork[key];
        for (const Image *image : artwork->images())
            images.push_back(image->primaryKey());
        auto &submissions = snapshot.submissionsOfArtwork[key];
        for (const Submission *submission : artwork->submissions())
            submissions.push_back(submission->primaryKey());
    }
    for (const auto &client : database.clients())
        snapshot.clientKeys.push_back(client->primaryKey());
    for (const auto &submission : database.submissions()) {
        const qint64 key = submission->primaryKey();
        snapshot.submissionKeys.push_back(key);
        if (submission->artwork())
            snapshot.artworkOfSubmission.emplace(key, submission->artwork()->primaryKey());
        if (submission->client())
            snapshot.clientOfSubmission.emplace(key, submission->client()->primaryKey());
    }
    for (const auto &image : database.images())
        snapshot.imageKeys.push_back(image->primaryKey());
    snapshot.availableArtworkCount = database.availableArtworks().size();
    snapshot.mediumCount = database.mediums().size();
    snapshot.artistCount = database.artists().size();
    return snapshot;
}

Result<std::unique_ptr<SqliteConnection>> CatalogueSnapshot::openReadConnection() const
{
    QString error;
    auto connection = SqliteConnection::open(databasePath, SqliteConnection::Mode::ReadOnly, &error);
    if (!connection)
        return Failure{error};
    // The worker reads every record once by key, all over the file: a page cache of a few
    // megabytes keeps the B-tree's inner pages instead of reading them again for each record.
    if (!connection->exec("PRAGMA cache_size=-4096;"))
        return Failure{connection->errorMessage()};
    return connection;
}

} // namespace velumark
