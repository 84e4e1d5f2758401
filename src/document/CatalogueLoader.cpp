#include "document/CatalogueLoader.h"

#include "document/RecordOrders.h"
#include "store/Clock.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/DefaultMediums.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/TextCompare.h"

#include <QDir>
#include <QStringList>
#include <algorithm>

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

// The share of the load's progress that reading the rows takes, and how often it is reported.
constexpr double kReadingShare = 0.7;
constexpr qint64 kKeysPerStep = 4096;

enum class KeysRead
{
    Done,
    Failed,
    Stopped
};

// Runs "SELECT pk FROM <table>" and hands each key to `make`; after every kKeysPerStep keys
// `carryOn` says whether to go on.
template <typename Make, typename CarryOn>
KeysRead forEachKey(SqliteConnection &db, const char *sql, Make make, CarryOn carryOn)
{
    auto keys = db.prepare(sql);
    if (!keys)
        return KeysRead::Failed;
    for (qint64 read = 1;; ++read) {
        switch (keys->step()) {
        case SqliteStatement::Step::Row:
            make(keys->columnInt64(0));
            if (read % kKeysPerStep == 0 && !carryOn())
                return KeysRead::Stopped;
            break;
        case SqliteStatement::Step::Done:
            return KeysRead::Done;
        case SqliteStatement::Step::Error:
            return KeysRead::Failed;
        }
    }
}

// How many rows the load reads (at least 1), for its progress.
qint64 rowsToRead(SqliteConnection &db)
{
    auto count = db.prepare("SELECT (SELECT count(*) FROM artwork) + (SELECT count(*) FROM client) + "
                            "(SELECT count(*) FROM submission) + (SELECT count(*) FROM image)");
    if (!count || count->step() != SqliteStatement::Step::Row)
        return 1;
    return std::max<qint64>(1, count->columnInt64(0));
}

} // namespace

CatalogueLoader::CatalogueLoader(Settings settings) : m_settings(std::move(settings))
{
    m_load.order = m_settings.order;
}

Result<std::unique_ptr<SqliteConnection>> CatalogueLoader::connect(const QString &databasePath, bool readOnly)
{
    QString openError;
    // Without the create flag: a package without its database is an error, not a new empty file.
    auto connection = SqliteConnection::open(
        databasePath, readOnly ? SqliteConnection::Mode::ReadOnly : SqliteConnection::Mode::ReadWrite,
        &openError);
    if (!connection)
        return Failure{
            localized("Cannot open %1: %2").arg(QDir::toNativeSeparators(databasePath), openError)};
    if (!connection->exec(DatabaseFile::kCacheSizePragma))
        return Failure{
            formatFailure("Error: failed to set cache size with message '%s'.", connection->errorMessage())};
    return connection;
}

bool CatalogueLoader::reportProgress(double fraction) const
{
    return !m_settings.progress || m_settings.progress(fraction);
}

Result<CatalogueLoad> CatalogueLoader::load()
{
    // Every submission asks whether it is overdue while it loads: today is taken once for all.
    const Clock::TodayScope today;
    Result<std::unique_ptr<SqliteConnection>> connection = connect(m_settings.databasePath, readOnly());
    if (!connection)
        return Failure{connection.message()};
    m_load.contents.database = std::move(connection).value();
    if (const Result<> loaded = initializeDatabase(); !loaded) {
        m_load.contents.clearRecords();
        return Failure{loaded.message()};
    }
    return std::move(m_load);
}

