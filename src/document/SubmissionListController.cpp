#include "document/SubmissionListController.h"

#include "document/VelumarkDatabase.h"
#include "store/DateFormatting.h"
#include "store/TextCompare.h"
#include "store/VelumarkUtility.h"

#include <unordered_map>

namespace velumark {

void SubmissionListController::setHistory(Artwork *artwork, Client *client)
{
    m_artworkForHistory = artwork;
    m_clientForHistory = artwork ? nullptr : client;
}

const std::vector<Submission *> &SubmissionListController::rows() const
{
    if (m_artworkForHistory)
        return m_artworkForHistory->submissions();
    if (m_clientForHistory)
        return m_clientForHistory->submissions();
    return m_database.displayedSubmissions();
}

Submission *SubmissionListController::submissionAt(qsizetype row) const
{
    const auto &source = rows();
    return row >= 0 && row < rowCount() ? source[static_cast<size_t>(row)] : nullptr;
}

bool SubmissionListController::matches(const Submission &submission, const QString &text)
{
    if (text.isEmpty())
        return true;
    auto has = [&](const QString &field) {
        return field.contains(text, Qt::CaseInsensitive);
    };
    return (submission.artwork() && has(submission.artwork()->title())) ||
           (submission.client() && has(submission.client()->company())) || has(submission.statusString()) ||
           has(submission.moreSubText());
}

void SubmissionListController::handleSearch(const QString &text)
{
    std::vector<Submission *> &displayed = m_database.mutableDisplayedSubmissions();
    displayed.clear();
    if (text.isEmpty()) {
        for (const auto &submission : m_database.submissions())
            displayed.push_back(submission.get());
        return;
    }
    // The rule of matches(), on texts each record keeps folded until it changes.
    const SearchNeedle needle(text);
    const Submission::TextContext context = Submission::textContext();
    for (const auto &submission : m_database.submissions()) {
        const Artwork *artwork = submission->artwork();
        const Client *client = submission->client();
        if ((artwork && artwork->searchTitle().contains(needle)) ||
            (client && client->searchCompany().contains(needle)) ||
            submission->searchStatus(context).contains(needle) ||
            submission->searchDateLine(context).contains(needle))
            displayed.push_back(submission.get());
    }
}

void SubmissionListController::refreshData(const QString *text)
{
    if (text)
        handleSearch(*text);
    refreshHeadings();
}

QString SubmissionListController::sectionTitle(const Submission &submission)
{
    const QString year = yearString(submission.sendDate());
    return year.isEmpty() ? QStringLiteral("#") : year;
}

void SubmissionListController::refreshHeadings()
{
    // The first member of each year group, by the submission order, carries the band. A year
    // stands for its text (yearString), so the groups are those of the texts.
    const std::vector<Submission *> &list = rows();
    const Submission::TextContext context = Submission::textContext();
    const quint32 collation = collationSerial(false);
    std::unordered_map<int, std::pair<Submission *, Submission::OrderKey>> firstOfYear;
    for (Submission *submission : list) {
        submission->setSectionHeading(false);
        const Submission::OrderKey key = submission->orderKey(collation);
        auto [it, inserted] = firstOfYear.try_emplace(submission->sendYearKey(context), submission, key);
        if (!inserted && Submission::compareKeys(key, it->second.second) < 0)
            it->second = {submission, key};
    }
    for (auto &[year, first] : firstOfYear)
        first.first->setSectionHeading(true);
}

CellContent SubmissionListController::cell(qsizetype row, int column) const
{
    CellContent content;
    content.normalCellHeight = kNormalCellHeight;
    content.imageDimension = column == 0 ? kImageDimension : 0;
    Submission *submission = submissionAt(row);
    if (!submission)
        return content;
    const QString title = submission->artwork() ? submission->artwork()->title() : QString();
    const QString company = submission->client() ? submission->client()->company() : QString();
    if (column == 0) {
        if (m_artworkForHistory) {
            content.mainText = company;
            content.subText = submission->moreSubText();
        } else if (m_clientForHistory) {
            content.mainText = title;
            content.subText = submission->moreSubText();
        } else {
            content.mainText = title;
            content.subText = company;
            content.moreSubText = submission->moreSubText();
        }
        content.image = submission->cellImage();
        content.sectionHeading = submission->sectionHeading() ? sectionTitle(*submission) : QString();
    } else {
        content.mainText = submission->statusString();
    }
    if (submission->isOverdue())
        content.backgroundImage = QString::fromLatin1(kHighlightBackground);
    content.isSectionHeading = submission->sectionHeading();
    return content;
}

double SubmissionListController::rowHeight(qsizetype row) const
{
    const Submission *submission = submissionAt(row);
    return kNormalCellHeight + (submission && submission->sectionHeading() ? kSectionBandHeight : 0);
}

void SubmissionListController::setOverdue(quint64 count)
{
    if (m_overdueSubs == count)
        return;
    m_overdueSubs = count;
    emit m_database.notifier()->overdueCountChanged(count);
}

void SubmissionListController::recalculateOverdue()
{
    const VelumarkUtility::TodayScope today;
    quint64 count = 0;
    for (const auto &submission : m_database.submissions()) {
        if (submission->isOverdue())
            ++count;
    }
    setOverdue(count);
}

void SubmissionListController::incrementOverdue()
{
    setOverdue(m_overdueSubs + 1);
}

void SubmissionListController::decrementOverdue()
{
    if (m_overdueSubs > 0)
        setOverdue(m_overdueSubs - 1);
}

} // namespace velumark
