#include "interchange/DatabaseImport.h"

#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"
#include "interchange/DatabaseExport.h"
#include "interchange/DatabaseMerge.h"
#include "store/DatabaseFile.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_set>

namespace velumark {

namespace {

constexpr const char *kStagedName = ".velumark.db.importing";

// Makes sure the staged file's bytes are on disk before it can replace the document's file.
bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

DatabaseImport::DatabaseImport(VelumarkDatabase &document, Source source, QString sourcePath, int scope,
                               bool overwriteAllowed, QObject *parent)
    : LongOperation(parent), m_document(document), m_source(source), m_sourcePath(std::move(sourcePath)),
      m_scope(scope), m_overwriteAllowed(overwriteAllowed)
{}

bool DatabaseImport::isCompleteRestore() const
{
    return m_scope == ExportScope::Complete && m_overwriteAllowed;
}

bool DatabaseImport::prepare(QString *error)
{
    if (!ExportScope::isValid(m_scope)) {
        *error = localized("Unknown import type %1.").arg(m_scope);
        return false;
    }
    if (m_source == Source::Package &&
        DocumentPackage::samePath(m_sourcePath, m_document.packageFilename())) {
        *error = localized("Importing from a currently open database is not permitted. Please select another "
                           "database for import.");
        return false;
    }
    if (!m_folder.isValid()) {
        *error = localized("The cache folder for temporary files cannot be created.");
        return false;
    }
    if (!m_document.beginOperation(error))
        return false;
    m_began = true;
    if (!m_document.saveChanges(error)) {
        m_document.endOperation();
        m_began = false;
        return false;
    }
    m_databasePath = m_document.dbFilename();
    m_packagePath = m_document.packageFilename();
    auto highest = m_document.database()->prepare("SELECT max(pk) FROM image");
    m_highestImageKey =
        highest && highest->step() == SqliteStatement::Step::Row ? highest->columnInt64(0) : 0;
    return true;
}

DatabaseImport::Outcome DatabaseImport::prepareForeignDatabase(const QString &target)
{
    QString source = m_sourcePath;
    if (m_source == Source::Package)
        source = QDir(m_sourcePath).filePath(QString::fromLatin1(VelumarkDatabase::kDatabaseFileName));
    if (!QFileInfo(source).isFile())
        return failed(
            localized("The file to import does not exist: %1").arg(QDir::toNativeSeparators(source)));
    // A prepared file belongs to this import and may be moved; anything of the user's is copied
    // so that upgrading it never changes the original.
    const bool taken = m_source == Source::Prepared && QFile::rename(source, target);
    if (!taken && !QFile::copy(source, target))
        return failed(
            localized("The file to import cannot be copied: %1").arg(QDir::toNativeSeparators(source)));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return {};
}

DatabaseImport::Outcome DatabaseImport::makeWorkingCopy()
{
    const QString working = m_folder.workingCopy();
    QString error;
    if (!isCompleteRestore()) {
        if (!DatabaseFile::copyDatabase(m_databasePath, working, &error))
            return failed(localized("The catalogue cannot be copied for the import: %1").arg(error));
        return {};
    }
    if (!DatabaseFile::copyTemplate(working, &error))
        return failed(localized("A new database cannot be made for the restore: %1").arg(error));
    auto db = SqliteConnection::open(working, SqliteConnection::Mode::ReadWrite, &error);
    if (!db)
        return failed(error);
    auto version = db->prepare("INSERT INTO version (version_num, creation_date, comments) VALUES(?, ?, ?)");
    if (!version)
        return failed(db->errorMessage());
    version->bindInt64(1, DatabaseFile::kCurrentVersion);
    version->bindDouble(2, storedSecondsFromDate(VelumarkUtility::now()));
    version->bindText(3, QStringLiteral("Full"));
    if (version->step() != SqliteStatement::Step::Done)
        return failed(db->errorMessage());
    return {};
}

DatabaseImport::Outcome DatabaseImport::run()
{
    // Every submission read or written is judged overdue against the same today.
    const VelumarkUtility::TodayScope today;
    Outcome outcome = prepareForeignDatabase(m_folder.importDatabase());
    if (outcome.result != OperationResult::Done)
        return outcome;
    QString error;
    // The checks a download from a device gets, for every file: whole, and of a version we read.
    if (!DatabaseFile::verifyForeign(m_folder.importDatabase(), &error))
        return failed(
            localized("%1 cannot be imported: %2").arg(QDir::toNativeSeparators(m_sourcePath), error));
    if (isAborted())
        return cancelled();
    outcome = makeWorkingCopy();
    if (outcome.result != OperationResult::Done)
        return outcome;

    auto working = SqliteConnection::open(m_folder.workingCopy(), SqliteConnection::Mode::ReadWrite, &error);
    if (!working || !working->exec(DatabaseFile::kCacheSizePragma))
        return failed(localized("The copy of the catalogue cannot be opened: %1")
                          .arg(working ? working->errorMessage() : error));
    if (!DatabaseFile::beginTransaction(*working))
        return failed(working->errorMessage());
    if (isCompleteRestore() && m_highestImageKey > 0) {
        // The restore's keys start again at 1; a placeholder row lifts new picture keys above
        // those of the pictures the document still uses until the new file takes its place.
        const QString lift = QStringLiteral("INSERT INTO image (pk, type, key, tag) VALUES (%1, -1, -1, -1)")
                                 .arg(m_highestImageKey);
        if (!working->exec(lift))
            return failed(working->errorMessage());
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
        reportProgress(percent);
    };
    DatabaseMerge merge(*working, settings);
    aborted = isAborted();
    const DatabaseMerge::Result merged = merge.run();
    if (merged != DatabaseMerge::Result::Done || isAborted()) {
        DatabaseFile::rollbackTransaction(*working);
        return merged == DatabaseMerge::Result::Failed ? failed(merge.error()) : cancelled();
    }
    if (isCompleteRestore() && m_highestImageKey > 0 &&
        !working->exec(QStringLiteral("DELETE FROM image WHERE pk=%1").arg(m_highestImageKey)))
        return failed(working->errorMessage());
    if (!DatabaseFile::endTransaction(*working)) {
        const QString message = working->errorMessage();
        DatabaseFile::rollbackTransaction(*working);
        return failed(localized("The import cannot be saved: %1").arg(message));
    }
    if (!working->close())
        return failed(working->errorMessage());
    working.reset();
    // Unchecked, a copy that went wrong would replace the catalogue.
    if (!DatabaseFile::verify(m_folder.workingCopy(), &error))
        return failed(localized("The imported catalogue did not check out: %1").arg(error));
    if (isAborted())
        return cancelled();
    return stageIntoPackage();
}

DatabaseImport::Outcome DatabaseImport::stageIntoPackage()
{
    m_stagedDatabase = QDir(m_packagePath).filePath(QString::fromLatin1(kStagedName));
    QFile::remove(m_stagedDatabase);
    QString error;
    if (!QFile::copy(m_folder.workingCopy(), m_stagedDatabase) || !syncFile(m_stagedDatabase) ||
        !DatabaseFile::verify(m_stagedDatabase, &error)) {
        discardStaged();
        return failed(localized("The imported catalogue cannot be written into %1. %2")
                          .arg(QDir::toNativeSeparators(m_packagePath), error));
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
            return failed(localized("An imported picture cannot be moved into %1.")
                              .arg(QDir::toNativeSeparators(m_packagePath)));
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

void DatabaseImport::removeUnreferencedPictures()
{
    std::unordered_set<qint64> keys;
    for (const auto &image : m_document.images())
        keys.insert(image->primaryKey());
    static const QRegularExpression pictureName(QStringLiteral("^vl-(\\d+)(t|ct)?\\.jpg$"));
    QDirIterator it(m_packagePath, {QStringLiteral("*.jpg")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QRegularExpressionMatch match = pictureName.match(it.fileName());
        if (match.hasMatch() && !keys.count(match.captured(1).toLongLong()))
            QFile::remove(it.filePath());
    }
}

DatabaseImport::Outcome DatabaseImport::finish(Outcome outcome)
{
    if (outcome.result == OperationResult::Done && isAborted())
        outcome = cancelled();
    if (outcome.result == OperationResult::Done) {
        QString error;
        if (m_document.replaceDatabaseFile(m_stagedDatabase, &error)) {
            m_movedPictures.clear();
            crashPoint("import-swapped");
            if (isCompleteRestore())
                removeUnreferencedPictures();
        } else {
            discardStaged();
            outcome = failed(error);
        }
    } else {
        discardStaged();
    }
    if (m_began)
        m_document.endOperation();
    m_began = false;
    if (outcome.result == OperationResult::Done)
        reportProgress(100);
    return outcome;
}

DatabaseImport::~DatabaseImport()
{
    stopWorker();
}

} // namespace velumark
