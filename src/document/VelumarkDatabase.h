#pragma once

#include "document/CatalogueContents.h"
#include "document/DocumentNotifier.h"
#include "document/OpenPackage.h"
#include "document/OperationClaim.h"
#include "document/PackageDestination.h"
#include "store/Result.h"
#include "store/StagedPhoto.h"
#include "store/TextCompare.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace velumark {

class ArtworkListController;
class ClientListController;
class RecordList;
class RetiredRecords;
class SubmissionListController;
class ThumbnailCache;

// The document: one catalogue package, its open database and every record loaded from it, in its
// lists with the links between them, and the three main lists shown (artworks, clients,
// submissions; RecordList). Every change to records goes through its add, remove and update
// operations, which keep the rows, the lists and the per-artwork and per-client lists consistent
// and announce the change through notifier(); the lists shown follow from that news. While an
// import, export or transfer holds the document, those operations refuse with a DatabaseError.
// Its parts: the records (CatalogueContents) and their loading (CatalogueLoader), the open package
// (OpenPackage: paths, lock, read-only state) and file handling (VelumarkDatabase.cpp), editing
// (VelumarkDatabaseEditing.cpp), sorting (VelumarkDatabaseSorting.cpp) and the lists shown
// (VelumarkDatabaseLists.cpp). Used by the main thread only.
class VelumarkDatabase
{
public:
    static constexpr const char *kDatabaseFileName = "velumark.db";
    static constexpr const char *kLockFileName = ".velumark.lock";
    // Where an import stages the new database inside the package before it takes the old one's place.
    static constexpr const char *kImportStagingName = ".velumark.db.importing";
    static constexpr const char *kPackageExtension = "vdb";

    // A new document object (registered with the registry of open documents); nothing loaded.
    VelumarkDatabase();
    ~VelumarkDatabase();
    VelumarkDatabase(const VelumarkDatabase &) = delete;
    VelumarkDatabase &operator=(const VelumarkDatabase &) = delete;

    // ---- File handling ----
    // Opens a package, making it from the template when the directory does not exist yet, then
    // loads and links everything and counts the overdue submissions. The package is locked
    // against other processes while it is open.
    Result<> readFromURL(const QString &packagePath);
    // An untitled document: a package named after displayName in the application-data folder.
    Result<> openUntitled(const QString &displayName);
    // Saves every record; with a target other than the package, copies the whole package there
    // (complete before it appears under the target name) and continues on the copy. The target
    // must be named NAME.vdb, and a catalogue already there is replaced only when `existing` says
    // so (anything else there is refused). The database is reopened whatever the outcome.
    Result<> writeSafelyToURL(const QString &targetPackagePath,
                              ExistingCatalogue existing = ExistingCatalogue::Keep);
    // Saves every record and closes the database; fails when the save failed (the database then
    // stays open and the edits stay in memory).
    Result<> close();

    const QString &packageFilename() const { return m_package.packagePath(); }
    const QString &dbFilename() const { return m_package.databasePath(); }
    bool unsavedDocument() const { return m_unsavedDocument; }
    bool isOpen() const { return m_contents.database != nullptr; }
    // Whether the catalogue was opened read-only: its database file is write-protected, or
    // nothing can be written where it lies (a read-only disk, a folder without write permission).
    // It can then be read and exported, and every change is refused.
    bool isReadOnly() const { return m_package.isReadOnly(); }
    // Fails with the reason when the add, update and remove operations take no change now: while
    // an operation holds the document, or on a read-only catalogue. An editor asks before it
    // touches a record.
    Result<> checkEditable() const;

    // ---- Interchange support ----
    // One import, export or transfer at a time per document: fails while one runs. While the
    // claim holds the document, the add, update and remove operations refuse; the start and the
    // end (the claim released) are announced.
    Result<OperationClaim> beginOperation();
    bool isOperationRunning() const { return m_operationRunning; }
    // Writes every changed record in one transaction and keeps the database open.
    Result<> saveChanges();
    // Puts a complete, checked database file that is staged inside the package in place of the
    // document's file with one rename, and takes over the records loaded from it (on the worker
    // of the import, in listOrder()). When the rename fails the document keeps its file and records.
    Result<> replaceDatabaseFile(const QString &stagedPath, CatalogueLoad loaded);
    // Removes the package's picture files that no image of the document names.
    void removeUnreferencedPictures() const;

