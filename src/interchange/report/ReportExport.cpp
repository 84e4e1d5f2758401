#include "interchange/report/ReportExport.h"

#include "interchange/ExportFile.h"
#include "interchange/SnapshotReader.h"
#include "interchange/report/ReportHtml.h"
#include "interchange/report/ReportSummary.h"
#include "store/DatabaseFile.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFileInfo>

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

    if (!exportPictures(reader))
        return cancelled();
    IncomeByKey incomeOfSubmission;
    const ReportSummary summary = summarize(reader, incomeOfSubmission);

    const int width = pageWidth(m_sizeCode);
    const QString folderName = photoFolderName();
    ExportFile file(reportPath());
    if (!file.open())
        return failed(file.errorString());
    VelumarkUtility::copyFileFrom(DatabaseFile::resourcePath("VelumarkIcon.jpg"),
                                  QDir(photoFolderPath()).filePath(kLogoFileName));
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
    if (!file.outputString(ReportHtml::closing()) || !file.commit())
        return failed(file.errorString());
    if (stopped)
        return cancelled();
    reportProgress(100);
    return {};
}

bool ReportExport::exportPictures(SnapshotReader &reader)
{
    // An existing folder is used as it is; one that cannot be made leaves the pictures missing.
    QDir(m_folder).mkdir(photoFolderName());
    const QDir photos(photoFolderPath());
    for (const qint64 key : snapshot().imageKeys) {
        if (isAborted())
            return false;
        // An unreadable picture is left out; the page shows it missing.
        reader.image(key)->exportToPath(photos.filePath(pictureFileName(key)), m_sizeCode);
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
