#include "interchange/report/ReportExport.h"

#include "interchange/ExportFile.h"
#include "interchange/OperationFolder.h"
#include "interchange/SnapshotReader.h"
#include "interchange/report/ReportHtml.h"
#include "interchange/report/ReportSummary.h"
#include "store/DatabaseFile.h"
#include "store/DateFormatting.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace velumark {

namespace {

const auto kLogoFileName = QStringLiteral("Velumark.jpg");

QString pictureFileName(qint64 imageKey)
{
    return QStringLiteral("velumark_%1.jpg").arg(imageKey);
}

// The keys listed for an artwork, or none.
const std::vector<qint64> &keysOf(const std::unordered_map<qint64, std::vector<qint64>> &lists,
                                  qint64 artworkKey)
{
    static const std::vector<qint64> none;
    const auto found = lists.find(artworkKey);
    return found == lists.end() ? none : found->second;
}

} // namespace

ReportExport::ReportExport(VelumarkDatabase &document, QString folder, QString fileName, int sizeCode,
                           QObject *parent)
    : DocumentExport(document, parent), m_folder(std::move(folder)),
      m_fileName(fileName.isEmpty() ? QString::fromLatin1(kDefaultFileName) : std::move(fileName)),
      m_sizeCode(sizeCode)
{}

QString ReportExport::baseName() const
{
    return QFileInfo(m_fileName).completeBaseName();
}

QString ReportExport::photoFolderName() const
{
    return baseName() + QLatin1Char('_') + localized("photos");
}

QString ReportExport::reportPath() const
{
    return QDir(m_folder).filePath(baseName() + QStringLiteral(".html"));
}

QString ReportExport::photoFolderPath() const
{
    return QDir(m_folder).filePath(photoFolderName());
}

int ReportExport::pageWidth(int sizeCode)
{
    switch (sizeCode) {
    case 3:
        return 1165;
    case 4:
        return 1420;
    default:
        return 700;
    }
}

bool ReportExport::checkParameters(QString *error)
{
    // The name is a file in the chosen folder, never a path to somewhere else.
    const QString base = baseName();
    if (!m_folder.isEmpty() && !m_fileName.contains(QLatin1Char('/')) && !base.isEmpty() &&
        base != QLatin1String(".") && base != QLatin1String(".."))
        return true;
    if (error)
        *error = m_folder.isEmpty()
                     ? localized("No folder was chosen for the report.")
                     : localized("\"%1\" cannot be the name of a report file.").arg(m_fileName);
    return false;
}

LongOperation::Outcome ReportExport::run()
{
    const CatalogueSnapshot &lists = snapshot();
    SnapshotReader reader(lists);
    m_total = static_cast<qint64>(lists.imageKeys.size() + 2 * lists.artworkKeys.size());
    m_done = 0;

    // The new report is written beside the old one and takes its place whole at the end: a failed
    // or killed export leaves the old page with its own pictures.
    Leftovers::removeStaleStaging(m_folder);
    const QString stagedPhotos = Leftovers::stagingPathFor(photoFolderPath());
    const auto dropStaged = qScopeGuard([&] { VelumarkUtility::removeFileIfExists(stagedPhotos); });
    if (::mkdir(QFile::encodeName(stagedPhotos).constData(), 0777) != 0)
        return failed(
            localized("The report %1 cannot be written: %2")
                .arg(QDir::toNativeSeparators(reportPath()), QString::fromLocal8Bit(std::strerror(errno))));
    QString problem;
    if (!exportPictures(reader, stagedPhotos, &problem))
        return problem.isEmpty()
                   ? cancelled()
                   : failed(localized("A picture of the report cannot be written: %1").arg(problem));
    IncomeByKey incomeOfSubmission;
    const ReportSummary summary = summarize(reader, incomeOfSubmission);

    const int width = pageWidth(m_sizeCode);
    const QString folderName = photoFolderName();
    ExportFile file(reportPath());
    if (!file.open())
        return failed(file.errorString());
    VelumarkUtility::copyFileFrom(DatabaseFile::resourcePath("VelumarkIcon.jpg"),
                                  QDir(stagedPhotos).filePath(kLogoFileName));
    if (!file.outputString(ReportHtml::head(summary, width, ReportHtml::sourcePath(folderName, kLogoFileName),
                                            mediumDateTimeString(VelumarkUtility::now()))))
        return failed(file.errorString());

    int number = 0;
    bool stopped = false;
    for (const qint64 key : lists.artworkKeys) {
        if (isAborted()) {
            stopped = true;
            break;
        }
        QStringList photos;
        for (const qint64 imageKey : keysOf(lists.imagesOfArtwork, key))
            photos << ReportHtml::sourcePath(folderName, pictureFileName(imageKey));
        double income = 0;
        for (const qint64 submissionKey : keysOf(lists.submissionsOfArtwork, key))
            income += incomeOfSubmission[submissionKey];
        if (!file.outputString(ReportHtml::page(++number, width, *reader.artwork(key, true), photos, income)))
            return failed(file.errorString());
        advance();
    }
    // Cancelled during the pages: the pages so far stay, in a report that is closed properly.
    if (!file.outputString(ReportHtml::closing()) || !file.complete())
        return failed(file.errorString());
    crashPoint("report-staged");
    QString error;
    if (!putInPlace(stagedPhotos, file, &error))
        return failed(error);
    if (stopped)
        return cancelled();
    reportProgress(100);
    return {};
}

