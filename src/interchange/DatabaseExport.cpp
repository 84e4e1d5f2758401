#include "interchange/DatabaseExport.h"

#include "document/DocumentPackage.h"
#include "document/PackageDestination.h"
#include "document/VelumarkDatabase.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/Image.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace velumark {

namespace {

const char *filterScript(int scope)
{
    switch (scope) {
    case ExportScope::ArtworksAndClients:
        return DatabaseFile::kExportArtworkAndClients;
    case ExportScope::Artworks:
        return DatabaseFile::kExportArtwork;
    case ExportScope::Clients:
        return DatabaseFile::kExportClients;
    default:
        return nullptr;
    }
}

} // namespace

DatabaseExport::DatabaseExport(VelumarkDatabase &document, QString destination, int scope,
                               ExistingCatalogue existing, QObject *parent)
    : LongOperation(parent), m_document(document), m_destination(std::move(destination)), m_scope(scope),
      m_existing(existing), m_interchange(isInterchangePath(m_destination))
{}

bool DatabaseExport::isInterchangePath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix == QLatin1String("vdbi") || suffix == QLatin1String("VDBI");
}

bool DatabaseExport::prepare(QString *error)
{
    if (!ExportScope::isValid(m_scope)) {
        *error = localized("Unknown export type %1.").arg(m_scope);
        return false;
    }
    if (m_destination.isEmpty() || DocumentPackage::isInside(m_destination, m_document.packageFilename())) {
        *error = localized("Exporting to a currently open database is not permitted. Please select another "
                           "database for export.");
        return false;
    }
    if (m_interchange ? QFileInfo(m_destination).isDir()
                      : PackageDestination::check(m_destination, m_existing, error) !=
                            PackageDestination::Problem::None) {
        if (m_interchange)
            *error = localized("%1 is a folder; an interchange file cannot take its place.")
                         .arg(QDir::toNativeSeparators(m_destination));
        return false;
    }
    if (!m_folder.isValid()) {
        *error = localized("The cache folder for temporary files cannot be created.");
        return false;
    }
    if (!m_document.beginOperation(error))
        return false;
    m_began = true;
    if (!m_document.saveChanges(error) || !writeHeader(error)) {
        m_document.endOperation();
        m_began = false;
        return false;
    }
    m_databasePath = m_document.dbFilename();
    m_packagePath = m_document.packageFilename();
    return true;
}

bool DatabaseExport::writeHeader(QString *error)
{
    SqliteConnection &db = *m_document.database();
    auto update =
        db.prepare("UPDATE version SET app_identifier=?, app_version=?, export_date=?, num_artworks=?, "
                   "num_clients=?, num_submissions=?, num_mediums=?, num_artists=?, num_images=? WHERE pk=?");
    if (!update) {
        *error = formatFailure("Error: failed to prepare statement with message '%s'.", db.errorMessage());
        return false;
    }
    // The counts are those of the whole document, taken before any scope filter.
    update->bindInt64(1, 0);
    update->bindDouble(2, 1.3);
    update->bindDouble(3, storedSecondsFromDate(VelumarkUtility::now()));
    update->bindInt64(4, static_cast<qint64>(m_document.artworks().size()));
    update->bindInt64(5, static_cast<qint64>(m_document.clients().size()));
    update->bindInt64(6, static_cast<qint64>(m_document.submissions().size()));
    update->bindInt64(7, static_cast<qint64>(m_document.mediums().size()));
    update->bindInt64(8, static_cast<qint64>(m_document.artists().size()));
    update->bindInt64(9, static_cast<qint64>(m_document.images().size()));
    update->bindInt64(10, m_document.versionPrimaryKey());
    if (update->step() != SqliteStatement::Step::Done) {
        *error = formatFailure("Error: failed to update database message '%s'.", db.errorMessage());
        return false;
    }
    return true;
}

DatabaseExport::Outcome DatabaseExport::run()
{
    const QString copy = m_folder.exportCopy();
    QString error;
    if (!DatabaseFile::copyDatabase(m_databasePath, copy, &error))
        return failed(localized("The catalogue cannot be copied for the export: %1").arg(error));
    if (m_interchange) {
        const Outcome blobs = putPicturesIntoBlobs(copy);
        if (blobs.result != OperationResult::Done)
            return blobs;
    }
    if (isAborted())
        return cancelled();
    reportProgress(25);

    if (const char *script = filterScript(m_scope)) {
        // A copy that was not reduced must never go out under a narrower scope.
        if (!DatabaseFile::filter(copy, script, &error))
            return failed(error);
    } else {
        auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadWrite, &error);
        if (!db || !db->exec("vacuum;") || !db->close())
            return failed(formatFailure("Error: failed to compact database with message '%s'.",
                                        db ? db->errorMessage() : error));
    }
    if (isAborted())
        return cancelled();
    reportProgress(50);

    const Outcome written = m_interchange ? writeInterchangeFile(copy) : writePackage(copy);
    if (written.result == OperationResult::Done)
        reportProgress(100);
    return written;
}

