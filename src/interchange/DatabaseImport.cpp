#include "interchange/DatabaseImport.h"

#include "document/CatalogueLoader.h"
#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"
#include "interchange/CopyClaim.h"
#include "interchange/DatabaseExport.h"
#include "interchange/DatabaseMerge.h"
#include "store/Clock.h"
#include "store/DatabaseFile.h"
#include "store/FileOperations.h"
#include "store/Localization.h"
#include "store/StoredDate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velumark {

namespace {

// The merge reports progress up to here; loading the records of the new file takes the rest.
constexpr double kMergeEnd = 90;

// Makes sure the staged file's bytes are on disk before it can replace the document's file.
Result<> syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int code = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        return Failure{QString::fromLocal8Bit(std::strerror(code))};
    return {};
}

} // namespace

DatabaseImport::DatabaseImport(VelumarkDatabase &document, Source source, QString sourcePath,
                               TransferScope scope, bool overwriteAllowed, QObject *parent)
    : LongOperation(parent), m_document(document), m_source(source), m_sourcePath(std::move(sourcePath)),
      m_scope(scope), m_overwriteAllowed(overwriteAllowed)
{}

bool DatabaseImport::isCompleteRestore() const
{
    return m_scope == TransferScope::Complete && m_overwriteAllowed;
}

Result<> DatabaseImport::prepare()
{
    if (const Result<> editable = m_document.checkEditable(); !editable)
        return editable;
    if (m_source == Source::Package && DocumentPackage::samePath(m_sourcePath, m_document.packageFilename()))
        return Failure{localized("Importing from a currently open database is not permitted. Please select "
                                 "another database for import.")};
    Result<OperationClaim> claim = claimForCopy(m_document, m_folder);
    if (!claim)
        return Failure{claim.message()};
    m_claim = std::move(claim).value();
    m_databasePath = m_document.dbFilename();
    m_packagePath = m_document.packageFilename();
    m_order = m_document.listOrder();
    auto highest = m_document.database()->prepare("SELECT max(pk) FROM image");
    m_highestImageKey =
        highest && highest->step() == SqliteStatement::Step::Row ? highest->columnInt64(0) : 0;
    return {};
}

QString DatabaseImport::foreignFilePath() const
{
    return m_source == Source::Package
               ? QDir(m_sourcePath).filePath(QString::fromLatin1(VelumarkDatabase::kDatabaseFileName))
               : m_sourcePath;
}

Result<> DatabaseImport::prepareForeignDatabase(const QString &target)
{
    const QString source = foreignFilePath();
    // A prepared file belongs to this import and may be moved; anything of the user's is copied
    // so that upgrading it never changes the original.
    const bool taken = m_source == Source::Prepared && QFile::rename(source, target);
    if (!taken) {
        if (const Result<> copied = FileOperations::copyFile(source, target); !copied)
            return Failure{localized("The file to import %1 cannot be copied to %2: %3")
                               .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(target),
                                    copied.message())};
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return {};
}

Result<> DatabaseImport::makeWorkingCopy()
{
    const QString working = m_folder.workingCopy();
    if (!isCompleteRestore()) {
        if (const Result<> copied = DatabaseFile::copyDatabase(m_databasePath, working); !copied)
            return Failure{localized("The catalogue cannot be copied to %1 for the import: %2")
                               .arg(QDir::toNativeSeparators(working), copied.message())};
        return {};
    }
    if (const Result<> copied = DatabaseFile::copyTemplate(working); !copied)
        return Failure{localized("A new database cannot be made for the restore: %1").arg(copied.message())};
    QString error;
    auto db = SqliteConnection::open(working, SqliteConnection::Mode::ReadWrite, &error);
    if (!db)
        return Failure{error};
    auto version = db->prepare("INSERT INTO version (version_num, creation_date, comments) VALUES(?, ?, ?)");
    if (!version)
        return Failure{db->errorMessage()};
    version->bindInt64(1, DatabaseFile::kCurrentVersion);
    version->bindDouble(2, storedSecondsFromDate(Clock::now()));
    version->bindText(3, QStringLiteral("Full"));
    if (version->step() != SqliteStatement::Step::Done)
        return Failure{db->errorMessage()};
    return {};
}