Result<> CatalogueLoader::initializeDatabase()
{
    SqliteConnection &db = *m_load.contents.database;
    // One transaction around the whole load: far fewer lock round trips, and nothing the load
    // writes (version row, upgrade, defaults, unowned and orphaned images) is kept unless all of it
    // worked.
    if (!db.exec("BEGIN"))
        return Failure{localized("The catalogue cannot be read: %1").arg(db.errorMessage())};
    auto abandon = [&](const QString &message) -> Result<> {
        db.exec("ROLLBACK");
        return Failure{message};
    };
    try {
        if (const Result<> version = readVersionRow(); !version)
            return abandon(version.message());
        const qint64 storedVersion = m_load.contents.versionNumber;
        if (storedVersion < DatabaseFile::kCurrentVersion && readOnly())
            return abandon(m_settings.writeRefusal);
        const Result<DatabaseFile::Upgrade> upgrade = DatabaseFile::upgrade(db, storedVersion);
        if (!upgrade)
            return abandon(
                formatFailure("Error: failed to update the database with message '%s'.", upgrade.message()));
        m_addArtists = upgrade->addArtists;
        m_mapUpgradedImages = upgrade->mapUpgradedImages;
        if (const Result<> loaded = loadRecords(); !loaded)
            return abandon(loaded.message());
        dropUnownedImages();
        sortRecords();
        if (!reportProgress(0.8))
            return abandon(localized("The load was stopped."));
        if (m_settings.addMediums)
            addDefaultMediumsToDatabase();
        if (m_addArtists)
            addDefaultArtistsToDatabase();
        if (m_mapUpgradedImages)
            mapUpgradedImages();
        mapSubmissionsAndImages();
    } catch (const DatabaseError &failure) {
        return abandon(failure.message());
    }
    sortOwned(m_load.contents.mediums, byMediumName);
    sortOwned(m_load.contents.artists, byArtistName);
    if (!db.exec("COMMIT"))
        return abandon(localized("The catalogue cannot be read: %1").arg(db.errorMessage()));
    reportProgress(1);
    return {};
}

Result<> CatalogueLoader::readVersionRow()
{
    CatalogueContents &contents = m_load.contents;
    SqliteConnection &db = *contents.database;
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
        contents.versionPrimaryKey = query->columnInt64(0);
        contents.versionNumber = query->columnInt64(1);
        contents.creationDate = dateFromStoredSeconds(query->columnDouble(2));
        query.reset();
        if (m_settings.writeCreationDate && !readOnly()) {
            contents.creationDate = now;
            auto update = db.prepare("UPDATE version SET creation_date=? WHERE pk=?");
            if (!update)
                return Failure{db.errorMessage()};
            update->bindDouble(1, storedSecondsFromDate(now));
            update->bindInt64(2, contents.versionPrimaryKey);
            if (update->step() != SqliteStatement::Step::Done)
                return Failure{db.errorMessage()};
        }
        return {};
    }
    query.reset();
    if (readOnly())
        return Failure{m_settings.writeRefusal};
    contents.creationDate = now;
    contents.versionNumber = DatabaseFile::kCurrentVersion;
    auto insert = db.prepare("INSERT INTO version (version_num, creation_date, comments) VALUES(?, ?, ?)");
    if (!insert)
        return Failure{db.errorMessage()};
    insert->bindInt64(1, DatabaseFile::kCurrentVersion);
    insert->bindDouble(2, storedSecondsFromDate(now));
    insert->bindText(3, QStringLiteral("Full"));
    if (insert->step() != SqliteStatement::Step::Done)
        return Failure{db.errorMessage()};
    contents.versionPrimaryKey = db.lastInsertRowId();
    return {};
}

