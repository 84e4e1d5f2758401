#include "document/VelumarkDatabase.h"

#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/RecordOrders.h"
#include "document/SubmissionListController.h"
#include "document/ThumbnailCache.h"
#include "store/Clock.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/DefaultMediums.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/TextCompare.h"

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

Result<bool> VelumarkDatabase::createEditableCopyOfDatabaseIfNeeded(const QString &packagePath,
                                                                    const QString &databasePath)
{
    QString target = databasePath;
    if (!packagePath.isEmpty()) {
        if (QFileInfo::exists(packagePath))
            return false;
        if (!QDir().mkdir(packagePath))
            return Failure{formatFailure("Failed to create writable database file with message '%@'.",
                                         localized("cannot create the folder %1").arg(packagePath))};
        target = QDir(packagePath).filePath(QString::fromLatin1(kDatabaseFileName));
    } else if (QFileInfo::exists(databasePath)) {
        return false;
    }
    if (const Result<> copied = DatabaseFile::copyTemplate(target); !copied) {
        if (!packagePath.isEmpty())
            QDir(packagePath).removeRecursively();
        return Failure{
            formatFailure("Failed to create writable database file with message '%@'.", copied.message())};
    }
    return true;
}

Result<> VelumarkDatabase::openDatabase(const QString &databasePath)
{
    m_database.reset();
    QString openError;
    // Without the create flag: a package without its database is an error, not a new empty file.
    auto connection = SqliteConnection::open(
        databasePath, m_readOnly ? SqliteConnection::Mode::ReadOnly : SqliteConnection::Mode::ReadWrite,
        &openError);
    if (!connection)
        return Failure{
            localized("Cannot open %1: %2").arg(QDir::toNativeSeparators(databasePath), openError)};
    if (!connection->exec(DatabaseFile::kCacheSizePragma))
        return Failure{
            formatFailure("Error: failed to set cache size with message '%s'.", connection->errorMessage())};
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
    return {};
}

