#include "document/VelumarkDatabase.h"

#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/RecordOrders.h"
#include "document/SubmissionListController.h"
#include "document/ThumbnailCache.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/DefaultMediums.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/TextCompare.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace velumark {

namespace {

bool setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

// Sorts by a sort key that each record keeps (localizedCaseInsensitiveCompare of one text): the
// same order as comparing the texts, without collating the texts again for every comparison.
template <typename T, typename Key> void sortByKey(std::vector<T *> &list, Key key)
{
    if (list.size() < 2)
        return;
    std::vector<std::pair<const QByteArray *, T *>> keyed;
    keyed.reserve(list.size());
    for (T *record : list)
        keyed.emplace_back(&key(*record), record);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first->compare(*b.first) < 0; });
    for (size_t i = 0; i < keyed.size(); ++i)
        list[i] = keyed[i].second;
}

// Why a database file cannot be written (its mode, whoever asks), or nothing.
QString writeProtectionOf(const QString &databasePath)
{
    const QFileInfo file(databasePath);
    if (file.permission(QFileDevice::WriteOwner) && file.isWritable())
        return {};
    return localized("its database file is write-protected");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Object

VelumarkDatabase::VelumarkDatabase()
    : m_notifier(std::make_unique<DocumentNotifier>()),
      m_thumbnailCache(std::make_unique<ThumbnailCache>(*m_notifier))
{
    m_artworkList = std::make_unique<ArtworkListController>(*this);
    m_clientList = std::make_unique<ClientListController>(*this);
    m_submissionList = std::make_unique<SubmissionListController>(*this);
    DocumentRegistry::shared().registerDatabase(this);
}

VelumarkDatabase::~VelumarkDatabase()
{
    DocumentRegistry::shared().deregisterDatabase(this);
    // History lists and editors let go of the records before they are freed.
    emit m_notifier->listsAboutToBeReloaded();
    clearLists();
    emit m_notifier->listsReloaded();
}

void VelumarkDatabase::clearLists()
{
    for (auto &artwork : m_artworks) {
        artwork->clearSubmissions();
        artwork->clearImages();
    }
    for (auto &client : m_clients)
        client->clearSubmissions();
    m_availableArtworks.clear();
    m_availableClients.clear();
    m_submissions.clear();
    m_artworks.clear();
    m_clients.clear();
    m_mediums.clear();
    m_artists.clear();
    m_images.clear();
}

// ---------------------------------------------------------------------------------------------
// Database file

bool VelumarkDatabase::createEditableCopyOfDatabaseIfNeeded(const QString &packagePath,
                                                            const QString &databasePath, bool *created,
                                                            QString *error)
{
    if (created)
        *created = false;
    QString target = databasePath;
    if (!packagePath.isEmpty()) {
        if (QFileInfo::exists(packagePath))
            return true;
        if (!QDir().mkdir(packagePath))
            return setError(error, formatFailure("Failed to create writable database file with message '%@'.",
                                                 localized("cannot create the folder %1").arg(packagePath)));
        target = QDir(packagePath).filePath(QString::fromLatin1(kDatabaseFileName));
    } else if (QFileInfo::exists(databasePath)) {
        return true;
    }
    QString copyError;
    if (!DatabaseFile::copyTemplate(target, &copyError)) {
        if (!packagePath.isEmpty())
            QDir(packagePath).removeRecursively();
        return setError(
            error, formatFailure("Failed to create writable database file with message '%@'.", copyError));
    }
    if (created)
        *created = true;
    return true;
}

bool VelumarkDatabase::openDatabase(const QString &databasePath, QString *error)
{
    m_database.reset();
    QString openError;
    // Without the create flag: a package without its database is an error, not a new empty file.
    auto connection = SqliteConnection::open(
        databasePath, m_readOnly ? SqliteConnection::Mode::ReadOnly : SqliteConnection::Mode::ReadWrite,
        &openError);
    if (!connection)
        return setError(
            error, localized("Cannot open %1: %2").arg(QDir::toNativeSeparators(databasePath), openError));
    if (!connection->exec(DatabaseFile::kCacheSizePragma))
        return setError(error, formatFailure("Error: failed to set cache size with message '%s'.",
                                             connection->errorMessage()));
    m_database = std::move(connection);
    SqliteConnection *db = m_database.get();
    for (auto &r : m_artworks)
        r->reopen(db);
    for (auto &r : m_clients)
        r->reopen(db);
    for (auto &r : m_submissions)
        r->reopen(db);
    for (auto &r : m_artists)
        r->reopen(db);
    for (auto &r : m_mediums)
        r->reopen(db);
    for (auto &r : m_images)
        r->reopen(db);
    return true;
}

bool VelumarkDatabase::readVersionRow(QString *error)
{
    SqliteConnection &db = *m_database;
    auto query = db.prepare("SELECT pk, version_num, creation_date FROM version");
    if (!query)
        return setError(error, localized("The file is not a catalogue database: %1").arg(db.errorMessage()));
    const SqliteStatement::Step step = query->step();
    if (step == SqliteStatement::Step::Error)
        return setError(error, localized("The catalogue database cannot be read: %1").arg(db.errorMessage()));
    const QDateTime now = VelumarkUtility::now();
    if (step == SqliteStatement::Step::Row) {
        // The upgrade scripts would rewrite a file whose version names no version of ours.
        if (const QString unknown = DatabaseFile::unknownVersion(*query, 1); !unknown.isEmpty())
            return setError(
                error,
                localized("%1 cannot be opened: %2").arg(QDir::toNativeSeparators(db.path()), unknown));
        m_versionPrimaryKey = query->columnInt64(0);
        m_dbVersionNumber = query->columnInt64(1);
        m_dbCreationDate = dateFromStoredSeconds(query->columnDouble(2));
        query.reset();
        if (m_writeCreationDate) {
            m_dbCreationDate = now;
            auto update = db.prepare("UPDATE version SET creation_date=? WHERE pk=?");
            if (!update)
                return setError(error, db.errorMessage());
            update->bindDouble(1, storedSecondsFromDate(now));
            update->bindInt64(2, m_versionPrimaryKey);
            if (update->step() != SqliteStatement::Step::Done)
                return setError(error, db.errorMessage());
        }
        return true;
    }
    query.reset();
    if (!isEditable(error))
        return false;
    m_dbCreationDate = now;
    m_dbVersionNumber = DatabaseFile::kCurrentVersion;
    auto insert = db.prepare("INSERT INTO version (version_num, creation_date, comments) VALUES(?, ?, ?)");
    if (!insert)
        return setError(error, db.errorMessage());
    insert->bindInt64(1, DatabaseFile::kCurrentVersion);
    insert->bindDouble(2, storedSecondsFromDate(now));
    insert->bindText(3, QStringLiteral("Full"));
    if (insert->step() != SqliteStatement::Step::Done)
        return setError(error, db.errorMessage());
    m_versionPrimaryKey = db.lastInsertRowId();
    return true;
}

struct VelumarkDatabase::LoadState
{
    std::vector<std::unique_ptr<Image>> unownedImages; // owner key -1: deleted once the load succeeded
};

namespace {

// Runs "SELECT pk FROM <table>" and hands each key to `make`; false when the query fails.
template <typename Make> bool forEachKey(SqliteConnection &db, const char *sql, Make make)
{
    auto keys = db.prepare(sql);
    if (!keys)
        return false;
    for (;;) {
        switch (keys->step()) {
        case SqliteStatement::Step::Row:
            make(keys->columnInt64(0));
            break;
        case SqliteStatement::Step::Done:
            return true;
        case SqliteStatement::Step::Error:
            return false;
        }
    }
}

} // namespace

bool VelumarkDatabase::loadRecords(LoadState &state, QString *error)
{
    SqliteConnection &db = *m_database;
    auto fail = [&] {
        return setError(error, localized("The catalogue cannot be read: %1").arg(db.errorMessage()));
    };

    if (!forEachKey(db, "SELECT pk FROM artwork", [&](qint64 key) {
            auto artwork = std::make_unique<Artwork>(key, &db, true);
            if (artwork->sale_loan())
                m_availableArtworks.push_back(artwork.get());
            m_artworks.push_back(std::move(artwork));
        }))
        return fail();
    if (!forEachKey(db, "SELECT pk FROM client", [&](qint64 key) {
            auto client = std::make_unique<Client>(key, &db, true);
            if (client->status())
                m_availableClients.push_back(client.get());
            m_clients.push_back(std::move(client));
        }))
        return fail();
    if (!forEachKey(db, "SELECT pk FROM submission", [&](qint64 key) {
            m_submissions.push_back(std::make_unique<Submission>(key, &db, true));
        }))
        return fail();
    if (!forEachKey(db, "SELECT pk FROM medium",
                    [&](qint64 key) { m_mediums.push_back(std::make_unique<Medium>(key, &db, true)); }))
        return fail();
    if (!forEachKey(db, "SELECT pk FROM artist",
                    [&](qint64 key) { m_artists.push_back(std::make_unique<Artist>(key, &db, true)); }))
        return fail();
    if (!forEachKey(db, "SELECT pk FROM image", [&](qint64 key) {
            auto image = std::make_unique<Image>(key, &db, m_packageFilename, true);
            if (image->linkedKey() == Image::kNone && !m_mapUpgradedImagesFlag) {
                state.unownedImages.push_back(std::move(image));
                return;
            }
            if (image->linkedKey() == Image::kUpgraded)
                m_mapUpgradedImagesFlag = true;
            m_images.push_back(std::move(image));
        }))
        return fail();
    return true;
}

bool VelumarkDatabase::initializeDatabase(const QString &databasePath, QString *error)
{
    // The lists stay empty until the open or reload that called this announces listsReloaded.
    emit m_notifier->listsAboutToBeReloaded();
    clearLists();
    if (!openDatabase(databasePath, error))
        return false;
    SqliteConnection &db = *m_database;

    // One transaction around the whole load: far fewer lock round trips, and nothing the load
    // writes (version row, upgrade, defaults, unowned images) is kept unless all of it worked.
    if (!db.exec("BEGIN"))
        return setError(error, localized("The catalogue cannot be read: %1").arg(db.errorMessage()));
    LoadState state;
    auto abandon = [&] {
        db.exec("ROLLBACK");
        clearLists();
        return false;
    };
    try {
        if (!readVersionRow(error))
            return abandon();
        if (m_dbVersionNumber < DatabaseFile::kCurrentVersion && !isEditable(error))
            return abandon();
        const DatabaseFile::Upgrade upgrade = DatabaseFile::upgrade(db, m_dbVersionNumber);
        if (!upgrade.succeeded) {
            setError(error,
                     formatFailure("Error: failed to update the database with message '%s'.", upgrade.error));
            return abandon();
        }
        m_addArtistsFlag = m_addArtistsFlag || upgrade.addArtists;
        m_mapUpgradedImagesFlag = m_mapUpgradedImagesFlag || upgrade.mapUpgradedImages;

        if (!loadRecords(state, error))
            return abandon();
        sortArtwork();
        const quint32 collation = collationSerial(false);
        sortByKey(m_availableArtworks,
                  [&](const Artwork &a) -> const QByteArray & { return a.titleSortKey(collation); });
        sortClients();
        sortByKey(m_availableClients,
                  [&](const Client &c) -> const QByteArray & { return c.companyTextSortKey(collation); });
        for (auto &image : state.unownedImages) {
            if (!m_readOnly && image->deleteRow() != 0)
                return abandon();
        }
        if (m_addMediumsFlag) {
            addDefaultMediumsToDatabase();
            m_addMediumsFlag = false;
        }
        if (m_addArtistsFlag) {
            addDefaultArtistsToDatabase();
            m_addArtistsFlag = false;
        }
    } catch (const DatabaseError &failure) {
        setError(error, failure.message());
        return abandon();
    }
    sortOwned(m_mediums, byMediumName);
    sortOwned(m_artists, byArtistName);
    if (!db.exec("COMMIT")) {
        setError(error, localized("The catalogue cannot be read: %1").arg(db.errorMessage()));
        return abandon();
    }
    if (!m_readOnly) {
        for (auto &image : state.unownedImages)
            image->removeFiles();
    }
    return true;
}

bool VelumarkDatabase::writeAllRecords(QString *error)
{
    SqliteConnection &db = *m_database;
    if (!DatabaseFile::beginTransaction(db))
        return setError(error, localized("The catalogue cannot be saved: %1").arg(db.errorMessage()));
    auto writeAll = [](auto &list) {
        // Only changed records write anything; they go in the order of their rows, so that the
        // updates walk the table instead of jumping about it (the lists are in display order).
        std::vector<Record *> changed;
        for (auto &record : list) {
            if (record->isDirty())
                changed.push_back(record.get());
        }
        std::sort(changed.begin(), changed.end(),
                  [](const Record *a, const Record *b) { return a->primaryKey() < b->primaryKey(); });
        for (Record *record : changed) {
            record->setAbortOnError(false);
            const int status = record->writeChanges();
            record->setAbortOnError(true);
            if (status != 0)
                return false;
        }
        return true;
    };
    const bool wroteAll = writeAll(m_artworks) && writeAll(m_clients) && writeAll(m_submissions) &&
                          writeAll(m_mediums) && writeAll(m_artists) && writeAll(m_images);
    if (!wroteAll || !DatabaseFile::endTransaction(db)) {
        const QString message = db.errorMessage();
        DatabaseFile::rollbackTransaction(db);
        return setError(error, localized("The catalogue cannot be saved: %1").arg(message));
    }
    // Only now are the changes safe in the file: forget them and release the lazy fields.
    auto commitAll = [](auto &list) {
        for (auto &record : list)
            record->commitWritten();
    };
    commitAll(m_artworks);
    commitAll(m_clients);
    commitAll(m_submissions);
    commitAll(m_mediums);
    commitAll(m_artists);
    commitAll(m_images);
    return true;
}

bool VelumarkDatabase::saveChanges(QString *error)
{
    return !m_database || writeAllRecords(error);
}

bool VelumarkDatabase::flushDatabase(bool compact, QString *error)
{
    if (!m_database)
        return true;
    if (!writeAllRecords(error))
        return false;
    SqliteConnection &db = *m_database;
    if (compact && !db.exec("vacuum;"))
        return setError(
            error, formatFailure("Error: failed to compact database with message '%s'.", db.errorMessage()));
    if (!db.close())
        return setError(
            error, formatFailure("Error: failed to close database with message '%s'.", db.errorMessage()));
    m_database.reset();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Loading and linking

bool VelumarkDatabase::loadAndLink(const QString &databasePath, QString *error)
{
    // Every submission asks whether it is overdue while it loads: today is taken once for all.
    const VelumarkUtility::TodayScope today;
    // The lists are rebuilt from whatever the load left, also after a failure.
    const auto announce = qScopeGuard([this] { emit m_notifier->listsReloaded(); });
    if (!initializeDatabase(databasePath, error))
        return false;
    try {
        if (m_mapUpgradedImagesFlag) {
            mapUpgradedImages();
            m_mapUpgradedImagesFlag = false;
        }
        if (!mapSubmissionsAndImages())
            return setError(error, localized("The catalogue's records cannot be linked."));
    } catch (const DatabaseError &failure) {
        return setError(error, failure.message());
    }
    m_submissionList->recalculateOverdue();
    return true;
}

bool VelumarkDatabase::mapSubmissionsAndImages()
{
    std::unordered_map<qint64, Artwork *> artworkByKey;
    std::unordered_map<qint64, Client *> clientByKey;
    artworkByKey.reserve(m_artworks.size());
    clientByKey.reserve(m_clients.size());
    for (auto &artwork : m_artworks) {
        artworkByKey.emplace(artwork->primaryKey(), artwork.get());
        artwork->clearImages();
    }
    for (auto &client : m_clients)
        clientByKey.emplace(client->primaryKey(), client.get());

    // After a load every per-record list is empty and the class direction is the document's: the
    // whole list is sorted first, and each record's list, filled in that order, is then sorted
    // already (the stable sort keeps equal submissions in load order, as a sort of each list would).
    const bool allEmpty = std::all_of(m_artworks.begin(), m_artworks.end(),
                                      [](const auto &a) { return a->submissions().empty(); }) &&
                          std::all_of(m_clients.begin(), m_clients.end(),
                                      [](const auto &c) { return c->submissions().empty(); });
    if (allEmpty && Submission::isSortAscending() == m_submissionList->isSortAscending())
        linkLoadedSubmissions(artworkByKey, clientByKey);
    else
        linkSubmissions(artworkByKey, clientByKey);
    linkImages(artworkByKey);
    return true;
}

void VelumarkDatabase::linkLoadedSubmissions(const std::unordered_map<qint64, Artwork *> &artworkByKey,
                                             const std::unordered_map<qint64, Client *> &clientByKey)
{
    auto find = [](const auto &byKey, qint64 key) {
        auto it = byKey.find(key);
        return it == byKey.end() ? nullptr : it->second;
    };
    for (auto &submission : m_submissions) {
        if (!m_artworks.empty() && submission->artworkKey() != 0)
            submission->setArtwork(find(artworkByKey, submission->artworkKey()));
        if (!m_clients.empty() && submission->clientKey() != 0)
            submission->setClient(find(clientByKey, submission->clientKey()));
    }
    auto fillLists = [&] {
        for (auto &submission : m_submissions) {
            if (!m_artworks.empty() && submission->artworkKey() != 0 && submission->artwork())
                submission->artwork()->appendSubmission(submission.get());
            if (!m_clients.empty() && submission->clientKey() != 0 && submission->client())
                submission->client()->appendSubmission(submission.get());
        }
    };
    // The lists are filled before the sort announces the new order, as they were before.
    if (m_submissions.empty())
        fillLists();
    else
        sortSubmissionsByDateAndTitle(fillLists);
}

// Lists are filled first and sorted once each, rather than sorted after every addition.
void VelumarkDatabase::linkSubmissions(const std::unordered_map<qint64, Artwork *> &artworkByKey,
                                       const std::unordered_map<qint64, Client *> &clientByKey)
{
    std::vector<Artwork *> touchedArtworks;
    std::vector<Client *> touchedClients;
    for (auto &submission : m_submissions) {
        if (!m_artworks.empty() && submission->artworkKey() != 0) {
            auto it = artworkByKey.find(submission->artworkKey());
            Artwork *artwork = it == artworkByKey.end() ? nullptr : it->second;
            submission->setArtwork(artwork);
            if (artwork && artwork->appendSubmission(submission.get()))
                touchedArtworks.push_back(artwork);
        }
        if (!m_clients.empty() && submission->clientKey() != 0) {
            auto it = clientByKey.find(submission->clientKey());
            Client *client = it == clientByKey.end() ? nullptr : it->second;
            submission->setClient(client);
            if (client && client->appendSubmission(submission.get()))
                touchedClients.push_back(client);
        }
    }
    auto once = [](auto &records) {
        std::sort(records.begin(), records.end());
        records.erase(std::unique(records.begin(), records.end()), records.end());
    };
    once(touchedArtworks);
    once(touchedClients);
    for (Artwork *artwork : touchedArtworks)
        artwork->sortSubmissions();
    for (Client *client : touchedClients)
        client->sortSubmissions();
    if (!m_submissions.empty())
        sortSubmissionsByDateAndTitle();
}

void VelumarkDatabase::linkImages(const std::unordered_map<qint64, Artwork *> &artworkByKey)
{
    std::vector<Image *> orphans;
    for (auto &image : m_images) {
        if (image->linkedType() == Image::kOwnerArtwork) {
            auto it = artworkByKey.find(image->linkedKey());
            if (it != artworkByKey.end()) {
                it->second->addImage(image.get(), -1);
                continue;
            }
        }
        orphans.push_back(image.get());
    }
    for (Image *orphan : orphans) {
        // A read-only catalogue keeps its rows; the orphans are only left out of the lists.
        if (m_readOnly)
            std::erase_if(m_images,
                          [orphan](const std::unique_ptr<Image> &image) { return image.get() == orphan; });
        else
            dropImage(orphan);
    }
    for (auto &artwork : m_artworks)
        artwork->sortImages();
}

void VelumarkDatabase::mapUpgradedImages()
{
    std::unordered_map<qint64, Image *> imageByKey;
    for (auto &image : m_images)
        imageByKey.emplace(image->primaryKey(), image.get());
    auto adopt = [&](qint64 imageKey, const Artwork &artwork, qint64 tag) {
        if (imageKey == -1)
            return;
        auto it = imageByKey.find(imageKey);
        if (it == imageByKey.end() || it->second->linkedType() != Image::kUpgraded)
            return;
        Image *image = it->second;
        image->setLinkedType(Image::kOwnerArtwork);
        image->setLinkedKey(artwork.primaryKey());
        image->setTagValue(tag);
        image->save();
    };
    for (auto &artwork : m_artworks) {
        adopt(artwork->photoKey1(), *artwork, 0);
        adopt(artwork->photoKey2(), *artwork, 1);
    }
    std::vector<Image *> unclaimed;
    for (auto it = m_images.rbegin(); it != m_images.rend(); ++it) {
        if ((*it)->linkedType() == Image::kUpgraded)
            unclaimed.push_back(it->get());
    }
    for (Image *image : unclaimed)
        dropImage(image);
}

void VelumarkDatabase::addDefaultMediumsToDatabase()
{
    QStringList existing;
    for (auto &medium : m_mediums)
        existing << medium->name();
    QStringList artworkMediums;
    for (auto &artwork : m_artworks)
        artworkMediums << artwork->medium();
    for (const QString &name : mediumNamesToAdd(artworkMediums, existing)) {
        auto medium = std::make_unique<Medium>();
        medium->setName(name);
        insertMedium(std::move(medium));
    }
}

void VelumarkDatabase::addDefaultArtistsToDatabase()
{
    QStringList names;
    for (auto &artwork : m_artworks) {
        if (!artwork->artist().isEmpty())
            names << capitalized(artwork->artist());
    }
    names.removeDuplicates();
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return localizedCaseInsensitiveCompare(a, b) < 0; });
    for (const QString &name : std::as_const(names)) {
        auto artist = std::make_unique<Artist>();
        artist->setName(name);
        insertArtist(std::move(artist));
    }
}