Result<> DatabaseImport::run()
{
    // Every submission read or written is judged overdue against the same today.
    const Clock::TodayScope today;
    const QFileInfo source(m_sourcePath);
    if (m_source == Source::Package && source.exists() && !source.isDir())
        return Failure{localized("%1 cannot be imported: it is neither a catalogue package (a folder) nor an "
                                 "interchange (.vdbi) or CSV (.csv) file.")
                           .arg(QDir::toNativeSeparators(m_sourcePath))};
    if (const Result<> readable = FileOperations::checkReadableFile(foreignFilePath()); !readable)
        return Failure{localized("The file to import %1 cannot be read: %2")
                           .arg(QDir::toNativeSeparators(foreignFilePath()), readable.message())};
    if (const Result<> prepared = prepareForeignDatabase(m_folder.importDatabase()); !prepared)
        return prepared;
    // The checks a download from a device gets, for every file: whole, and of a version we read.
    if (const Result<> sound = DatabaseFile::verifyForeign(m_folder.importDatabase()); !sound)
        return Failure{localized("%1 cannot be imported: %2")
                           .arg(QDir::toNativeSeparators(m_sourcePath), sound.message())};
    if (isAborted())
        return stopped();
    if (const Result<> copied = makeWorkingCopy(); !copied)
        return copied;
    if (const Result<> merged = mergeIntoWorkingCopy(); !merged)
        return merged;
    // Unchecked, a copy that went wrong would replace the catalogue.
    if (const Result<> sound = DatabaseFile::verify(m_folder.workingCopy()); !sound)
        return Failure{localized("The imported catalogue did not check out: %1").arg(sound.message())};
    if (isAborted())
        return stopped();
    if (const Result<> staged = stageIntoPackage(); !staged)
        return staged;
    return loadStaged();
}

Result<> DatabaseImport::loadStaged()
{
    CatalogueLoader::Settings settings;
    settings.databasePath = m_stagedDatabase;
    settings.packagePath = m_packagePath;
    // The staged file was checked as it is; what a load would tidy up waits for the next open.
    settings.writeRefusal = localized("The imported catalogue cannot be read as it was written.");
    settings.order = m_order;
    settings.progress = [this](double fraction) {
        reportProgress(kMergeEnd + fraction * (100 - kMergeEnd));
        return !isAborted();
    };
    Result<CatalogueLoad> loaded = CatalogueLoader(std::move(settings)).load();
    if (isAborted())
        return stopped();
    if (!loaded)
        return Failure{localized("The imported catalogue cannot be read: %1").arg(loaded.message())};
    m_loaded = std::move(loaded).value();
    return {};
}