Result<> CatalogueLoader::loadRecords()
{
    CatalogueContents &contents = m_load.contents;
    SqliteConnection &db = *contents.database;
    const qint64 rows = rowsToRead(db);
    qint64 read = 0;
    auto carryOn = [&] {
        read += kKeysPerStep;
        return reportProgress(kReadingShare * std::min(1.0, static_cast<double>(read) / rows));
    };
    auto readTable = [&](const char *sql, auto make) -> Result<> {
        switch (forEachKey(db, sql, make, carryOn)) {
        case KeysRead::Done:
            return {};
        case KeysRead::Stopped:
            return Failure{localized("The load was stopped.")};
        case KeysRead::Failed:
            break;
        }
        return Failure{localized("The catalogue cannot be read: %1").arg(db.errorMessage())};
    };

    Result<> loaded = readTable("SELECT pk FROM artwork", [&](qint64 key) {
        auto artwork = std::make_unique<Artwork>(key, &db, true);
        if (artwork->sale_loan())
            contents.availableArtworks.push_back(artwork.get());
        contents.artworks.push_back(std::move(artwork));
    });
    if (loaded)
        loaded = readTable("SELECT pk FROM client", [&](qint64 key) {
            auto client = std::make_unique<Client>(key, &db, true);
            if (client->status())
                contents.availableClients.push_back(client.get());
            contents.clients.push_back(std::move(client));
        });
    if (loaded)
        loaded = readTable("SELECT pk FROM submission", [&](qint64 key) {
            contents.submissions.push_back(std::make_unique<Submission>(key, &db, true));
        });
    if (loaded)
        loaded = readTable("SELECT pk FROM medium", [&](qint64 key) {
            contents.mediums.push_back(std::make_unique<Medium>(key, &db, true));
        });
    if (loaded)
        loaded = readTable("SELECT pk FROM artist", [&](qint64 key) {
            contents.artists.push_back(std::make_unique<Artist>(key, &db, true));
        });
    if (loaded)
        loaded = readTable("SELECT pk FROM image", [&](qint64 key) {
            auto image = std::make_unique<Image>(key, &db, m_settings.packagePath, true);
            if (image->linkedKey() == Image::kNone && !m_mapUpgradedImages) {
                m_unownedImages.push_back(std::move(image));
                return;
            }
            if (image->linkedKey() == Image::kUpgraded)
                m_mapUpgradedImages = true;
            contents.images.push_back(std::move(image));
        });
    return loaded;
}

void CatalogueLoader::sortRecords()
{
    CatalogueContents &contents = m_load.contents;
    const CatalogueOrder &order = m_settings.order;
    sortArtworks(contents.artworks, order.artworksByArtist, order.artworksAscending);
    sortClients(contents.clients, order.clientsAscending);
    const quint32 collation = collationSerial(false);
    sortByKey(contents.availableArtworks,
              [&](const Artwork &a) -> const QByteArray & { return a.titleSortKey(collation); });
    sortByKey(contents.availableClients,
              [&](const Client &c) -> const QByteArray & { return c.companyTextSortKey(collation); });
}

void CatalogueLoader::addDefaultMediumsToDatabase()
{
    CatalogueContents &contents = m_load.contents;
    QStringList existing;
    for (auto &medium : contents.mediums)
        existing << medium->name();
    QStringList artworkMediums;
    for (auto &artwork : contents.artworks)
        artworkMediums << artwork->medium();
    for (const QString &name : mediumNamesToAdd(artworkMediums, existing)) {
        auto medium = std::make_unique<Medium>();
        medium->setName(name);
        medium->insertIntoDatabase(contents.database.get());
        medium->save();
        contents.mediums.push_back(std::move(medium));
    }
}

void CatalogueLoader::addDefaultArtistsToDatabase()
{
    CatalogueContents &contents = m_load.contents;
    QStringList names;
    for (auto &artwork : contents.artworks) {
        if (!artwork->artist().isEmpty())
            names << capitalized(artwork->artist());
    }
    names.removeDuplicates();
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return localizedCaseInsensitiveCompare(a, b) < 0; });
    for (const QString &name : std::as_const(names)) {
        auto artist = std::make_unique<Artist>();
        artist->setName(name);
        artist->insertIntoDatabase(contents.database.get());
        contents.artists.push_back(std::move(artist));
    }
}

