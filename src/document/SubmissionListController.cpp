#include "document/SubmissionListController.h"

#include "document/VelumarkDatabase.h"
#include "store/DateFormatting.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"
#include "store/VelumarkUtility.h"

#include <algorithm>
#include <string>
#include <string_view>

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

// The search texts of every submission of the document, folded and laid end to end, with what
// the year headings compare: a keystroke then reads one block of memory instead of four texts
// and three records per row. It stands as long as no record anywhere changed (Record::changeCount),
// the list holds the same submissions, the locale, time zone and collation are the same and the
// day counts of the waiting rows have not moved on; otherwise it is made again.
struct SubmissionListController::SearchIndex
{
    struct Row
    {
        Submission *submission = nullptr;
        quint32 offset[4] = {};
        quint32 length[4] = {};
        // Rows whose texts do not fold unit by unit, or whose day counts cannot be had from the
        // days taken apart, are matched through the records.
        bool throughRecord = false;
        bool waiting = false;
        bool validDueDate = false;
        qint64 days = 0;
        bool pastDue = false;
        VelumarkUtility::LocalDay sent;
        VelumarkUtility::LocalDay due;
        int year = 0;
        Submission::OrderKey order;
    };

    quint64 changes = 0;
    quint32 textSerial = 0;
    quint32 collation = 0;
    std::vector<Row> rows;
    std::u16string text;
    // The rows the last search displayed, to recognise that list when the headings are made.
    std::vector<quint32> found;
    std::vector<Submission *> displayed;

    static void dayCounts(const Row &row, const VelumarkUtility::LocalDay &today, qint64 *days, bool *pastDue)
    {
        *days = VelumarkUtility::wholeDaysBetween(row.sent, today);
        *pastDue = row.validDueDate && VelumarkUtility::wholeDaysBetween(row.due, today) >= 1;
    }
};

SubmissionListController::SubmissionListController(VelumarkDatabase &database) : m_database(database) {}

SubmissionListController::~SubmissionListController() = default;

bool SubmissionListController::indexIsCurrent(const Submission::TextContext &context, quint32 collation)
{
    if (!m_index || m_index->changes != Record::changeCount() || m_index->textSerial != context.serial ||
        m_index->collation != collation)
        return false;
    const auto &submissions = m_database.submissions();
    if (submissions.size() != m_index->rows.size())
        return false;
    for (size_t i = 0; i < submissions.size(); ++i) {
        if (submissions[i].get() != m_index->rows[i].submission)
            return false;
    }
    if (!context.today.usable)
        return false;
    for (const SearchIndex::Row &row : m_index->rows) {
        if (!row.waiting || row.throughRecord)
            continue;
        qint64 days = 0;
        bool pastDue = false;
        SearchIndex::dayCounts(row, context.today, &days, &pastDue);
        if (days != row.days || pastDue != row.pastDue)
            return false;
    }
    return true;
}

void SubmissionListController::buildIndex(const Submission::TextContext &context, quint32 collation)
{
    if (!m_index)
        m_index = std::make_unique<SearchIndex>();
    SearchIndex &index = *m_index;
    index.rows.clear();
    index.text.clear();
    index.found.clear();
    index.displayed.clear();
    index.textSerial = context.serial;
    index.collation = collation;
    for (const auto &owned : m_database.submissions()) {
        Submission *submission = owned.get();
        SearchIndex::Row row;
        row.submission = submission;
        const FoldedText *fields[4] = {
            submission->artwork() ? &submission->artwork()->searchTitle() : nullptr,
            submission->client() ? &submission->client()->searchCompany() : nullptr,
            &submission->searchStatus(context),
            &submission->searchDateLine(context),
        };
        for (int f = 0; f < 4; ++f) {
            row.offset[f] = static_cast<quint32>(index.text.size());
            if (!fields[f])
                continue;
            const QString &folded = fields[f]->folded();
            if (folded.isNull() && !fields[f]->text().isEmpty())
                row.throughRecord = true;
            index.text.append(reinterpret_cast<const char16_t *>(folded.constData()),
                              static_cast<size_t>(folded.size()));
            row.length[f] = static_cast<quint32>(folded.size());
        }
        row.waiting = submission->responseReceived() == ResponseFlag::Waiting;
        if (row.waiting) {
            row.validDueDate = submission->validDueDate();
            row.sent = VelumarkUtility::localDay(submission->sendDate());
            row.due = VelumarkUtility::localDay(submission->responseDueDate());
            if (!row.sent.usable || (row.validDueDate && !row.due.usable) || !context.today.usable)
                row.throughRecord = true;
            else
                SearchIndex::dayCounts(row, context.today, &row.days, &row.pastDue);
        }
        row.year = submission->sendYearKey(context);
        row.order = submission->orderKey(collation);
        index.rows.push_back(row);
    }
    // Taken last: making the texts reads no record, so nothing changed while the index was made.
    index.changes = Record::changeCount();
}