    // ---- Database file ----
    // Makes the package (or the database file) from the template when it does not exist yet;
    // whether it was made.
    static Result<bool> createEditableCopyOfDatabaseIfNeeded(const QString &packagePath,
                                                             const QString &databasePath);
    // Opens the connection and hands it to every record.
    Result<> openDatabase(const QString &databasePath);
    // Loads every list again from the file, with the version and upgrade steps, links the
    // records and counts the overdue submissions; a failed load leaves the lists empty.
    Result<> initializeDatabase(const QString &databasePath);
    // Saves every record in one exclusive transaction, compacts the file when asked and more than a
    // quarter of it is free, closes the file.
    // On failure everything is rolled back, the records keep their changes and the connection
    // stays open.
    Result<> flushDatabase(bool compact);
    SqliteConnection *database() const { return m_contents.database.get(); }
    qint64 versionPrimaryKey() const { return m_contents.versionPrimaryKey; }
    qint64 dbVersionNumber() const { return m_contents.versionNumber; }
    const QDateTime &dbCreationDate() const { return m_contents.creationDate; }

    // ---- Collections ----
    const OwnedRecords<Artwork> &artworks() const { return m_contents.artworks; }
    const std::vector<Artwork *> &availableArtworks() const { return m_contents.availableArtworks; }
    const OwnedRecords<Client> &clients() const { return m_contents.clients; }
    const std::vector<Client *> &availableClients() const { return m_contents.availableClients; }
    const OwnedRecords<Submission> &submissions() const { return m_contents.submissions; }
    const OwnedRecords<Medium> &mediums() const { return m_contents.mediums; }
    const OwnedRecords<Artist> &artists() const { return m_contents.artists; }
    const OwnedRecords<Image> &images() const { return m_contents.images; }

    // ---- Operations ----
    // Add operations take ownership, insert the row and file the record. They raise
    // DatabaseError when the row cannot be written (and then keep nothing). Every add, update and
    // remove raises DatabaseError, changing nothing, while an operation holds the document.
    Artwork *addArtwork(std::unique_ptr<Artwork> artwork);
    void updateArtwork(Artwork *artwork);
    void removeArtwork(Artwork *artwork);
    Client *addClient(std::unique_ptr<Client> client);
    void updateClient(Client *client);
    void removeClient(Client *client);
    // The submission's artwork and client must be set.
    Submission *addSubmission(std::unique_ptr<Submission> submission);
    // Re-files a submission after an edit: its order, its links and the overdue count.
    void updateSubmission(Submission *submission);
    void removeSubmission(Submission *submission);
    Medium *addMedium(std::unique_ptr<Medium> medium);
    void updateMedium();
    void removeMedium(Medium *medium);
    Artist *addArtist(std::unique_ptr<Artist> artist);
    void updateArtist();
    void removeArtist(Artist *artist);
    // Inserts the image with its pictures in this package; the caller links it to its artwork.
    Image *addImage(std::unique_ptr<Image> image);
    // For the photo import, which holds the document while it runs: inserts the image's row and
    // moves its staged picture files to the names of the new key before the row commits, so that
    // no row is ever without its files. Refuses a read-only catalogue; raises DatabaseError when
    // the row or the move failed (nothing kept then; the files stay staged).
    Image *addStagedImage(std::unique_ptr<Image> image, StagedPhoto &files);
    void removeImage(Image *image);
    // The artwork's photos become `images` in that order: owned by the artwork, tags 0, 1, 2, ...
    // written to their rows,
    // photo keys 1 and 2 the first two (-1 where there is none), the artwork's row written.
    void setArtworkImages(Artwork *artwork, const std::vector<Image *> &images);

    // Sort the full lists in the direction of the main list of their kind and announce the new
    // order (recordsReordered); the main lists follow.
    void sortArtwork();
    void sortArtworksByTitleAndArtist();
    void sortClients();
    void sortSubmissionsByDateAndTitle();
    // The orders the main lists ask for now: what a load for this document sorts by.
    CatalogueOrder listOrder() const;

    // Sorts a list ascending by one text property ("title", "company", "name"), localized and
    // ignoring case.
    template <typename T> static void sortArray(std::vector<T *> &list, const QString &(T::*property)() const)
    {
        if (list.size() < 2)
            return;
        std::stable_sort(list.begin(), list.end(), [property](const T *a, const T *b) {
            return localizedCaseInsensitiveCompare((a->*property)(), (b->*property)()) < 0;
        });
    }

