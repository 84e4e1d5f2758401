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
    static CatalogueSnapshot take(const VelumarkDatabase &database);

    // Worker thread: a read-only connection to the document's file.
    Result<std::unique_ptr<SqliteConnection>> openReadConnection() const;
};

} // namespace velumark
