#include "document/SubmissionListController.h"

#include "document/VelumarkDatabase.h"
#include "store/DateFormatting.h"

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
    for (const auto &submission : m_database.submissions()) {
        if (matches(*submission, text))
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
    // The first member of each year group, by the list's own order, carries the band.
    std::unordered_map<QString, Submission *> firstOfYear;
    for (Submission *submission : rows()) {
        submission->setSectionHeading(false);
        auto [it, inserted] = firstOfYear.try_emplace(yearString(submission->sendDate()), submission);
        if (!inserted && submission->compareSubmission(*it->second) < 0)
            it->second = submission;
    }
    for (auto &[year, first] : firstOfYear)
        first->setSectionHeading(true);
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
