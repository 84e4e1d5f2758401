#include "document/CatalogueStatistics.h"

#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "store/VelumarkStrings.h"

namespace velumark {

CatalogueStatistics CatalogueStatistics::of(const VelumarkDatabase &database)
{
    CatalogueStatistics figures;
    figures.artworks = database.artworks().size();
    figures.clients = database.clients().size();
    figures.submissions = database.submissions().size();
    figures.forSaleOrLoan = database.availableArtworks().size();
    for (const auto &artwork : database.artworks()) {
        if (artwork->submissions().empty())
            ++figures.neverSubmitted;
    }
    for (const auto &submission : database.submissions()) {
        const qint64 response = submission->responseReceived();
        const qint64 state = submission->submissionState();
        if (response == ResponseFlag::Waiting) {
            ++figures.awaitingResponse;
        } else if (response == ResponseFlag::Withdrawn) {
            ++figures.withdrawn;
        } else if (response == ResponseFlag::Received) {
            figures.income += submission->income();
            if (state == SubmissionState::Returned)
                ++figures.returned;
            if (state == SubmissionState::Sold || state == SubmissionState::Published)
                ++figures.sales;
            if (state == SubmissionState::Published)
                ++figures.publications;
        }
    }
    if (const SubmissionListController *list = database.submissionListController())
        figures.pastDue = list->overdueSubs();
    return figures;
}

} // namespace velumark