// ---------------------------------------------------------------------------------------------
// File handling

void VelumarkDatabase::setPackage(const QString &packagePath)
{
    m_packageFilename = packagePath;
    m_dbFilename = QDir(packagePath).filePath(QString::fromLatin1(kDatabaseFileName));
}

bool VelumarkDatabase::readFromURL(const QString &packagePath, QString *error)
{
    m_writeCreationDate = false;
    setPackage(packagePath);
    const QFileInfo package(packagePath);
    if (package.exists() && !package.isDir())
        return setError(error,
                        localized("%1 is not a catalogue.").arg(QDir::toNativeSeparators(packagePath)));
    if (package.isDir() && !QFileInfo::exists(m_dbFilename))
        return setError(
            error, localized("%1 is not a catalogue: it holds no %2.")
                       .arg(QDir::toNativeSeparators(packagePath), QString::fromLatin1(kDatabaseFileName)));
    bool created = false;
    if (!createEditableCopyOfDatabaseIfNeeded(m_packageFilename, m_dbFilename, &created, error))
        return false;
    if (created) {
        m_writeCreationDate = true;
        m_addMediumsFlag = true;
    }
    if (!lockOrOpenReadOnly(error))
        return false;
    if (!loadAndLink(m_dbFilename, error)) {
        m_database.reset();
        m_lock.reset();
        DocumentRegistry::shared().deregisterDatabase(this);
        return false;
    }
    m_writeCreationDate = false;
    if (m_ownerWasKilled && !m_readOnly) {
        // What an import killed before its end left in the package.
        QFile::remove(QDir(m_packageFilename).filePath(QString::fromLatin1(kImportStagingName)));
        Leftovers::removeStaleStaging(m_packageFilename);
        removeUnreferencedPictures();
    }
    return true;
}

