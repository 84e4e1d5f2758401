#include "interchange/DatabaseExport.h"

#include "document/DocumentPackage.h"
#include "document/PackageDestination.h"
#include "document/VelumarkDatabase.h"
#include "interchange/CopyClaim.h"
#include "store/Clock.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/FileOperations.h"
#include "store/Image.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/StoredDate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace velumark {

namespace {

const char *filterScript(TransferScope scope)
{
    switch (scope) {
    case TransferScope::ArtworksAndClients:
        return DatabaseFile::kExportArtworkAndClients;
    case TransferScope::Artworks:
        return DatabaseFile::kExportArtwork;
    case TransferScope::Clients:
        return DatabaseFile::kExportClients;
    case TransferScope::Complete:
        break;
    }
    return nullptr;
}

} // namespace

DatabaseExport::DatabaseExport(VelumarkDatabase &document, QString destination, TransferScope scope,
                               ExistingCatalogue existing, QObject *parent)
    : LongOperation(parent), m_document(document), m_destination(std::move(destination)), m_scope(scope),
      m_existing(existing), m_interchange(isInterchangePath(m_destination))
{}

bool DatabaseExport::isInterchangePath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix == QLatin1String("vdbi") || suffix == QLatin1String("VDBI");
}

Result<> DatabaseExport::checkDestination() const
{
    if (m_destination.isEmpty() || DocumentPackage::isInside(m_destination, m_document.packageFilename()))
        return Failure{localized("Exporting to a currently open database is not permitted. Please select "
                                 "another database for export.")};
    if (!m_interchange)
        return PackageDestination::check(m_destination, m_existing);
    if (QFileInfo(m_destination).isDir())
        return Failure{localized("%1 is a folder; an interchange file cannot take its place.")
                           .arg(QDir::toNativeSeparators(m_destination))};
    return {};
}

Result<> DatabaseExport::prepare()
{
    if (const Result<> allowed = checkDestination(); !allowed)
        return allowed;
    Result<OperationClaim> claim = claimForCopy(m_document, m_folder);
    if (!claim)
        return Failure{claim.message()};
    m_claim = std::move(claim).value();
    // The counts are those of the whole document, taken before any scope filter.
    m_header = {
        m_document.versionPrimaryKey(),
        Clock::now(),
        {static_cast<qint64>(m_document.artworks().size()), static_cast<qint64>(m_document.clients().size()),
         static_cast<qint64>(m_document.submissions().size()),
         static_cast<qint64>(m_document.mediums().size()), static_cast<qint64>(m_document.artists().size()),
         static_cast<qint64>(m_document.images().size())}};
    m_databasePath = m_document.dbFilename();
    m_packagePath = m_document.packageFilename();
    return {};
}

Result<> DatabaseExport::writeHeader(const QString &copy) const
{
    // Into the copy, not the document's file: a write-protected catalogue can be exported too.
    QString error;
    auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadWrite, &error);
    if (!db)
        return Failure{error};
    auto update = db->prepare(
        "UPDATE version SET app_identifier=?, app_version=?, export_date=?, num_artworks=?, "
        "num_clients=?, num_submissions=?, num_mediums=?, num_artists=?, num_images=? WHERE pk=?");
    if (!update)
        return Failure{
            formatFailure("Error: failed to prepare statement with message '%s'.", db->errorMessage())};
    update->bindInt64(1, 0);
    update->bindDouble(2, 1.3);
    update->bindDouble(3, storedSecondsFromDate(m_header.exportDate));
    for (int i = 0; i < 6; ++i)
        update->bindInt64(4 + i, m_header.counts[i]);
    update->bindInt64(10, m_header.versionKey);
    if (update->step() != SqliteStatement::Step::Done)
        return Failure{formatFailure("Error: failed to update database message '%s'.", db->errorMessage())};
    update.reset();
    if (!db->close())
        return Failure{db->errorMessage()};
    return {};
}

