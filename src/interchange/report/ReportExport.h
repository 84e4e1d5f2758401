#pragma once

#include "interchange/DocumentExport.h"
#include "store/PictureSize.h"

#include <QString>
#include <unordered_map>

namespace velumark {

class ExportFile;
class ReportSummary;
class SnapshotReader;

// Writes the HTML report of a document into a folder: "<base>.html" with a summary and one page
// per artwork, and beside it the folder "<base>_photos" (the word localized) with the logo and
// one picture per image, "velumark_<key>.jpg", in the chosen size. Both are written beside the old
// report under staging names and take its place together at the end (the photo folder then holds
// only this report's pictures). A cancel during the pictures changes nothing; a cancel during the
// pages puts the pages so far in place as a closed report; a write that fails ends Failed and
// leaves the old report with its own pictures.
class ReportExport : public DocumentExport
{
    Q_OBJECT
public:
    static constexpr const char *kDefaultFileName = "velumark_report.html";

    // The pictures in the size given. An empty file name means kDefaultFileName.
    ReportExport(VelumarkDatabase &document, QString folder, QString fileName, PictureSize size,
                 QObject *parent = nullptr);
    ~ReportExport() override;

    QString reportPath() const;
    QString photoFolderPath() const;

    // The width of the report's pages for a picture size.
    static int pageWidth(PictureSize size);

protected:
    Result<> checkParameters() override;
    Result<> run() override;

private:
    using IncomeByKey = std::unordered_map<qint64, double>;

    // The pictures of every image into the folder; fails when cancelled or when a picture cannot
    // be written (naming it with the reason).
    Result<> exportPictures(SnapshotReader &reader, const QString &folder);
    // The summary and one page per artwork, until the end or a cancel, into the completed file;
    // whether every page was written (false: cancelled).
    Result<bool> writePages(SnapshotReader &reader, ExportFile &file, const QString &stagedPhotos);
    // Puts the staged photo folder, then the completed page, in place of the old ones; when the
    // page cannot follow, the old pictures go back.
    Result<> putInPlace(const QString &stagedPhotos, ExportFile &file) const;
    // The figures of the summary, and the income of each submission for the pages.
    ReportSummary summarize(SnapshotReader &reader, IncomeByKey &incomeOfSubmission);
    QString baseName() const;
    QString photoFolderName() const;
    void advance();

    const QString m_folder;
    const QString m_fileName;
    const PictureSize m_size;
    qint64 m_total = 0;
    qint64 m_done = 0;
};

} // namespace velumark