DatabaseExport::Outcome DatabaseExport::putPicturesIntoBlobs(const QString &copy)
{
    QString error;
    auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadWrite, &error);
    if (!db)
        return failed(error);
    std::vector<qint64> keys;
    {
        auto query = db->prepare("SELECT pk FROM image");
        if (!query)
            return failed(db->errorMessage());
        for (SqliteStatement::Step step; (step = query->step()) == SqliteStatement::Step::Row;)
            keys.push_back(query->columnInt64(0));
    }
    if (!db->exec("BEGIN"))
        return failed(db->errorMessage());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (isAborted())
            return cancelled();
        Image image(keys[i], db.get(), m_packagePath, false);
        QStringList unreadable;
        if (image.addPhotosToDatabase(&unreadable) != 0) {
            if (unreadable.isEmpty())
                return failed(db->errorMessage());
            noteUnreadable(*db, image, unreadable);
        }
        reportProgress(25.0 * static_cast<double>(i + 1) / static_cast<double>(keys.size()));
    }
    if (!db->exec("COMMIT") || !db->close())
        return failed(db->errorMessage());
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

DatabaseExport::Outcome DatabaseExport::writeInterchangeFile(const QString &copy)
{
    const QString staging = PackageDestination::stagingPathFor(m_destination);
    if (!QFile::copy(copy, staging)) {
        QFile::remove(staging);
        return failed(
            localized("The export cannot be written to %1.").arg(QDir::toNativeSeparators(m_destination)));
    }
    QString error;
    if (!DatabaseFile::verify(staging, &error)) {
        QFile::remove(staging);
        return failed(localized("The exported file is not complete: %1").arg(error));
    }
    reportProgress(75);
    if (isAborted()) {
        QFile::remove(staging);
        return cancelled();
    }
    if (std::rename(QFile::encodeName(staging).constData(), QFile::encodeName(m_destination).constData()) !=
        0) {
        QFile::remove(staging);
        return failed(
            localized("The export cannot be written to %1.").arg(QDir::toNativeSeparators(m_destination)));
    }
    return {};
}

DatabaseExport::Outcome DatabaseExport::writePackage(const QString &copy)
{
    const QString staging = PackageDestination::stagingPathFor(m_destination);
    auto discard = [&](Outcome outcome) {
        QDir(staging).removeRecursively();
        return outcome;
    };
    const QString writeError =
        localized("The export cannot be written to %1.").arg(QDir::toNativeSeparators(m_destination));
    if (!QDir().mkdir(staging))
        return failed(writeError);
    if (!QFile::copy(copy, QDir(staging).filePath(QString::fromLatin1(VelumarkDatabase::kDatabaseFileName))))
        return discard(failed(writeError));
    reportProgress(75);

    if (m_scope != ExportScope::Clients) {
        const Outcome pictures = copyPictures(copy, staging);
        if (pictures.result != OperationResult::Done)
            return discard(pictures);
    }
    if (isAborted())
        return discard(cancelled());
    QString error;
    if (!PackageDestination::install(staging, m_destination, m_existing, &error))
        return discard(failed(error));
    return {};
}

DatabaseExport::Outcome DatabaseExport::copyPictures(const QString &copy, const QString &staging)
{
    QString error;
    auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadOnly, &error);
    if (!db)
        return failed(error);
    auto query = db->prepare("SELECT pk FROM image WHERE type=0");
    if (!query)
        return failed(db->errorMessage());
    while (query->step() == SqliteStatement::Step::Row) {
        if (isAborted())
            return cancelled();
        const Image image(query->columnInt64(0), db.get(), m_packagePath, false);
        QStringList unreadable;
        for (const QString &source :
             {image.photoFilePath(), image.thumbnailFilePath(), image.croppedThumbnailFilePath()}) {
            QString problem;
            const QByteArray bytes = Image::readPictureFile(source, &problem);
            if (bytes.isEmpty()) {
                // The square thumbnail is made again from the thumbnail when it is missing.
                if (source != image.croppedThumbnailFilePath())
                    unreadable << problem;
                continue;
            }
            QFile file(QDir(staging).filePath(QFileInfo(source).fileName()));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
                return failed(localized("The export cannot be written to %1: %2")
                                  .arg(QDir::toNativeSeparators(m_destination), file.errorString()));
        }
        if (!unreadable.isEmpty())
            noteUnreadable(*db, image, unreadable);
    }
    return {};
}

DatabaseExport::Outcome DatabaseExport::finish(Outcome outcome)
{
    if (m_began)
        m_document.endOperation();
    m_began = false;
    if (outcome.result == OperationResult::Done && !m_unreadablePhotos.isEmpty())
        outcome.message = localized("These photo files could not be read; their pictures are not in the "
                                    "export:\n%1")
                              .arg(m_unreadablePhotos.join(QLatin1Char('\n')));
    return outcome;
}

DatabaseExport::~DatabaseExport()
{
    stopWorker();
}

} // namespace velumark