Result<> DatabaseImport::mergeIntoWorkingCopy()
{
    QString error;
    auto working = SqliteConnection::open(m_folder.workingCopy(), SqliteConnection::Mode::ReadWrite, &error);
    if (!working || !working->exec(DatabaseFile::kCacheSizePragma))
        return Failure{localized("The copy of the catalogue cannot be opened: %1")
                           .arg(working ? working->errorMessage() : error)};
    if (!DatabaseFile::beginTransaction(*working))
        return Failure{working->errorMessage()};
    if (isCompleteRestore() && m_highestImageKey > 0) {
        // The restore's keys start again at 1; a placeholder row lifts new picture keys above
        // those of the pictures the document still uses until the new file takes its place.
        const QString lift = QStringLiteral("INSERT INTO image (pk, type, key, tag) VALUES (%1, -1, -1, -1)")
                                 .arg(m_highestImageKey);
        if (!working->exec(lift))
            return Failure{working->errorMessage()};
    }
    DatabaseMerge::Settings settings;
    settings.foreignPath = m_folder.importDatabase();
    settings.pictureFolder = m_source == Source::Package ? m_sourcePath : m_folder.importPhotos();
    settings.tempPhotos = m_folder.tempPhotos();
    settings.scope = m_scope;
    std::atomic<bool> aborted{false};
    settings.aborted = &aborted;
    settings.progress = [this, &aborted](double percent) {
        aborted = isAborted();
        reportProgress(m_preparationShare + percent * (kMergeEnd - m_preparationShare) / 100);
    };
    DatabaseMerge merge(*working, settings);
    aborted = isAborted();
    const Result<> merged = merge.run();
    if (!merged || isAborted()) {
        DatabaseFile::rollbackTransaction(*working);
        return merged ? Result<>(stopped()) : merged;
    }
    if (isCompleteRestore() && m_highestImageKey > 0 &&
        !working->exec(QStringLiteral("DELETE FROM image WHERE pk=%1").arg(m_highestImageKey)))
        return Failure{working->errorMessage()};
    if (!DatabaseFile::endTransaction(*working)) {
        const QString message = working->errorMessage();
        DatabaseFile::rollbackTransaction(*working);
        return Failure{localized("The import cannot be saved: %1").arg(message)};
    }
    if (!working->close())
        return Failure{working->errorMessage()};
    return {};
}

Result<> DatabaseImport::stageIntoPackage()
{
    m_stagedDatabase =
        QDir(m_packagePath).filePath(QString::fromLatin1(VelumarkDatabase::kImportStagingName));
    QFile::remove(m_stagedDatabase);
    Result<> staged = FileOperations::copyFile(m_folder.workingCopy(), m_stagedDatabase);
    if (staged)
        staged = syncFile(m_stagedDatabase);
    if (staged)
        staged = DatabaseFile::verify(m_stagedDatabase);
    if (!staged) {
        discardStaged();
        return Failure{localized("The imported catalogue cannot be written to %1: %2")
                           .arg(QDir::toNativeSeparators(m_stagedDatabase), staged.message())};
    }
    crashPoint("import-staged");
    // The pictures take new keys that no row of the current file uses, so they can move in now.
    QDirIterator pictures(m_folder.tempPhotos(), {QStringLiteral("*.jpg")}, QDir::Files);
    while (pictures.hasNext()) {
        const QString from = pictures.next();
        const QString to = QDir(m_packagePath).filePath(pictures.fileName());
        QFile::remove(to);
        if (!QFile::rename(from, to)) {
            discardStaged();
            return Failure{localized("An imported picture cannot be moved into %1.")
                               .arg(QDir::toNativeSeparators(m_packagePath))};
        }
        m_movedPictures.push_back(to);
    }
    crashPoint("import-pictures-moved");
    return {};
}

void DatabaseImport::discardStaged()
{
    if (!m_stagedDatabase.isEmpty())
        QFile::remove(m_stagedDatabase);
    for (const QString &picture : m_movedPictures)
        QFile::remove(picture);
    m_movedPictures.clear();
}

Result<> DatabaseImport::finish(Result<> outcome)
{
    if (outcome && isAborted())
        outcome = stopped();
    if (outcome) {
        Q_ASSERT(m_loaded);
        if (outcome = m_document.replaceDatabaseFile(m_stagedDatabase, std::move(*m_loaded)); outcome) {
            m_movedPictures.clear();
            crashPoint("import-swapped");
            if (isCompleteRestore())
                m_document.removeUnreferencedPictures();
        }
    }
    if (!outcome)
        discardStaged();
    m_loaded.reset();
    m_claim.release();
    if (outcome)
        reportProgress(100);
    return outcome;
}

DatabaseImport::~DatabaseImport()
{
    stopWorker();
}

} // namespace velumark