bool SubmissionListController::matchesRecord(const Submission &submission, const SearchNeedle &needle,
                                             const Submission::TextContext &context) const
{
    const Artwork *artwork = submission.artwork();
    const Client *client = submission.client();
    return (artwork && artwork->searchTitle().contains(needle)) ||
           (client && client->searchCompany().contains(needle)) ||
           submission.searchStatus(context).contains(needle) ||
           submission.searchDateLine(context).contains(needle);
}

void SubmissionListController::handleSearch(const QString &text)
{
    std::vector<Submission *> &displayed = m_database.mutableDisplayedSubmissions();
    displayed.clear();
    if (text.isEmpty()) {
        for (const auto &submission : m_database.submissions())
            displayed.push_back(submission.get());
        if (m_index) {
            // The full list: the index stands for it when it is current.
            const Submission::TextContext context = Submission::textContext();
            if (indexIsCurrent(context, collationSerial(false))) {
                m_index->found.resize(m_index->rows.size());
                for (size_t i = 0; i < m_index->found.size(); ++i)
                    m_index->found[i] = static_cast<quint32>(i);
                m_index->displayed = displayed;
            } else {
                m_index->displayed.clear();
            }
        }
        return;
    }
    // The rule of matches(), on texts each record keeps folded until it changes.
    const TimeZoneScope zone;
    const SearchNeedle needle(text);
    const Submission::TextContext context = Submission::textContext();
    if (needle.folded().isNull()) {
        if (m_index)
            m_index->displayed.clear();
        for (const auto &submission : m_database.submissions()) {
            if (matchesRecord(*submission, needle, context))
                displayed.push_back(submission.get());
        }
        return;
    }
    const quint32 collation = collationSerial(false);
    if (!indexIsCurrent(context, collation))
        buildIndex(context, collation);
    SearchIndex &index = *m_index;
    index.found.clear();
    const std::u16string_view pattern(reinterpret_cast<const char16_t *>(needle.folded().constData()),
                                      static_cast<size_t>(needle.folded().size()));
    const char16_t *base = index.text.data();
    for (size_t i = 0; i < index.rows.size(); ++i) {
        const SearchIndex::Row &row = index.rows[i];
        bool found = false;
        if (row.throughRecord) {
            found = matchesRecord(*row.submission, needle, context);
        } else {
            for (int f = 0; f < 4 && !found; ++f)
                found = row.length[f] >= pattern.size() &&
                        std::u16string_view(base + row.offset[f], row.length[f]).find(pattern) !=
                            std::u16string_view::npos;
        }
        if (found) {
            displayed.push_back(row.submission);
            index.found.push_back(static_cast<quint32>(i));
        }
    }
    index.displayed = displayed;
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
    struct First
    {
        int year;
        Submission *submission;
        Submission::OrderKey key;
    };
    // A list spans a few years: a short list of them beats hashing every row.
    std::vector<First> firstOfYear;
    auto consider = [&](Submission *submission, int year, const Submission::OrderKey &key) {
        auto it = std::find_if(firstOfYear.begin(), firstOfYear.end(),
                               [year](const First &f) { return f.year == year; });
        if (it == firstOfYear.end())
            firstOfYear.push_back({year, submission, key});
        else if (Submission::compareKeys(key, it->key) < 0)
            *it = {year, submission, key};
    };
    if (!historyScreen() && m_index && !m_index->displayed.empty() && list == m_index->displayed &&
        m_index->changes == Record::changeCount() && m_index->textSerial == context.serial &&
        m_index->collation == collation) {
        // The list the last search made from a current index: years and keys are in the index.
        for (const quint32 i : m_index->found) {
            const SearchIndex::Row &row = m_index->rows[i];
            row.submission->setSectionHeading(false);
            consider(row.submission, row.year, row.order);
        }
        for (const First &first : firstOfYear)
            first.submission->setSectionHeading(true);
        return;
    }
    for (Submission *submission : list) {
        submission->setSectionHeading(false);
        consider(submission, submission->sendYearKey(context), submission->orderKey(collation));
    }
    for (const First &first : firstOfYear)
        first.submission->setSectionHeading(true);
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