bool ReportExport::putInPlace(const QString &stagedPhotos, ExportFile &file, QString *error) const
{
    const QString photos = photoFolderPath();
    const QFileInfo existing(photos);
    auto fail = [&](const QString &reason) {
        *error = localized("The report's photos cannot be put in %1: %2")
                     .arg(QDir::toNativeSeparators(photos), reason);
        return false;
    };
    auto move = [](const QString &from, const QString &to) {
        return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    };
    auto lastReason = [] {
        return QString::fromLocal8Bit(std::strerror(errno));
    };
    if (existing.exists() && (!existing.isDir() || existing.isSymLink()))
        return fail(localized("something that is not a folder has that name"));

    // One step where the file system can: the old folder then lies under the staged name.
    bool exchanged = false;
    bool unsupported = true;
    QString reason;
    if (existing.exists()) {
        exchanged = VelumarkUtility::exchangePaths(stagedPhotos, photos, &reason, &unsupported);
        if (!exchanged && !unsupported)
            return fail(reason);
    }
    const QString aside = stagedPhotos + QStringLiteral(".old");
    const bool movedAside = existing.exists() && !exchanged;
    if (movedAside && !move(photos, aside))
        return fail(lastReason());
    if (!exchanged && !move(stagedPhotos, photos)) {
        reason = lastReason();
        if (movedAside)
            move(aside, photos);
        return fail(reason);
    }
    if (!file.commit()) {
        // The page did not take its place: the old page gets its own pictures back.
        if (exchanged) {
            VelumarkUtility::exchangePaths(stagedPhotos, photos, nullptr);
        } else {
            move(photos, stagedPhotos);
            if (movedAside)
                move(aside, photos);
        }
        *error = file.errorString();
        return false;
    }
    if (movedAside)
        VelumarkUtility::removeFileIfExists(aside);
    return true;
}

bool ReportExport::exportPictures(SnapshotReader &reader, const QString &folder, QString *problem)
{
    const QDir photos(folder);
    for (const qint64 key : snapshot().imageKeys) {
        if (isAborted())
            return false;
        // An unreadable picture is left out (the page shows it missing); one that cannot be
        // written fails the report.
        if (!reader.image(key)->exportToPath(photos.filePath(pictureFileName(key)), m_sizeCode, problem) &&
            !problem->isEmpty())
            return false;
        advance();
    }
    return !isAborted();
}

ReportSummary ReportExport::summarize(SnapshotReader &reader, IncomeByKey &incomeOfSubmission)
{
    const CatalogueSnapshot &lists = snapshot();
    ReportSummary summary;
    for (const qint64 key : lists.artworkKeys) {
        summary.addArtwork(*reader.artwork(key, true));
        advance();
    }
    summary.setAvailableArtworks(lists.availableArtworkCount);
    for (const qint64 key : lists.submissionKeys) {
        const auto submission = reader.submission(key, false);
        summary.addSubmission(*submission);
        incomeOfSubmission.emplace(key, submission->income());
    }
    return summary;
}

void ReportExport::advance()
{
    ++m_done;
    if (m_total > 0)
        reportProgress(static_cast<double>(m_done) * 100.0 / static_cast<double>(m_total));
}

ReportExport::~ReportExport()
{
    stopWorker();
}

} // namespace velumark
