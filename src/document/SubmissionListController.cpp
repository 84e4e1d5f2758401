#include "document/SubmissionListController.h"

#include "document/VelumarkDatabase.h"
#include "store/CalendarArithmetic.h"
#include "store/Clock.h"
#include "store/DateFormatting.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace velumark {

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
        CalendarArithmetic::LocalDay sent;
        CalendarArithmetic::LocalDay due;
        int year = 0;
    };

    quint64 changes = 0;
    quint32 textSerial = 0;
    quint32 collation = 0;
    std::vector<Row> rows;
    std::u16string text;
    // The rows the last search found (positions in rows), so that their bands come from the index.
    std::vector<quint32> found;

    static void dayCounts(const Row &row, const CalendarArithmetic::LocalDay &today, qint64 *days,
                          bool *pastDue)
    {
        *days = CalendarArithmetic::wholeDaysBetween(row.sent, today);
        *pastDue = row.validDueDate && CalendarArithmetic::wholeDaysBetween(row.due, today) >= 1;
    }
};

SubmissionListController::SubmissionListController(VelumarkDatabase &document, QObject *parent)
    : RecordList(document, parent)
{
    const DocumentNotifier *notifier = document.notifier();
    connect(notifier, &DocumentNotifier::listsAboutToBeReloaded, this,
            &SubmissionListController::forgetHistoryRecord);
    connect(notifier, &DocumentNotifier::recordAboutToBeRemoved, this, [this](Kind, Record *record) {
        if (record && (record == m_artworkForHistory || record == m_clientForHistory)) {
            forgetHistoryRecord();
            followSource({});
        }
    });
}

SubmissionListController::~SubmissionListController() = default;

void SubmissionListController::setHistory(Artwork *artwork, Client *client)
{
    m_history = true;
    m_artworkForHistory = artwork;
    m_clientForHistory = artwork ? nullptr : client;
    rebuild();
}

void SubmissionListController::forgetHistoryRecord()
{
    m_artworkForHistory = nullptr;
    m_clientForHistory = nullptr;
}

std::vector<Record *> SubmissionListController::sourceRecords() const
{
    std::vector<Record *> source;
    if (!m_history) {
        const auto &submissions = document().submissions();
        source.reserve(submissions.size());
        for (const auto &submission : submissions)
            source.push_back(submission.get());
        return source;
    }
    const std::vector<Submission *> none;
    const std::vector<Submission *> &own = m_artworkForHistory  ? m_artworkForHistory->submissions()
                                           : m_clientForHistory ? m_clientForHistory->submissions()
                                                                : none;
    // In this list's own direction: compareKeys follows the class direction, which is the main
    // list's.
    const quint32 collation = collationSerial(false);
    const int sign = Submission::isSortAscending() == isSortAscending() ? 1 : -1;
    std::vector<std::pair<Submission::OrderKey, Submission *>> keyed;
    keyed.reserve(own.size());
    for (Submission *submission : own)
        keyed.emplace_back(submission->orderKey(collation), submission);
    std::stable_sort(keyed.begin(), keyed.end(), [sign](const auto &a, const auto &b) {
        return sign * Submission::compareKeys(a.first, b.first) < 0;
    });
    for (const auto &[key, submission] : keyed)
        source.push_back(submission);
    return source;
}

qsizetype SubmissionListController::sourceIndexOf(const Record *record) const
{
    return m_history ? RecordList::sourceIndexOf(record) : indexIn(document().submissions(), record);
}

size_t SubmissionListController::sourceCount() const
{
    return m_history ? RecordList::sourceCount() : document().submissions().size();
}

void SubmissionListController::applySortOrder()
{
    if (m_history)
        followOrder();
    else
        document().sortSubmissionsByDateAndTitle();
}

void SubmissionListController::collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const
{
    // Rows show the artwork's title and photo and the client's company.
    if (kind == Kind::Artwork) {
        const auto &own = static_cast<Artwork *>(record)->submissions();
        touched.insert(touched.end(), own.begin(), own.end());
    } else if (kind == Kind::Client) {
        const auto &own = static_cast<Client *>(record)->submissions();
        touched.insert(touched.end(), own.begin(), own.end());
    }
}