Result<> DatabaseExport::reduceToScope(const QString &copy) const
{
    // A copy that was not reduced must never go out under a narrower scope.
    if (const char *script = filterScript(m_scope))
        return DatabaseFile::filter(copy, script);
    QString error;
    auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadWrite, &error);
    if (!db || !db->exec("vacuum;") || !db->close())
        return Failure{formatFailure("Error: failed to compact database with message '%s'.",
                                     db ? db->errorMessage() : error)};
    return {};
}

Result<> DatabaseExport::run()
{
    // What killed exports left beside the destination goes; the staging of running ones stays.
    Leftovers::removeStaleStaging(QFileInfo(m_destination).absolutePath());
    const QString copy = m_folder.exportCopy();
    // The copy lies in the cache folder; a failure there (a full disk) names it.
    auto copyFailed = [&copy](const Result<> &failed) -> Result<> {
        return Failure{localized("The export copy %1 cannot be written: %2")
                           .arg(QDir::toNativeSeparators(copy), failed.message())};
    };
    Result<> copied = DatabaseFile::copyDatabase(m_databasePath, copy);
    if (copied)
        copied = writeHeader(copy);
    if (copied && m_interchange)
        copied = putPicturesIntoBlobs(copy);
    if (!copied)
        return isAborted() ? copied : copyFailed(copied);
    if (isAborted())
        return stopped();
    reportProgress(25);

    if (const Result<> reduced = reduceToScope(copy); !reduced)
        return copyFailed(reduced);
    if (isAborted())
        return stopped();
    reportProgress(50);

    const Result<> written = m_interchange ? writeInterchangeFile(copy) : writePackage(copy);
    if (written)
        reportProgress(100);
    return written;
}

Result<> DatabaseExport::putPicturesIntoBlobs(const QString &copy)
{
    QString error;
    auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadWrite, &error);
    if (!db)
        return Failure{error};
    std::vector<qint64> keys;
    {
        auto query = db->prepare("SELECT pk FROM image");
        if (!query)
            return Failure{db->errorMessage()};
        for (SqliteStatement::Step step; (step = query->step()) == SqliteStatement::Step::Row;)
            keys.push_back(query->columnInt64(0));
    }
    if (!db->exec("BEGIN"))
        return Failure{db->errorMessage()};
    for (size_t i = 0; i < keys.size(); ++i) {
        if (isAborted())
            return stopped();
        Image image(keys[i], db.get(), m_packagePath, false);
        QStringList unreadable;
        if (image.addPhotosToDatabase(&unreadable) != 0) {
            if (unreadable.isEmpty())
                return Failure{db->errorMessage()};
            noteUnreadable(*db, image, unreadable);
        }
        reportProgress(25.0 * static_cast<double>(i + 1) / static_cast<double>(keys.size()));
    }
    if (!db->exec("COMMIT") || !db->close())
        return Failure{db->errorMessage()};
    return {};
}

void DatabaseExport::noteUnreadable(SqliteConnection &copy, const Image &image, const QStringList &files)
{
    // A row of an older database that still holds its pictures needs no files.
    auto held = copy.prepare("SELECT length(photo) > 0 AND length(thumbnail) > 0 FROM image WHERE pk=?");
    if (held) {
        held->bindInt64(1, image.primaryKey());
        if (held->step() == SqliteStatement::Step::Row && held->columnInt64(0) != 0)
            return;
    }
    QString title;
    if (auto artwork = copy.prepare("SELECT title FROM artwork WHERE pk=?")) {
        artwork->bindInt64(1, image.linkedKey());
        if (image.linkedType() == Image::kOwnerArtwork && artwork->step() == SqliteStatement::Step::Row)
            title = artwork->columnText(0);
    }
    for (const QString &file : files)
        m_unreadablePhotos << (title.isEmpty() ? file : localized("%1 (a photo of \"%2\")").arg(file, title));
}