Result<> VelumarkDatabase::readVersionRow()
{
    SqliteConnection &db = *m_database;
    auto query = db.prepare("SELECT pk, version_num, creation_date FROM version");
    if (!query)
        return Failure{localized("The file is not a catalogue database: %1").arg(db.errorMessage())};
    const SqliteStatement::Step step = query->step();
    if (step == SqliteStatement::Step::Error)
        return Failure{localized("The catalogue database cannot be read: %1").arg(db.errorMessage())};
    const QDateTime now = Clock::now();
    if (step == SqliteStatement::Step::Row) {
        // The upgrade scripts would rewrite a file whose version names no version of ours.
        if (const Result<> known = DatabaseFile::checkKnownVersion(*query, 1); !known)
            return Failure{localized("%1 cannot be opened: %2")
                               .arg(QDir::toNativeSeparators(db.path()), known.message())};
        m_versionPrimaryKey = query->columnInt64(0);
        m_dbVersionNumber = query->columnInt64(1);
        m_dbCreationDate = dateFromStoredSeconds(query->columnDouble(2));
        query.reset();
        if (m_writeCreationDate) {
            m_dbCreationDate = now;
            auto update = db.prepare("UPDATE version SET creation_date=? WHERE pk=?");
            if (!update)
                return Failure{db.errorMessage()};
            update->bindDouble(1, storedSecondsFromDate(now));
            update->bindInt64(2, m_versionPrimaryKey);
            if (update->step() != SqliteStatement::Step::Done)
                return Failure{db.errorMessage()};
        }
        return {};
    }
    query.reset();
    if (const Result<> editable = checkWritable(); !editable)
        return editable;
    m_dbCreationDate = now;
    m_dbVersionNumber = DatabaseFile::kCurrentVersion;
    auto insert = db.prepare("INSERT INTO version (version_num, creation_date, comments) VALUES(?, ?, ?)");
    if (!insert)
        return Failure{db.errorMessage()};
    insert->bindInt64(1, DatabaseFile::kCurrentVersion);
    insert->bindDouble(2, storedSecondsFromDate(now));
    insert->bindText(3, QStringLiteral("Full"));
    if (insert->step() != SqliteStatement::Step::Done)
        return Failure{db.errorMessage()};
    m_versionPrimaryKey = db.lastInsertRowId();
    return {};
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

Result<> VelumarkDatabase::loadRecords(LoadState &state)
{
    SqliteConnection &db = *m_database;
    auto fail = [&]() -> Result<> {
        return Failure{localized("The catalogue cannot be read: %1").arg(db.errorMessage())};
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
    return {};
}

Result<> VelumarkDatabase::initializeDatabase(const QString &databasePath)
{
    // The lists stay empty until the open or reload that called this announces listsReloaded.
    emit m_notifier->listsAboutToBeReloaded();
    clearLists();
    if (const Result<> opened = openDatabase(databasePath); !opened)
        return opened;
    SqliteConnection &db = *m_database;

    // One transaction around the whole load: far fewer lock round trips, and nothing the load
    // writes (version row, upgrade, defaults, unowned images) is kept unless all of it worked.
    if (!db.exec("BEGIN"))
        return Failure{localized("The catalogue cannot be read: %1").arg(db.errorMessage())};
    LoadState state;
    auto abandon = [&](const QString &message) -> Result<> {
        db.exec("ROLLBACK");
        clearLists();
        return Failure{message};
    };
    try {
        if (const Result<> version = readVersionRow(); !version)
            return abandon(version.message());
        if (m_dbVersionNumber < DatabaseFile::kCurrentVersion) {
            if (const Result<> editable = checkWritable(); !editable)
                return abandon(editable.message());
        }
        const Result<DatabaseFile::Upgrade> upgrade = DatabaseFile::upgrade(db, m_dbVersionNumber);
        if (!upgrade)
            return abandon(
                formatFailure("Error: failed to update the database with message '%s'.", upgrade.message()));
        m_addArtistsFlag = m_addArtistsFlag || upgrade->addArtists;
        m_mapUpgradedImagesFlag = m_mapUpgradedImagesFlag || upgrade->mapUpgradedImages;

        if (const Result<> loaded = loadRecords(state); !loaded)
            return abandon(loaded.message());
        sortArtwork();
        const quint32 collation = collationSerial(false);
        sortByKey(m_availableArtworks,
                  [&](const Artwork &a) -> const QByteArray & { return a.titleSortKey(collation); });
        sortClients();
        sortByKey(m_availableClients,
                  [&](const Client &c) -> const QByteArray & { return c.companyTextSortKey(collation); });
        for (auto &image : state.unownedImages) {
            if (!m_readOnly && image->deleteRow() != 0)
                return abandon(localized("The catalogue cannot be read: %1").arg(db.errorMessage()));
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
        return abandon(failure.message());
    }
    sortOwned(m_mediums, byMediumName);
    sortOwned(m_artists, byArtistName);
    if (!db.exec("COMMIT"))
        return abandon(localized("The catalogue cannot be read: %1").arg(db.errorMessage()));
    if (!m_readOnly) {
        for (auto &image : state.unownedImages)
            image->removeFiles();
    }
    return {};
}

Result<> VelumarkDatabase::writeAllRecords()
{
    SqliteConnection &db = *m_database;
    if (!DatabaseFile::beginTransaction(db))
        return Failure{localized("The catalogue cannot be saved: %1").arg(db.errorMessage())};
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
        return Failure{localized("The catalogue cannot be saved: %1").arg(message)};
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
    return {};
}

Result<> VelumarkDatabase::saveChanges()
{
    if (!m_database)
        return {};
    return writeAllRecords();
}

namespace {

// More than a quarter of the file's pages are free (left by deletions): worth rewriting the file.
bool hasManyFreePages(SqliteConnection &db)
{
    const auto pages = db.prepare("PRAGMA page_count");
    const auto free = db.prepare("PRAGMA freelist_count");
    if (!pages || !free || pages->step() != SqliteStatement::Step::Row ||
        free->step() != SqliteStatement::Step::Row)
        return false;
    return free->columnInt64(0) * 4 > pages->columnInt64(0);
}

} // namespace

Result<> VelumarkDatabase::flushDatabase(bool compact)
{
    if (!m_database)
        return {};
    if (const Result<> written = writeAllRecords(); !written)
        return written;
    SqliteConnection &db = *m_database;
    // A compaction that fails (no room for the rewrite) leaves the file whole and as it was.
    if (compact && hasManyFreePages(db))
        (void)db.exec("vacuum;");
    if (!db.close())
        return Failure{
            formatFailure("Error: failed to close database with message '%s'.", db.errorMessage())};
    m_database.reset();
    return {};
}

// ---------------------------------------------------------------------------------------------
// Loading and linking

Result<> VelumarkDatabase::loadAndLink(const QString &databasePath)
{
    // Every submission asks whether it is overdue while it loads: today is taken once for all.
    const Clock::TodayScope today;
    // The lists are rebuilt from whatever the load left, also after a failure.
    const auto announce = qScopeGuard([this] { emit m_notifier->listsReloaded(); });
    if (const Result<> initialized = initializeDatabase(databasePath); !initialized)
        return initialized;
    try {
        if (m_mapUpgradedImagesFlag) {
            mapUpgradedImages();
            m_mapUpgradedImagesFlag = false;
        }
        mapSubmissionsAndImages();
    } catch (const DatabaseError &failure) {
        return Failure{failure.message()};
    }
    m_submissionList->recalculateOverdue();
    return {};
}

void VelumarkDatabase::mapSubmissionsAndImages()
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

    linkSubmissions(artworkByKey, clientByKey);
    linkImages(artworkByKey);
}

void VelumarkDatabase::linkSubmissions(const std::unordered_map<qint64, Artwork *> &artworkByKey,
                                       const std::unordered_map<qint64, Client *> &clientByKey)
{
    auto find = [](const auto &byKey, qint64 key) {
        auto it = byKey.find(key);
        return it == byKey.end() ? nullptr : it->second;
    };
    // After a load every per-record list is empty and the class direction is the document's: the
    // whole list is sorted first, and each record's list, filled in that order, is then sorted
    // already (the stable sort keeps equal submissions in load order, as a sort of each list would).
    const bool freshLoad = std::all_of(m_artworks.begin(), m_artworks.end(),
                                       [](const auto &a) { return a->submissions().empty(); }) &&
                           std::all_of(m_clients.begin(), m_clients.end(),
                                       [](const auto &c) { return c->submissions().empty(); }) &&
                           Submission::isSortAscending() == m_submissionList->isSortAscending();
    for (auto &submission : m_submissions) {
        if (!m_artworks.empty() && submission->artworkKey() != 0)
            submission->setArtwork(find(artworkByKey, submission->artworkKey()));
        if (!m_clients.empty() && submission->clientKey() != 0)
            submission->setClient(find(clientByKey, submission->clientKey()));
    }
    // Otherwise the lists are filled first and each touched one is sorted once, rather than after
    // every addition.
    std::vector<Artwork *> touchedArtworks;
    std::vector<Client *> touchedClients;
    auto fillLists = [&] {
        for (auto &submission : m_submissions) {
            Artwork *artwork = submission->artworkKey() != 0 ? submission->artwork() : nullptr;
            if (!m_artworks.empty() && artwork && artwork->appendSubmission(submission.get()))
                touchedArtworks.push_back(artwork);
            Client *client = submission->clientKey() != 0 ? submission->client() : nullptr;
            if (!m_clients.empty() && client && client->appendSubmission(submission.get()))
                touchedClients.push_back(client);
        }
    };
    if (freshLoad) {
        // The lists are filled before the sort announces the new order.
        if (m_submissions.empty())
            fillLists();
        else
            sortSubmissionsByDateAndTitle(fillLists);
        return;
    }
    fillLists();
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

Result<> VelumarkDatabase::readFromURL(const QString &packagePath)
{
    m_writeCreationDate = false;
    setPackage(packagePath);
    const QFileInfo package(packagePath);
    if (package.exists() && !package.isDir())
        return Failure{localized("%1 is not a catalogue.").arg(QDir::toNativeSeparators(packagePath))};
    if (package.isDir() && !QFileInfo::exists(m_dbFilename))
        return Failure{
            localized("%1 is not a catalogue: it holds no %2.")
                .arg(QDir::toNativeSeparators(packagePath), QString::fromLatin1(kDatabaseFileName))};
    const Result<bool> created = createEditableCopyOfDatabaseIfNeeded(m_packageFilename, m_dbFilename);
    if (!created)
        return Failure{created.message()};
    if (created.value()) {
        m_writeCreationDate = true;
        m_addMediumsFlag = true;
    }
    if (const Result<> locked = lockOrOpenReadOnly(); !locked)
        return locked;
    if (const Result<> loaded = loadAndLink(m_dbFilename); !loaded) {
        m_database.reset();
        m_lock.reset();
        DocumentRegistry::shared().deregisterDatabase(this);
        return loaded;
    }
    m_writeCreationDate = false;
    if (m_ownerWasKilled && !m_readOnly) {
        // What an import killed before its end left in the package.
        QFile::remove(QDir(m_packageFilename).filePath(QString::fromLatin1(kImportStagingName)));
        Leftovers::removeStaleStaging(m_packageFilename);
        removeUnreferencedPictures();
    }
    return {};
}

Result<> VelumarkDatabase::lockOrOpenReadOnly()
{
    m_readOnly = false;
    m_readOnlyReason.clear();
    bool unwritable = false;
    m_ownerWasKilled =
        QFileInfo::exists(QDir(m_packageFilename).filePath(QString::fromLatin1(kLockFileName)));
    Result<std::unique_ptr<QLockFile>> lock = DocumentPackage::lock(m_packageFilename, &unwritable);
    if (!lock && !unwritable)
        return Failure{lock.message()};
    m_lock = lock ? std::move(lock).value() : nullptr;
    m_readOnlyReason = unwritable
                           ? localized("it is on a read-only disk or in a folder without write permission")
                           : writeProtectionOf(m_dbFilename);
    m_readOnly = !m_readOnlyReason.isEmpty();
    return {};
}

Result<> VelumarkDatabase::checkWritable() const
{
    if (!m_readOnly)
        return {};
    return Failure{localized("The catalogue %1 is open read-only because %2; nothing in it can be changed.")
                       .arg(QDir::toNativeSeparators(m_packageFilename), m_readOnlyReason)};
}

Result<> VelumarkDatabase::openUntitled(const QString &displayName)
{
    const QString path = DocumentPackage::untitledPackagePath(displayName);
    if (path.isEmpty())
        return Failure{localized("The application-data folder cannot be created.")};
    m_unsavedDocument = true;
    return readFromURL(path);
}

Result<> VelumarkDatabase::writeSafelyToURL(const QString &targetPackagePath, ExistingCatalogue existing)
{
    if (const Result<> flushed = flushDatabase(false); !flushed)
        return flushed;
    Result<> saved;
    if (!DocumentPackage::samePath(targetPackagePath, m_packageFilename))
        saved = moveToCopy(targetPackagePath, existing);
    // The document goes on working on its own database whatever happened above.
    if (const Result<> reopened = openDatabase(m_dbFilename); !reopened)
        return reopened;
    return saved;
}

Result<> VelumarkDatabase::moveToCopy(const QString &targetPackagePath, ExistingCatalogue existing)
{
    if (const Result<> copied = DocumentPackage::copyPackage(m_packageFilename, targetPackagePath, existing);
        !copied)
        return copied;
    Result<std::unique_ptr<QLockFile>> lock = DocumentPackage::lock(targetPackagePath);
    if (!lock)
        return Failure{lock.message()};
    m_lock = std::move(lock).value();
    setPackage(targetPackagePath);
    // The copy may be writable where the original was not.
    m_readOnlyReason = writeProtectionOf(m_dbFilename);
    m_readOnly = !m_readOnlyReason.isEmpty();
    for (auto &image : m_images)
        image->setPath(m_packageFilename);
    m_unsavedDocument = false;
    return {};
}

Result<OperationClaim> VelumarkDatabase::beginOperation()
{
    if (m_operationRunning)
        return Failure{localized("Another import or export is running for this catalogue. "
                                 "Wait until it has finished.")};
    if (!m_database)
        return Failure{localized("The catalogue is not open.")};
    m_operationRunning = true;
    emit m_notifier->operationStarted();
    return OperationClaim(*this);
}

void VelumarkDatabase::endOperation()
{
    Q_ASSERT(m_operationRunning);
    m_operationRunning = false;
    emit m_notifier->operationEnded();
}

Result<> VelumarkDatabase::replaceDatabaseFile(const QString &stagedPath)
{
    if (m_database && !m_database->close())
        return Failure{
            formatFailure("Error: failed to close database with message '%s'.", m_database->errorMessage())};
    m_database.reset();
    // rename(2) replaces the old file in one step: a crash leaves either file, never a mix.
    if (std::rename(QFile::encodeName(stagedPath).constData(), QFile::encodeName(m_dbFilename).constData()) !=
        0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        // The old file is still there: the document goes on with it (a failure to load it again
        // leaves the lists empty, which the next open tells).
        (void)loadAndLink(m_dbFilename);
        return Failure{localized("The imported database cannot replace %1: %2")
                           .arg(QDir::toNativeSeparators(m_dbFilename), reason)};
    }
    m_addMediumsFlag = m_addArtistsFlag = m_mapUpgradedImagesFlag = false;
    m_writeCreationDate = false;
    return loadAndLink(m_dbFilename);
}

void VelumarkDatabase::removeUnreferencedPictures() const
{
    std::unordered_set<qint64> keys;
    for (const auto &image : m_images)
        keys.insert(image->primaryKey());
    DocumentPackage::removeUnreferencedPictures(m_packageFilename, keys);
}

Result<> VelumarkDatabase::close()
{
    if (const Result<> flushed = flushDatabase(!m_readOnly); !flushed)
        return flushed;
    m_lock.reset();
    DocumentRegistry::shared().deregisterDatabase(this);
    return {};
}

} // namespace velumark
