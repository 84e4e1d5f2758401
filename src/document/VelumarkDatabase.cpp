#include "document/VelumarkDatabase.h"

#include "document/ArtworkListController.h"
#include "document/CatalogueLoader.h"
#include "document/ClientListController.h"
#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/RecordOrders.h"
#include "document/RetiredRecords.h"
#include "document/SubmissionListController.h"
#include "document/ThumbnailCache.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/TextCompare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_set>

namespace velumark {

// ---------------------------------------------------------------------------------------------
// Object

VelumarkDatabase::VelumarkDatabase()
    : m_notifier(std::make_unique<DocumentNotifier>()),
      m_thumbnailCache(std::make_unique<ThumbnailCache>(*m_notifier)),
      m_retiredRecords(std::make_unique<RetiredRecords>())
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
    m_contents.clearRecords();
    emit m_notifier->listsReloaded();
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
    m_contents.database.reset();
    Result<std::unique_ptr<SqliteConnection>> connection =
        CatalogueLoader::connect(databasePath, m_package.isReadOnly());
    if (!connection)
        return Failure{connection.message()};
    m_contents.useConnection(std::move(connection).value());
    return {};
}

Result<> VelumarkDatabase::initializeDatabase(const QString &databasePath)
{
    CatalogueLoader::Settings settings;
    settings.databasePath = databasePath;
    settings.packagePath = m_package.packagePath();
    if (const Result<> writable = m_package.checkWritable(); !writable)
        settings.writeRefusal = writable.message();
    settings.writeCreationDate = m_writeCreationDate;
    settings.addMediums = m_addMediumsFlag;
    settings.order = listOrder();
    Result<CatalogueLoad> loaded = CatalogueLoader(std::move(settings)).load();
    if (!loaded) {
        // The lists are rebuilt from nothing after a failure: the old records may name rows that
        // the file no longer holds.
        m_contents.database.reset();
        dropRecords();
        return Failure{loaded.message()};
    }
    m_addMediumsFlag = false;
    adopt(std::move(loaded).value());
    return {};
}

void VelumarkDatabase::adopt(CatalogueLoad loaded)
{
    emit m_notifier->listsAboutToBeReloaded();
    std::swap(m_contents, loaded.contents);
    const CatalogueOrder order = loaded.order;
    const quint64 overdue = loaded.overdueSubmissions;
    Artwork::sortAscending(order.artworksAscending);
    Client::sortAscending(order.clientsAscending);
    Submission::sortAscending(order.submissionsAscending);
    m_artworkOrder = ArtworkOrder{order.artworksByArtist, order.artworksAscending};
    m_clientOrderAscending = order.clientsAscending;
    m_submissionOrderAscending = order.submissionsAscending;
    m_submissionKeys = {};
    if (!m_package.isReadOnly()) {
        for (const auto &image : loaded.droppedImages)
            image->removeFiles();
    }
    m_retiredRecords->add(std::move(loaded));
    emit m_notifier->listsReloaded();
    // A list's direction changed while a worker loaded in the order asked for at its start.
    if (listOrder() != order) {
        sortArtwork();
        sortClients();
        // Sets the class-wide direction that each record's own list follows.
        sortSubmissionsByDateAndTitle();
        for (auto &artwork : m_contents.artworks)
            artwork->sortSubmissions();
        for (auto &client : m_contents.clients)
            client->sortSubmissions();
    }
    m_submissionList->setOverdueCount(overdue);
}

void VelumarkDatabase::dropRecords()
{
    CatalogueLoad nothing;
    nothing.order = listOrder();
    adopt(std::move(nothing));
}

Result<> VelumarkDatabase::writeAllRecords()
{
    SqliteConnection &db = *m_contents.database;
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
    const bool wroteAll = writeAll(m_contents.artworks) && writeAll(m_contents.clients) &&
                          writeAll(m_contents.submissions) && writeAll(m_contents.mediums) &&
                          writeAll(m_contents.artists) && writeAll(m_contents.images);
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
    commitAll(m_contents.artworks);
    commitAll(m_contents.clients);
    commitAll(m_contents.submissions);
    commitAll(m_contents.mediums);
    commitAll(m_contents.artists);
    commitAll(m_contents.images);
    return {};
}

Result<> VelumarkDatabase::saveChanges()
{
    if (!m_contents.database)
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
    if (!m_contents.database)
        return {};
    if (const Result<> written = writeAllRecords(); !written)
        return written;
    SqliteConnection &db = *m_contents.database;
    // A compaction that fails (no room for the rewrite) leaves the file whole and as it was.
    if (compact && hasManyFreePages(db))
        (void)db.exec("vacuum;");
    if (!db.close())
        return Failure{
            formatFailure("Error: failed to close database with message '%s'.", db.errorMessage())};
    m_contents.database.reset();
    return {};
}