    Medium *mediumWithName(const QString &name) const;
    Artist *artistWithName(const QString &name) const;

    // ---- The lists shown ----
    enum class ListKind
    {
        Artworks = 0,
        Clients = 1,
        Submissions = 2
    };
    // The main lists, made with the document and kept as long as it lives (never null).
    ArtworkListController *artworkListController() const { return m_artworkList.get(); }
    ClientListController *clientListController() const { return m_clientList.get(); }
    SubmissionListController *submissionListController() const { return m_submissionList.get(); }
    RecordList *listController(ListKind list) const;
    // The list the window shows; showing another rebuilds it with the search text.
    ListKind currentList() const { return m_currentList; }
    void setCurrentList(ListKind list);
    // The search field's text.
    const QString &searchText() const { return m_searchText; }
    // Filters the current list with the text (kept for every list shown later).
    void handleSearch(const QString &text);
    // Rebuilds the current list with the current search text.
    void refreshData();
    // Work that keeps the first search keystroke short (the search texts of every submission),
    // for the window to run when it is idle after an open; a search does it when it was not.
    void prepareSearch();
    // The same in steps of about `budget`; true once it is done (SubmissionListController).
    bool prepareSearchStep(std::chrono::nanoseconds budget);

    DocumentNotifier *notifier() const { return m_notifier.get(); }
    // The square thumbnails the lists draw, for the images drawn last.
    ThumbnailCache &thumbnailCache() const { return *m_thumbnailCache; }

private:
    friend class OperationClaim;
    // How `artworks` was last sorted; a new artwork is inserted in place while it still holds.
    struct ArtworkOrder
    {
        bool byArtist = false;
        bool ascending = true;
        bool operator==(const ArtworkOrder &) const = default;
    };
    ArtworkOrder currentArtworkOrder() const;
    // Raises DatabaseError naming the method when the document may not be edited now: an operation
    // holds it, or it is read-only.
    void refuseIfNotEditable(const char *method) const;
    // The add and remove steps that loading and linking take, which no operation refuses.
    Medium *insertMedium(std::unique_ptr<Medium> medium);
    Artist *insertArtist(std::unique_ptr<Artist> artist);
    void dropImage(Image *image);
    void detachSubmissions(const std::vector<Submission *> &doomed);
    // Takes over what a load made, in place of the records held (listsAboutToBeReloaded and
    // listsReloaded around it), and lets the old records go.
    void adopt(CatalogueLoad loaded);
    // Lets every record go, as after a load that found nothing.
    void dropRecords();
    void removeImageFiles(const std::vector<Image *> &images);
    // Save As to another place: the package copied there, locked, and the document moved onto it.
    Result<> moveToCopy(const QString &targetPackagePath, ExistingCatalogue existing);
    Result<> writeAllRecords();
    // The end of what beginOperation began, when its claim lets go.
    void endOperation();

    OpenPackage m_package;
    bool m_unsavedDocument = false;
    bool m_operationRunning = false;

    // For the next load: the file was just made from the template.
    bool m_writeCreationDate = false;
    bool m_addMediumsFlag = false;

    CatalogueContents m_contents;

    std::unique_ptr<ArtworkListController> m_artworkList;
    std::unique_ptr<ClientListController> m_clientList;
    std::unique_ptr<SubmissionListController> m_submissionList;
    ListKind m_currentList = ListKind::Artworks;
    std::optional<ArtworkOrder> m_artworkOrder;
    std::optional<bool> m_clientOrderAscending;
    std::optional<bool> m_submissionOrderAscending;
    // The sort keys of the submissions in the order of the last sort, and what they were taken with.
    struct SubmissionKeys
    {
        quint64 changes = 0;
        quint32 collation = 0;
        quint32 zone = 0;
        std::vector<std::pair<Submission::OrderKey, Submission *>> keys;
    };
    SubmissionKeys m_submissionKeys;
    QString m_searchText;

    std::unique_ptr<DocumentNotifier> m_notifier;
    std::unique_ptr<ThumbnailCache> m_thumbnailCache;
    std::unique_ptr<RetiredRecords> m_retiredRecords;
};

} // namespace velumark
