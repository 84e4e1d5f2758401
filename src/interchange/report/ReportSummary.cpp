#include "interchange/report/ReportSummary.h"

#include "store/Artwork.h"
#include "store/Submission.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"

namespace velumark {

void ReportSummary::addArtwork(const Artwork &artwork)
{
    ++m_totalArtworks;
    if (!artwork.artist().isEmpty())
        m_artists.insert(capitalized(artwork.artist()));
    m_collectionValue += artwork.price();
    m_totalMaterialCost += artwork.materialCost();
}

void ReportSummary::addSubmission(const Submission &submission)
{
    m_totalIncome += submission.income();
    if (submission.responseReceived() != ResponseFlag::Received)
        return;
    const qint64 state = submission.submissionState();
    // A publication is also a sale.
    if (state == SubmissionState::Sold || state == SubmissionState::Published)
        ++m_totalSold;
    if (state == SubmissionState::Published)
        ++m_totalPublished;
}

} // namespace velumark