// ---------------------------------------------------------------------------------------------
// File handling

Result<> VelumarkDatabase::readFromURL(const QString &packagePath)
{
    m_writeCreationDate = false;
    m_package.setPath(packagePath);
    const QFileInfo package(packagePath);
    if (package.exists() && !package.isDir())
        return Failure{localized("%1 is not a catalogue.").arg(QDir::toNativeSeparators(packagePath))};
    if (package.isDir() && !QFileInfo::exists(dbFilename()))
        return Failure{
            localized("%1 is not a catalogue: it holds no %2.")
                .arg(QDir::toNativeSeparators(packagePath), QString::fromLatin1(kDatabaseFileName))};
    const Result<bool> created = createEditableCopyOfDatabaseIfNeeded(packageFilename(), dbFilename());
    if (!created)
        return Failure{created.message()};
    if (created.value()) {
        m_writeCreationDate = true;
        m_addMediumsFlag = true;
    }
    if (const Result<> locked = m_package.lockOrOpenReadOnly(); !locked)
        return locked;
    if (const Result<> loaded = initializeDatabase(dbFilename()); !loaded) {
        m_package.unlock();
        DocumentRegistry::shared().deregisterDatabase(this);
        return loaded;
    }
    m_writeCreationDate = false;
    if (m_package.ownerWasKilled() && !isReadOnly()) {
        // What an import killed before its end left in the package.
        QFile::remove(QDir(packageFilename()).filePath(QString::fromLatin1(kImportStagingName)));
        Leftovers::removeStaleStaging(packageFilename());
        removeUnreferencedPictures();
    }
    return {};
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
    if (!DocumentPackage::samePath(targetPackagePath, packageFilename()))
        saved = moveToCopy(targetPackagePath, existing);
    // The document goes on working on its own database whatever happened above.
    if (const Result<> reopened = openDatabase(dbFilename()); !reopened)
        return reopened;
    return saved;
}

Result<> VelumarkDatabase::moveToCopy(const QString &targetPackagePath, ExistingCatalogue existing)
{
    if (const Result<> copied = DocumentPackage::copyPackage(packageFilename(), targetPackagePath, existing);
        !copied)
        return copied;
    if (const Result<> moved = m_package.moveTo(targetPackagePath); !moved)
        return moved;
    for (auto &image : m_contents.images)
        image->setPath(packageFilename());
    m_unsavedDocument = false;
    return {};
}

Result<OperationClaim> VelumarkDatabase::beginOperation()
{
    if (m_operationRunning)
        return Failure{localized("Another import or export is running for this catalogue. "
                                 "Wait until it has finished.")};
    if (!m_contents.database)
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

Result<> VelumarkDatabase::replaceDatabaseFile(const QString &stagedPath, CatalogueLoad loaded)
{
    // The load read the staged file under its staging name; the records work on the file under the
    // document's name once it has taken the old one's place.
    loaded.contents.database.reset();
    if (m_contents.database && !m_contents.database->close())
        return Failure{formatFailure("Error: failed to close database with message '%s'.",
                                     m_contents.database->errorMessage())};
    m_contents.database.reset();
    // rename(2) replaces the old file in one step: a crash leaves either file, never a mix.
    if (std::rename(QFile::encodeName(stagedPath).constData(), QFile::encodeName(dbFilename()).constData()) !=
        0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        // The old file is still there: the document goes on with it and its records.
        (void)openDatabase(dbFilename());
        return Failure{localized("The imported database cannot replace %1: %2")
                           .arg(QDir::toNativeSeparators(dbFilename()), reason)};
    }
    Result<std::unique_ptr<SqliteConnection>> connection =
        CatalogueLoader::connect(dbFilename(), isReadOnly());
    if (!connection) {
        // The records of the old file are of no use now; the next open tells what is wrong.
        dropRecords();
        return Failure{connection.message()};
    }
    loaded.contents.useConnection(std::move(connection).value());
    m_writeCreationDate = false;
    m_addMediumsFlag = false;
    adopt(std::move(loaded));
    return {};
}

void VelumarkDatabase::removeUnreferencedPictures() const
{
    std::unordered_set<qint64> keys;
    for (const auto &image : m_contents.images)
        keys.insert(image->primaryKey());
    DocumentPackage::removeUnreferencedPictures(packageFilename(), keys);
}

Result<> VelumarkDatabase::close()
{
    if (const Result<> flushed = flushDatabase(!isReadOnly()); !flushed)
        return flushed;
    m_package.unlock();
    DocumentRegistry::shared().deregisterDatabase(this);
    return {};
}

} // namespace velumark
