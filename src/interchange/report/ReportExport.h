#pragma once

#include "interchange/DocumentExport.h"

#include <QString>
#include <unordered_map>

namespace velumark {

class ReportSummary;
class SnapshotReader;

// Writes the HTML report of a document into a folder: "<base>.html" with a summary and one page
// per artwork, and beside it the folder "<base>_photos" (the word localized) with the logo and
// one picture per image, "velumark_<key>.jpg", in the chosen size. A cancel during the pictures
// writes no report; a cancel during the pages keeps the pages so far in a closed report; a write
// that fails ends Failed and leaves whatever report was there before.
class ReportExport : public DocumentExport
{
    Q_OBJECT
public:
    static constexpr const char *kDefaultFileName = "velumark_report.html";

    // sizeCode: 1 thumbnails, 2 medium, 3 large, 4 extra-large photos; any other code writes no
    // pictures. An empty file name means kDefaultFileName.
    ReportExport(VelumarkDatabase &document, QString folder, QString fileName, int sizeCode,
                 QObject *parent = nullptr);
    ~ReportExport() override;

    QString reportPath() const;
    QString photoFolderPath() const;

    // The width of the report's pages for a picture size.
    static int pageWidth(int sizeCode);

protected:
    bool checkParameters(QString *error) override;
    Outcome run() override;

private:
    using IncomeByKey = std::unordered_map<qint64, double>;

    // The pictures of every image; false when cancelled.
    bool exportPictures(SnapshotReader &reader);
    // The figures of the summary, and the income of each submission for the pages.
    ReportSummary summarize(SnapshotReader &reader, IncomeByKey &incomeOfSubmission);
    QString baseName() const;
    QString photoFolderName() const;
    void advance();

    const QString m_folder;
    const QString m_fileName;
    const int m_sizeCode;
    qint64 m_total = 0;
    qint64 m_done = 0;
};

} // namespace velumark
