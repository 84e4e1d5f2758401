#pragma once

#include "store/Artist.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Image.h"
#include "store/Medium.h"
#include "store/Sqlite.h"
#include "store/Submission.h"

#include <QDateTime>
#include <memory>
#include <vector>

namespace velumark {

template <typename T> using OwnedRecords = std::vector<std::unique_ptr<T>>;

// The orders of the three main lists: what the list directions and the artwork preference ask for.
struct CatalogueOrder
{
    bool artworksByArtist = false;
    bool artworksAscending = true;
    bool clientsAscending = true;
    bool submissionsAscending = true;
    bool operator==(const CatalogueOrder &) const = default;
};

// What a catalogue's database holds, as records linked to one another (the submissions to their
// artworks and clients, the images to their artworks): the document's collections, or what a load
// made for the document to take over. Every record works on `database`.
struct CatalogueContents
{
    std::unique_ptr<SqliteConnection> database;
    qint64 versionPrimaryKey = -1;
    qint64 versionNumber = 0;
    QDateTime creationDate;

    OwnedRecords<Artwork> artworks;
    std::vector<Artwork *> availableArtworks; // for sale or loan, by title
    OwnedRecords<Client> clients;
    std::vector<Client *> availableClients; // open, by company
    OwnedRecords<Submission> submissions;
    OwnedRecords<Medium> mediums;
    OwnedRecords<Artist> artists;
    OwnedRecords<Image> images;

    // Hands every record the connection and keeps it; the one held before is closed.
    void useConnection(std::unique_ptr<SqliteConnection> connection);
    // Unlinks and frees every record; the connection stays.
    void clearRecords();
};

// What a load hands over: the contents, sorted in `order`, the images whose rows the load deleted
// (their files go once the contents are taken over) and the overdue count.
struct CatalogueLoad
{
    CatalogueContents contents;
    CatalogueOrder order;
    OwnedRecords<Image> droppedImages;
    // The submissions overdue on the day of the load.
    quint64 overdueSubmissions = 0;
};

} // namespace velumark