Result<> DatabaseExport::writeInterchangeFile(const QString &copy)
{
    const QString staging = Leftovers::stagingPathFor(m_destination);
    if (const Result<> copied = FileOperations::copyFile(copy, staging); !copied)
        return Failure{localized("The export cannot be written to %1: %2")
                           .arg(QDir::toNativeSeparators(m_destination), copied.message())};
    if (const Result<> sound = DatabaseFile::verify(staging); !sound) {
        QFile::remove(staging);
        return Failure{localized("The exported file is not complete: %1").arg(sound.message())};
    }
    reportProgress(75);
    if (isAborted()) {
        QFile::remove(staging);
        return stopped();
    }
    if (std::rename(QFile::encodeName(staging).constData(), QFile::encodeName(m_destination).constData()) !=
        0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(staging);
        return Failure{localized("The export cannot be written to %1: %2")
                           .arg(QDir::toNativeSeparators(m_destination), reason)};
    }
    return {};
}

Result<> DatabaseExport::writePackage(const QString &copy)
{
    const QString staging = Leftovers::stagingPathFor(m_destination);
    auto writeFailed = [&](const QString &reason) -> Result<> {
        return Failure{localized("The export cannot be written to %1: %2")
                           .arg(QDir::toNativeSeparators(m_destination), reason)};
    };
    if (::mkdir(QFile::encodeName(staging).constData(), 0777) != 0)
        return writeFailed(QString::fromLocal8Bit(std::strerror(errno)));
    const auto discard = qScopeGuard([&] { QDir(staging).removeRecursively(); });
    if (const Result<> copied = FileOperations::copyFile(
            copy, QDir(staging).filePath(QString::fromLatin1(VelumarkDatabase::kDatabaseFileName)));
        !copied)
        return writeFailed(copied.message());
    reportProgress(75);

    if (carriesArtworks(m_scope)) {
        if (const Result<> pictures = copyPictures(copy, staging); !pictures)
            return pictures;
    }
    if (isAborted())
        return stopped();
    return PackageDestination::install(staging, m_destination, m_existing);
}

Result<> DatabaseExport::copyPictures(const QString &copy, const QString &staging)
{
    QString error;
    auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadOnly, &error);
    if (!db)
        return Failure{error};
    auto query = db->prepare("SELECT pk FROM image WHERE type=0");
    if (!query)
        return Failure{db->errorMessage()};
    while (query->step() == SqliteStatement::Step::Row) {
        if (isAborted())
            return stopped();
        const Image image(query->columnInt64(0), db.get(), m_packagePath, false);
        QStringList unreadable;
        for (const QString &source :
             {image.photoFilePath(), image.thumbnailFilePath(), image.croppedThumbnailFilePath()}) {
            const Result<QByteArray> bytes = Image::readPictureFile(source);
            if (!bytes) {
                // The square thumbnail is made again from the thumbnail when it is missing.
                if (source != image.croppedThumbnailFilePath())
                    unreadable << bytes.message();
                continue;
            }
            QFile file(QDir(staging).filePath(QFileInfo(source).fileName()));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
                !FileOperations::writeAll(file, bytes->constData(), bytes->size()))
                return Failure{localized("The export cannot be written to %1: %2")
                                   .arg(QDir::toNativeSeparators(m_destination), file.errorString())};
        }
        if (!unreadable.isEmpty())
            noteUnreadable(*db, image, unreadable);
    }
    return {};
}

Result<> DatabaseExport::finish(Result<> outcome)
{
    m_claim.release();
    if (outcome && !m_unreadablePhotos.isEmpty())
        setNote(localized("These photo files could not be read; their pictures are not in the export:\n%1")
                    .arg(m_unreadablePhotos.join(QLatin1Char('\n'))));
    return outcome;
}

DatabaseExport::~DatabaseExport()
{
    stopWorker();
}

} // namespace velumark
