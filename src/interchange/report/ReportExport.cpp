#include "interchange/report/ReportExport.h"

#include "interchange/ExportFile.h"
#include "interchange/OperationFolder.h"
#include "interchange/SnapshotReader.h"
#include "interchange/report/ReportHtml.h"
#include "interchange/report/ReportSummary.h"
#include "store/Clock.h"
#include "store/DatabaseFile.h"
#include "store/DateFormatting.h"
#include "store/FileOperations.h"
#include "store/Leftovers.h"
#include "store/Localization.h"

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

ReportExport::ReportExport(VelumarkDatabase &document, QString folder, QString fileName, PictureSize size,
                           QObject *parent)
    : DocumentExport(document, parent), m_folder(std::move(folder)),
      m_fileName(fileName.isEmpty() ? QString::fromLatin1(kDefaultFileName) : std::move(fileName)),
      m_size(size)
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

int ReportExport::pageWidth(PictureSize size)
{
    switch (size) {
    case PictureSize::Large:
        return 1165;
    case PictureSize::ExtraLarge:
        return 1420;
    case PictureSize::Small:
    case PictureSize::Medium:
        break;
    }
    return 700;
}

Result<> ReportExport::checkParameters()
{
    // The name is a file in the chosen folder, never a path to somewhere else.
    const QString base = baseName();
    if (m_folder.isEmpty())
        return Failure{localized("No folder was chosen for the report.")};
    if (m_fileName.contains(QLatin1Char('/')) || base.isEmpty() || base == QLatin1String(".") ||
        base == QLatin1String(".."))
        return Failure{localized("\"%1\" cannot be the name of a report file.").arg(m_fileName)};
    return {};
}

Result<> ReportExport::run()
{
    const CatalogueSnapshot &lists = snapshot();
    SnapshotReader reader(lists);
    m_total = static_cast<qint64>(lists.imageKeys.size() + 2 * lists.artworkKeys.size() +
                                  lists.submissionKeys.size());
    m_done = 0;

    // The new report is written beside the old one and takes its place whole at the end: a failed
    // or killed export leaves the old page with its own pictures.
    Leftovers::removeStaleStaging(m_folder);
    const QString stagedPhotos = Leftovers::stagingPathFor(photoFolderPath());
    const auto dropStaged = qScopeGuard([&] { FileOperations::removeFileIfExists(stagedPhotos); });
    if (::mkdir(QFile::encodeName(stagedPhotos).constData(), 0777) != 0)
        return Failure{
            localized("The report %1 cannot be written: %2")
                .arg(QDir::toNativeSeparators(reportPath()), QString::fromLocal8Bit(std::strerror(errno)))};
    if (const Result<> pictures = exportPictures(reader, stagedPhotos); !pictures)
        return pictures;
    ExportFile file(reportPath());
    // Cancelled during the pages: the pages so far stay, in a report that is closed properly.
    const Result<bool> allPages = writePages(reader, file, stagedPhotos);
    if (!allPages)
        return Failure{allPages.message()};
    crashPoint("report-staged");
    if (const Result<> placed = putInPlace(stagedPhotos, file); !placed)
        return placed;
    if (!allPages.value())
        return stopped();
    reportProgress(100);
    return {};
}

Result<bool> ReportExport::writePages(SnapshotReader &reader, ExportFile &file, const QString &stagedPhotos)
{
    const CatalogueSnapshot &lists = snapshot();
    IncomeByKey incomeOfSubmission;
    const ReportSummary summary = summarize(reader, incomeOfSubmission);
    const int width = pageWidth(m_size);
    const QString folderName = photoFolderName();
    Result<> written = file.open();
    if (!written)
        return Failure{written.message()};
    if (!FileOperations::copyFileFrom(DatabaseFile::resourcePath("VelumarkIcon.jpg"),
                                      QDir(stagedPhotos).filePath(kLogoFileName)))
        return Failure{localized("The report's logo cannot be written to %1.")
                           .arg(QDir::toNativeSeparators(QDir(stagedPhotos).filePath(kLogoFileName)))};
    written =
        file.outputString(ReportHtml::head(summary, width, ReportHtml::sourcePath(folderName, kLogoFileName),
                                           mediumDateTimeString(Clock::now())));
    int number = 0;
    bool cancelled = false;
    for (auto key = lists.artworkKeys.begin(); written && key != lists.artworkKeys.end(); ++key) {
        if ((cancelled = isAborted()))
            break;
        QStringList photos;
        for (const qint64 imageKey : keysOf(lists.imagesOfArtwork, *key))
            photos << ReportHtml::sourcePath(folderName, pictureFileName(imageKey));
        double income = 0;
        for (const qint64 submissionKey : keysOf(lists.submissionsOfArtwork, *key))
            income += incomeOfSubmission[submissionKey];
        written =
            file.outputString(ReportHtml::page(++number, width, *reader.artwork(*key, true), photos, income));
        advance();
    }
    if (written)
        written = file.outputString(ReportHtml::closing());
    if (written)
        written = file.complete();
    if (!written)
        return Failure{written.message()};
    return !cancelled;
}

Result<> ReportExport::putInPlace(const QString &stagedPhotos, ExportFile &file) const
{
    const QString photos = photoFolderPath();
    const QFileInfo existing(photos);
    auto fail = [&](const QString &reason) -> Result<> {
        return Failure{localized("The report's photos cannot be put in %1: %2")
                           .arg(QDir::toNativeSeparators(photos), reason)};
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
    if (existing.exists()) {
        const Result<> exchange = FileOperations::exchangePaths(stagedPhotos, photos, &unsupported);
        exchanged = exchange.ok();
        if (!exchanged && !unsupported)
            return fail(exchange.message());
    }
    const QString aside = stagedPhotos + QStringLiteral(".old");
    const bool movedAside = existing.exists() && !exchanged;
    if (movedAside && !move(photos, aside))
        return fail(lastReason());
    if (!exchanged && !move(stagedPhotos, photos)) {
        const QString reason = lastReason();
        if (movedAside)
            move(aside, photos);
        return fail(reason);
    }
    if (const Result<> committed = file.commit(); !committed) {
        // The page did not take its place: the old page gets its own pictures back.
        if (exchanged) {
            (void)FileOperations::exchangePaths(stagedPhotos, photos);
        } else {
            move(photos, stagedPhotos);
            if (movedAside)
                move(aside, photos);
        }
        return committed;
    }
    if (movedAside)
        FileOperations::removeFileIfExists(aside);
    return {};
}

Result<> ReportExport::exportPictures(SnapshotReader &reader, const QString &folder)
{
    const QDir photos(folder);
    for (const qint64 key : snapshot().imageKeys) {
        if (isAborted())
            return stopped();
        // An unreadable picture is left out (the page shows it missing); one that cannot be
        // written fails the report.
        if (const Result<bool> exported =
                reader.image(key)->exportToPath(photos.filePath(pictureFileName(key)), m_size);
            !exported)
            return Failure{
                localized("A picture of the report cannot be written: %1").arg(exported.message())};
        advance();
    }
    if (isAborted())
        return stopped();
    return {};
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
        advance();
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