bool VelumarkDatabase::lockOrOpenReadOnly(QString *error)
{
    m_readOnly = false;
    m_readOnlyReason.clear();
    bool unwritable = false;
    QString lockError;
    m_ownerWasKilled =
        QFileInfo::exists(QDir(m_packageFilename).filePath(QString::fromLatin1(kLockFileName)));
    m_lock = DocumentPackage::lock(m_packageFilename, &lockError, &unwritable);
    if (!m_lock && !unwritable)
        return setError(error, lockError);
    m_readOnlyReason = unwritable
                           ? localized("it is on a read-only disk or in a folder without write permission")
                           : writeProtectionOf(m_dbFilename);
    m_readOnly = !m_readOnlyReason.isEmpty();
    return true;
}

bool VelumarkDatabase::isEditable(QString *reason) const
{
    if (!m_readOnly)
        return true;
    return setError(reason,
                    localized("The catalogue %1 is open read-only because %2; nothing in it can be changed.")
                        .arg(QDir::toNativeSeparators(m_packageFilename), m_readOnlyReason));
}

bool VelumarkDatabase::openUntitled(const QString &displayName, QString *error)
{
    const QString path = DocumentPackage::untitledPackagePath(displayName);
    if (path.isEmpty())
        return setError(error, localized("The application-data folder cannot be created."));
    m_unsavedDocument = true;
    return readFromURL(path, error);
}

