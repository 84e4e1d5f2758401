#pragma once

#include "store/Result.h"
#include "store/Sqlite.h"

#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

namespace velumark {

class VelumarkDatabase;

// What a worker thread needs to write out a document without touching the document's lists or
// records, which the main thread may be reading: the keys of every list in the document's order
// and the in-memory links between them. The worker reads the records themselves through a
// connection of its own (openReadConnection), after the document saved its changes.
struct CatalogueSnapshot
{
    QString databasePath;
    QString packagePath;
    std::vector<qint64> artworkKeys;                                 // the order of the artwork list
    std::vector<qint64> clientKeys;                                  // the order of the client list
    std::vector<qint64> submissionKeys;                              // the order of the submission list
    std::vector<qint64> imageKeys;                                   // the document's images, in load order
    std::unordered_map<qint64, std::vector<qint64>> imagesOfArtwork; // in the artwork's order
    std::unordered_map<qint64, std::vector<qint64>> submissionsOfArtwork; // newest first
    std::unordered_map<qint64, qint64> artworkOfSubmission;               // linked artworks only
    std::unordered_map<qint64, qint64> clientOfSubmission;                // linked clients only
    size_t availableArtworkCount = 0;
    size_t mediumCount = 0;
    size_t artistCount = 0;

    // Main thread: the document must have saved its changes first (VelumarkDatabase::saveChanges).
    // Only keys are copied here, into flat lists; the tables of links above stay empty until
    // index() makes them, so that the main thread never waits for a hundred thousand insertions.
    static CatalogueSnapshot take(const VelumarkDatabase &database);
    // Worker thread, before the tables of links are read; once is enough.
    void index();

    // Worker thread: a read-only connection to the document's file.
    Result<std::unique_ptr<SqliteConnection>> openReadConnection() const;

private:
    struct SubmissionLinks
    {
        qint64 submission;
        qint64 artwork; // 0 when not linked
        qint64 client;  // 0 when not linked
    };
    std::vector<SubmissionLinks> m_links;
    // Each artwork's images, then its submissions, in turn in the order of artworkKeys.
    std::vector<qint64> m_artworkImages;
    std::vector<qint64> m_artworkSubmissions;
    std::vector<std::pair<quint32, quint32>> m_artworkCounts; // images, submissions
    bool m_indexed = false;
};

} // namespace velumark