void CatalogueLoader::mapUpgradedImages()
{
    CatalogueContents &contents = m_load.contents;
    std::unordered_map<qint64, Image *> imageByKey;
    for (auto &image : contents.images)
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
    for (auto &artwork : contents.artworks) {
        adopt(artwork->photoKey1(), *artwork, 0);
        adopt(artwork->photoKey2(), *artwork, 1);
    }
    std::vector<Image *> unclaimed;
    for (auto it = contents.images.rbegin(); it != contents.images.rend(); ++it) {
        if ((*it)->linkedType() == Image::kUpgraded)
            unclaimed.push_back(it->get());
    }
    for (Image *image : unclaimed)
        dropImage(image);
}

void CatalogueLoader::mapSubmissionsAndImages()
{
    CatalogueContents &contents = m_load.contents;
    std::unordered_map<qint64, Artwork *> artworkByKey;
    std::unordered_map<qint64, Client *> clientByKey;
    artworkByKey.reserve(contents.artworks.size());
    clientByKey.reserve(contents.clients.size());
    for (auto &artwork : contents.artworks)
        artworkByKey.emplace(artwork->primaryKey(), artwork.get());
    for (auto &client : contents.clients)
        clientByKey.emplace(client->primaryKey(), client.get());
    linkSubmissions(artworkByKey, clientByKey);
    linkImages(artworkByKey);
}

void CatalogueLoader::linkSubmissions(const std::unordered_map<qint64, Artwork *> &artworkByKey,
                                      const std::unordered_map<qint64, Client *> &clientByKey)
{
    CatalogueContents &contents = m_load.contents;
    auto find = [](const auto &byKey, qint64 key) {
        auto it = byKey.find(key);
        return it == byKey.end() ? nullptr : it->second;
    };
    for (auto &submission : contents.submissions) {
        if (submission->artworkKey() != 0)
            submission->setArtwork(find(artworkByKey, submission->artworkKey()));
        if (submission->clientKey() != 0)
            submission->setClient(find(clientByKey, submission->clientKey()));
    }
    // The whole list is sorted first, so each artwork's and client's list, filled in that order, is
    // sorted already (the stable sort keeps equal submissions in load order, as a sort of each list
    // would).
    const quint32 collation = collationSerial(false);
    std::vector<Submission::OrderKey> keys;
    keys.reserve(contents.submissions.size());
    for (const auto &submission : contents.submissions)
        keys.push_back(submission->orderKey(collation));
    sortSubmissions(contents.submissions, std::move(keys), m_settings.order.submissionsAscending);
    for (auto &submission : contents.submissions) {
        if (submission->isOverdue())
            ++m_load.overdueSubmissions;
        if (Artwork *artwork = submission->artworkKey() != 0 ? submission->artwork() : nullptr)
            artwork->appendSubmission(submission.get());
        if (Client *client = submission->clientKey() != 0 ? submission->client() : nullptr)
            client->appendSubmission(submission.get());
    }
}

void CatalogueLoader::linkImages(const std::unordered_map<qint64, Artwork *> &artworkByKey)
{
    CatalogueContents &contents = m_load.contents;
    std::vector<Image *> orphans;
    for (auto &image : contents.images) {
        if (image->linkedType() == Image::kOwnerArtwork) {
            auto it = artworkByKey.find(image->linkedKey());
            if (it != artworkByKey.end()) {
                it->second->addImage(image.get(), -1);
                continue;
            }
        }
        orphans.push_back(image.get());
    }
    // Without writes the orphans keep their rows and are only left out of the lists.
    for (Image *orphan : orphans) {
        if (readOnly())
            takeOwned(contents.images, orphan);
        else
            dropImage(orphan);
    }
    for (auto &artwork : contents.artworks)
        artwork->sortImages();
}

void CatalogueLoader::dropUnownedImages()
{
    // Without writes their rows stay until a load that may write.
    for (auto &image : m_unownedImages) {
        if (readOnly())
            continue;
        image->deleteRow();
        m_load.droppedImages.push_back(std::move(image));
    }
    m_unownedImages.clear();
}

void CatalogueLoader::dropImage(Image *image)
{
    image->deleteRow();
    m_load.droppedImages.push_back(takeOwned(m_load.contents.images, image));
}

} // namespace velumark