Submission *SubmissionListController::submissionAt(qsizetype row) const
{
    return static_cast<Submission *>(recordAt(row));
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

bool SubmissionListController::matches(const Record &record, const QString &text) const
{
    return matches(static_cast<const Submission &>(record), text);
}

bool SubmissionListController::indexIsCurrent(const Submission::TextContext &context, quint32 collation) const
{
    if (!m_index || m_index->changes != Record::changeCount() || m_index->textSerial != context.serial ||
        m_index->collation != collation)
        return false;
    const auto &submissions = document().submissions();
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

void SubmissionListController::buildIndex(const Submission::TextContext &context, quint32 collation) const
{
    if (!m_index)
        m_index = std::make_unique<SearchIndex>();
    SearchIndex &index = *m_index;
    index.rows.clear();
    index.text.clear();
    index.textSerial = context.serial;
    index.collation = collation;
    appendIndexRows(index, context, std::chrono::steady_clock::time_point::max());
    // Taken last: making the texts reads no record, so nothing changed while the index was made.
    index.changes = Record::changeCount();
}

void SubmissionListController::appendIndexRows(SearchIndex &index, const Submission::TextContext &context,
                                               std::chrono::steady_clock::time_point deadline) const
{
    constexpr size_t kBetweenClockReads = 32;
    const auto &submissions = document().submissions();
    size_t made = 0;
    for (size_t at = index.rows.size(); at < submissions.size(); ++at) {
        if (++made % kBetweenClockReads == 0 && std::chrono::steady_clock::now() >= deadline)
            return;
        Submission *submission = submissions[at].get();
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
        row.year = submission->sendYearKey(context);
        row.waiting = submission->responseReceived() == ResponseFlag::Waiting;
        if (row.waiting) {
            row.validDueDate = submission->validDueDate();
            row.sent = CalendarArithmetic::localDay(submission->sendDate());
            row.due = CalendarArithmetic::localDay(submission->responseDueDate());
            if (!row.sent.usable || (row.validDueDate && !row.due.usable) || !context.today.usable)
                row.throughRecord = true;
            else
                SearchIndex::dayCounts(row, context.today, &row.days, &row.pastDue);
        }
        index.rows.push_back(row);
    }
}

bool SubmissionListController::matchesRecord(const Submission &submission, const SearchNeedle &needle,
                                             const Submission::TextContext &context)
{
    const Artwork *artwork = submission.artwork();
    const Client *client = submission.client();
    return (artwork && artwork->searchTitle().contains(needle)) ||
           (client && client->searchCompany().contains(needle)) ||
           submission.searchStatus(context).contains(needle) ||
           submission.searchDateLine(context).contains(needle);
}

std::vector<Record *> SubmissionListController::searchedRecords() const
{
    if (m_history || searchText().isEmpty())
        return sourceRecords();
    return searchIndex(searchText());
}

void SubmissionListController::prepareSearch()
{
    if (m_history)
        return;
    const TimeZoneScope zone;
    const Clock::TodayScope today;
    const Submission::TextContext context = Submission::textContext();
    const quint32 collation = collationSerial(false);
    if (!indexIsCurrent(context, collation))
        buildIndex(context, collation);
}

bool SubmissionListController::prepareSearchStep(std::chrono::nanoseconds budget)
{
    if (m_history)
        return true;
    const auto deadline = std::chrono::steady_clock::now() + budget;
    const TimeZoneScope zone;
    const Clock::TodayScope today;
    const Submission::TextContext context = Submission::textContext();
    const quint32 collation = collationSerial(false);
    if (!m_building && indexIsCurrent(context, collation))
        return true;
    // Begun again when the texts would differ or the list was made again since the last step.
    const auto &submissions = document().submissions();
    if (!m_building || m_building->textSerial != context.serial || m_building->collation != collation ||
        m_building->changes != Record::changeCount() || m_building->rows.size() > submissions.size()) {
        m_building = std::make_unique<SearchIndex>();
        m_building->textSerial = context.serial;
        m_building->collation = collation;
        // Taken first: a change while the index is made in steps leaves it out of date.
        m_building->changes = Record::changeCount();
    }
    appendIndexRows(*m_building, context, deadline);
    if (m_building->rows.size() < submissions.size())
        return false;
    m_index = std::move(m_building);
    return true;
}

// The rule of matches(), on texts each record keeps folded until it changes.
std::vector<Record *> SubmissionListController::searchIndex(const QString &text) const
{
    std::vector<Record *> found;
    const TimeZoneScope zone;
    const SearchNeedle needle(text);
    const Submission::TextContext context = Submission::textContext();
    if (needle.folded().isNull()) {
        for (const auto &submission : document().submissions()) {
            if (matchesRecord(*submission, needle, context))
                found.push_back(submission.get());
        }
        return found;
    }
    const quint32 collation = collationSerial(false);
    if (!indexIsCurrent(context, collation))
        buildIndex(context, collation);
    SearchIndex &index = *m_index;
    index.found.clear();
    const std::u16string_view pattern(reinterpret_cast<const char16_t *>(needle.folded().constData()),
                                      static_cast<size_t>(needle.folded().size()));
    const char16_t *base = index.text.data();
    for (quint32 at = 0; at < index.rows.size(); ++at) {
        const SearchIndex::Row &row = index.rows[at];
        bool hit = false;
        if (row.throughRecord) {
            hit = matchesRecord(*row.submission, needle, context);
        } else {
            for (int f = 0; f < 4 && !hit; ++f)
                hit = row.length[f] >= pattern.size() &&
                      std::u16string_view(base + row.offset[f], row.length[f]).find(pattern) !=
                          std::u16string_view::npos;
        }
        if (hit) {
            found.push_back(row.submission);
            index.found.push_back(at);
        }
    }
    return found;
}

QString SubmissionListController::sectionTitle(const Submission &submission)
{
    const QString year = yearString(submission.sendDate());
    return year.isEmpty() ? QStringLiteral("#") : year;
}

void SubmissionListController::markSections(const std::vector<Record *> &rows, std::vector<char> &flags) const
{
    // The rows are in submission order, so the first row of a year is its first by that order. A
    // year stands for its text (yearString), so the groups are those of the texts.
    const Submission::TextContext context = Submission::textContext();
    if (!m_history && m_index && m_index->changes == Record::changeCount() &&
        m_index->textSerial == context.serial) {
        // The rows of the last search, or every row: the years are in the index.
        const SearchIndex &index = *m_index;
        const bool all = rows.size() == index.rows.size();
        const size_t count = all ? rows.size() : index.found.size();
        bool same = count == rows.size();
        for (size_t i = 0; same && i < count; ++i)
            same = rows[i] == index.rows[all ? i : index.found[i]].submission;
        if (same) {
            std::vector<int> seen;
            for (size_t i = 0; i < count; ++i) {
                const int year = index.rows[all ? i : index.found[i]].year;
                if (std::find(seen.begin(), seen.end(), year) == seen.end()) {
                    seen.push_back(year);
                    flags[i] = 1;
                }
            }
            return;
        }
    }
    // Rows in date order come in runs of the same send instant: its year is worked out once a run.
    const Submission *last = nullptr;
    int lastYear = 0;
    markFirstOfEach<int>(rows, flags, [&](const Record &record) {
        const auto &submission = static_cast<const Submission &>(record);
        if (!last || submission.sendDate() != last->sendDate())
            lastYear = submission.sendYearKey(context);
        last = &submission;
        return lastYear;
    });
}

CellContent SubmissionListController::cell(qsizetype row, int column) const
{
    CellContent content;
    content.normalCellHeight = kNormalCellHeight;
    content.imageDimension = column == 0 ? kImageDimension : 0;
    Submission *submission = submissionAt(row);
    if (!submission || column < 0 || column > 1)
        return content;
    const QString title = submission->artwork() ? submission->artwork()->title() : QString();
    const QString company = submission->client() ? submission->client()->company() : QString();
    content.isSectionHeading = isSectionHeading(row);
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
        if (content.isSectionHeading)
            content.sectionHeading = sectionTitle(*submission);
    } else {
        content.mainText = submission->statusString();
    }
    if (submission->isOverdue())
        content.backgroundImage = QString::fromLatin1(kHighlightBackground);
    return content;
}

void SubmissionListController::setOverdue(quint64 count)
{
    if (m_overdueSubs == count)
        return;
    m_overdueSubs = count;
    emit document().notifier()->overdueCountChanged(count);
}

void SubmissionListController::recalculateOverdue()
{
    const Clock::TodayScope today;
    quint64 count = 0;
    for (const auto &submission : document().submissions()) {
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
