#include "interchange/DatabaseExport.h"

#include "document/DocumentPackage.h"
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
#include <QUuid>
#include <cstdio>

namespace velumark {

namespace {

// A name beside the target for writing it before it takes the target's place.
QString stagingPathFor(const QString &target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath())
        .filePath(QStringLiteral(".%1.%2.partial")
                      .arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
}

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

DatabaseExport::DatabaseExport(VelumarkDatabase &document, QString destination, int scope, QObject *parent)
    : LongOperation(parent), m_document(document), m_destination(std::move(destination)), m_scope(scope),
      m_interchange(isInterchangePath(m_destination))
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
        // An image whose files are missing keeps whatever its row holds.
        image.addPhotosToDatabase();
        reportProgress(25.0 * static_cast<double>(i + 1) / static_cast<double>(keys.size()));
    }
    if (!db->exec("COMMIT") || !db->close())
        return failed(db->errorMessage());
    return {};
}

DatabaseExport::Outcome DatabaseExport::writeInterchangeFile(const QString &copy)
{
    const QString staging = stagingPathFor(m_destination);
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
    const QString staging = stagingPathFor(m_destination);
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
        QString error;
        auto db = SqliteConnection::open(copy, SqliteConnection::Mode::ReadOnly, &error);
        if (!db)
            return discard(failed(error));
        auto query = db->prepare("SELECT pk FROM image WHERE type=0");
        if (!query)
            return discard(failed(db->errorMessage()));
        while (query->step() == SqliteStatement::Step::Row) {
            if (isAborted())
                return discard(cancelled());
            const qint64 key = query->columnInt64(0);
            for (const QString &name : {Image::photoFileName(key), Image::thumbnailFileName(key),
                                        Image::croppedThumbnailFileName(key)}) {
                const QString source = QDir(m_packagePath).filePath(name);
                if (QFileInfo::exists(source) && !QFile::copy(source, QDir(staging).filePath(name)))
                    return discard(failed(writeError));
            }
        }
    }
    if (isAborted())
        return discard(cancelled());
    QString error;
    if (!DocumentPackage::copyPackage(staging, m_destination, &error))
        return discard(failed(error));
    return discard({});
}

DatabaseExport::Outcome DatabaseExport::finish(Outcome outcome)
{
    if (m_began)
        m_document.endOperation();
    m_began = false;
    if (outcome.result == OperationResult::Done && isAborted())
        return outcome; // finished before the cancel arrived: the export is complete
    return outcome;
}

DatabaseExport::~DatabaseExport()
{
    stopWorker();
}

} // namespace velumark
