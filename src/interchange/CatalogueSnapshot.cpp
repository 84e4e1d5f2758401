#include "interchange/CatalogueSnapshot.h"

#include "document/VelumarkDatabase.h"

namespace velumark {

CatalogueSnapshot CatalogueSnapshot::take(const VelumarkDatabase &database)
{
    CatalogueSnapshot snapshot;
    snapshot.databasePath = database.dbFilename();
    snapshot.packagePath = database.packageFilename();
    snapshot.artworkKeys.reserve(database.artworks().size());
    snapshot.m_artworkCounts.reserve(database.artworks().size());
    snapshot.m_artworkSubmissions.reserve(database.submissions().size());
    for (const auto &artwork : database.artworks()) {
        snapshot.artworkKeys.push_back(artwork->primaryKey());
        for (const Image *image : artwork->images())
            snapshot.m_artworkImages.push_back(image->primaryKey());
        for (const Submission *submission : artwork->submissions())
            snapshot.m_artworkSubmissions.push_back(submission->primaryKey());
        snapshot.m_artworkCounts.emplace_back(static_cast<quint32>(artwork->images().size()),
                                              static_cast<quint32>(artwork->submissions().size()));
    }
    snapshot.clientKeys.reserve(database.clients().size());
    for (const auto &client : database.clients())
        snapshot.clientKeys.push_back(client->primaryKey());
    snapshot.submissionKeys.reserve(database.submissions().size());
    snapshot.m_links.reserve(database.submissions().size());
    for (const auto &submission : database.submissions()) {
        const qint64 key = submission->primaryKey();
        snapshot.submissionKeys.push_back(key);
        snapshot.m_links.push_back({key, submission->artwork() ? submission->artwork()->primaryKey() : 0,
                                    submission->client() ? submission->client()->primaryKey() : 0});
    }
    snapshot.imageKeys.reserve(database.images().size());
    for (const auto &image : database.images())
        snapshot.imageKeys.push_back(image->primaryKey());
    snapshot.availableArtworkCount = database.availableArtworks().size();
    snapshot.mediumCount = database.mediums().size();
    snapshot.artistCount = database.artists().size();
    return snapshot;
}

void CatalogueSnapshot::index()
{
    if (m_indexed)
        return;
    m_indexed = true;
    imagesOfArtwork.reserve(artworkKeys.size());
    submissionsOfArtwork.reserve(artworkKeys.size());
    auto image = m_artworkImages.cbegin();
    auto submission = m_artworkSubmissions.cbegin();
    for (size_t i = 0; i < artworkKeys.size(); ++i) {
        const auto [images, submissions] = m_artworkCounts[i];
        imagesOfArtwork[artworkKeys[i]].assign(image, image + images);
        submissionsOfArtwork[artworkKeys[i]].assign(submission, submission + submissions);
        image += images;
        submission += submissions;
    }
    artworkOfSubmission.reserve(m_links.size());
    clientOfSubmission.reserve(m_links.size());
    for (const SubmissionLinks &links : m_links) {
        if (links.artwork != 0)
            artworkOfSubmission.emplace(links.submission, links.artwork);
        if (links.client != 0)
            clientOfSubmission.emplace(links.submission, links.client);
    }
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