bool VelumarkDatabase::writeSafelyToURL(const QString &targetPackagePath, QString *error,
                                        ExistingCatalogue existing)
{
    if (!flushDatabase(false, error))
        return false;
    bool saved = true;
    if (!DocumentPackage::samePath(targetPackagePath, m_packageFilename)) {
        saved = DocumentPackage::copyPackage(m_packageFilename, targetPackagePath, existing, error);
        if (saved) {
            QString lockError;
            auto lock = DocumentPackage::lock(targetPackagePath, &lockError);
            if (lock) {
                m_lock = std::move(lock);
                setPackage(targetPackagePath);
                // The copy may be writable where the original was not.
                m_readOnlyReason = writeProtectionOf(m_dbFilename);
                m_readOnly = !m_readOnlyReason.isEmpty();
                for (auto &image : m_images)
                    image->setPath(m_packageFilename);
                m_unsavedDocument = false;
            } else {
                saved = setError(error, lockError);
            }
        }
    }
    // The document goes on working on its own database whatever happened above.
    QString reopenError;
    if (!openDatabase(m_dbFilename, &reopenError)) {
        saved = false;
        setError(error, reopenError);
    }
    return saved;
}

bool VelumarkDatabase::beginOperation(QString *error)
{
    if (m_operationRunning)
        return setError(error, localized("Another import or export is running for this catalogue. "
                                         "Wait until it has finished."));
    if (!m_database)
        return setError(error, localized("The catalogue is not open."));
    m_operationRunning = true;
    emit m_notifier->operationStarted();
    return true;
}

