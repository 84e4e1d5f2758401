#include "document/CatalogueStatistics.h"

#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

#include <QLocale>
#include <algorithm>
#include <iterator>

namespace velumark {

namespace {

// Two decimals with the locale's decimal point and no grouping, as "%.2f" localized writes.
QString money(double amount)
{
    QString text = QString::number(amount, 'f', 2);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}

} // namespace

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

std::vector<CatalogueStatistics::Line> CatalogueStatistics::lines() const
{
    const std::pair<const char *, QString> figures[] = {
        {QT_TRANSLATE_NOOP("Velumark", "Artwork"), QString::number(artworks)},
        {QT_TRANSLATE_NOOP("Velumark", "Clients"), QString::number(clients)},
        {QT_TRANSLATE_NOOP("Velumark", "Submissions"), QString::number(submissions)},
        {QT_TRANSLATE_NOOP("Velumark", "Never Submitted"), QString::number(neverSubmitted)},
        {QT_TRANSLATE_NOOP("Velumark", "For Sale/Loan"), QString::number(forSaleOrLoan)},
        {QT_TRANSLATE_NOOP("Velumark", "Awaiting Response"), QString::number(awaitingResponse)},
        {QT_TRANSLATE_NOOP("Velumark", "Past Due"), QString::number(pastDue)},
        {QT_TRANSLATE_NOOP("Velumark", "Withdrawn"), QString::number(withdrawn)},
        {QT_TRANSLATE_NOOP("Velumark", "Returned"), QString::number(returned)},
        {QT_TRANSLATE_NOOP("Velumark", "Sales"), QString::number(sales)},
        {QT_TRANSLATE_NOOP("Velumark", "Publications"), QString::number(publications)},
        {QT_TRANSLATE_NOOP("Velumark", "Income"), money(income)},
    };
    // Where the never-submitted artworks, the awaiting submissions and the income begin.
    constexpr size_t kGroupStarts[] = {3, 5, 11};
    std::vector<Line> result;
    for (size_t i = 0; i < std::size(figures); ++i) {
        const bool startsGroup =
            std::find(std::begin(kGroupStarts), std::end(kGroupStarts), i) != std::end(kGroupStarts);
        result.push_back({localized("%1:").arg(localized(figures[i].first)), figures[i].second, startsGroup});
    }
    return result;
}

} // namespace velumark