void VelumarkDatabase::endOperation()
{
    if (!m_operationRunning)
        return;
    m_operationRunning = false;
    emit m_notifier->operationEnded();
}

bool VelumarkDatabase::replaceDatabaseFile(const QString &stagedPath, QString *error)
{
    if (m_database && !m_database->close())
        return setError(error, formatFailure("Error: failed to close database with message '%s'.",
                                             m_database->errorMessage()));
    m_database.reset();
    // rename(2) replaces the old file in one step: a crash leaves either file, never a mix.
    if (std::rename(QFile::encodeName(stagedPath).constData(), QFile::encodeName(m_dbFilename).constData()) !=
        0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QString reopenError;
        loadAndLink(m_dbFilename, &reopenError);
        return setError(error, localized("The imported database cannot replace %1: %2")
                                   .arg(QDir::toNativeSeparators(m_dbFilename), reason));
    }
    m_addMediumsFlag = m_addArtistsFlag = m_mapUpgradedImagesFlag = false;
    m_writeCreationDate = false;
    return loadAndLink(m_dbFilename, error);
}

void VelumarkDatabase::removeUnreferencedPictures() const
{
    std::unordered_set<qint64> keys;
    for (const auto &image : m_images)
        keys.insert(image->primaryKey());
    DocumentPackage::removeUnreferencedPictures(m_packageFilename, keys);
}

bool VelumarkDatabase::close(QString *error)
{
    if (!flushDatabase(false, error))
        return false;
    m_lock.reset();
    DocumentRegistry::shared().deregisterDatabase(this);
    return true;
}

} // namespace velumark
