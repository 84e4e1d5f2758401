#include "store/Submission.h"

#include "store/Artwork.h"
#include "store/CalendarArithmetic.h"
#include "store/Clock.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"

#include <QLocale>
#include <QTimeZone>
#include <algorithm>
#include <atomic>
#include <limits>
#include <unordered_map>

namespace velumark {

namespace {

std::atomic<bool> submissionSortAscending{true};

QString artworkTitle(const Submission &submission)
{
    return submission.artwork() ? submission.artwork()->title() : QString();
}

QString dayWord(qint64 count)
{
    return count == 1 ? localized("day") : localized("days");
}

// Catalogues hold many submissions per day: the local day of an instant and the text of a day are
// worked out once per text context (locale, time zone, translations; serial 0 keeps nothing).
struct DayMemo
{
    quint32 serial = 0;
    std::unordered_map<qint64, CalendarArithmetic::LocalDay> days;
    std::unordered_map<qint64, QString> texts;

    static DayMemo &of(quint32 serial)
    {
        thread_local DayMemo memo;
        // A bound on what a long session keeps; the memo fills again as it is used.
        if (memo.serial != serial || memo.days.size() > 100000) {
            memo.serial = serial;
            memo.days.clear();
            memo.texts.clear();
        }
        return memo;
    }
};

CalendarArithmetic::LocalDay localDayOf(const QDateTime &date, quint32 serial)
{
    if (serial == 0 || !date.isValid())
        return CalendarArithmetic::localDay(date);
    auto &days = DayMemo::of(serial).days;
    const auto [it, made] = days.try_emplace(date.toMSecsSinceEpoch());
    if (made)
        it->second = CalendarArithmetic::localDay(date);
    return it->second;
}

// The medium date style shows no time, so one text serves a whole local day.
QString dayText(const QDateTime &date, quint32 serial)
{
    const CalendarArithmetic::LocalDay day = localDayOf(date, serial);
    if (serial == 0 || !day.usable)
        return mediumDateString(date);
    auto &texts = DayMemo::of(serial).texts;
    const auto [it, made] = texts.try_emplace(day.julianDay);
    if (made)
        it->second = mediumDateString(date);
    return it->second;
}

} // namespace

struct Submission::TextCache
{
    bool made = false;
    quint64 revision = 0;
    quint32 serial = 0;
    CalendarArithmetic::LocalDay sent;
    CalendarArithmetic::LocalDay due;
    bool statusMade = false;
    FoldedText status;
    bool lineMade = false;
    qint64 lineDays = 0;
    bool linePastDue = false;
    FoldedText line;
};

Submission::Submission() = default;
Submission::~Submission() = default;

Submission::Submission(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult)
{
    const int result = loadEagerFields(primaryKey, database, abortOnError);
    if (initResult)
        *initResult = result;
}

const Record::Statements &Submission::statements() const
{
    static const Statements sql{
        "SELECT artwork_key, client_key, sent_date, response, response_date, state, income, valid_due_date, "
        "response_due_date, exhibited FROM submission WHERE pk=?",
        "SELECT notes, release_signed, submission_type FROM submission WHERE pk=?",
        "INSERT INTO submission (artwork_key, client_key) VALUES(?, ?)",
        "UPDATE submission SET artwork_key=?, client_key=?, sent_date=?, response=?, response_date=?, "
        "state=?, "
        "income=?, valid_due_date=?, response_due_date=?, notes=?, release_signed=?, exhibited=?, "
        "submission_type=? WHERE pk=?",
        "DELETE FROM submission WHERE pk=?",
        "Error: failed to save with message '%s'.",
    };
    return sql;
}

void Submission::readEager(const SqliteStatement &row)
{
    m_artworkKey = row.columnInt64(0);
    m_clientKey = row.columnInt64(1);
    // Unlike artwork and client dates, a stored 0 is the instant 1 January 1970.
    m_sendDate = dateFromStoredSeconds(row.columnDouble(2));
    m_responseReceived = row.columnInt64(3);
    m_responseDate = dateFromStoredSeconds(row.columnDouble(4));
    m_submissionState = row.columnInt64(5);
    m_income = row.columnDouble(6);
    m_validDueDate = row.columnInt64(7) != 0;
    m_responseDueDate = dateFromStoredSeconds(row.columnDouble(8));
    m_exhibited = row.columnInt64(9) != 0;
}

void Submission::applyEagerFallbacks()
{
    m_artworkKey = 0;
    m_clientKey = 0;
    m_sendDate = QDateTime();
    m_responseReceived = 0;
    m_responseDate = QDateTime();
    m_submissionState = 0;
    m_income = 0;
    m_validDueDate = false;
    m_responseDueDate = QDateTime();
    m_exhibited = false;
}

void Submission::readLazy(const SqliteStatement &row)
{
    m_notes = row.columnText(0);
    m_releaseSigned = row.columnInt64(1) != 0;
    m_submissionType = row.columnInt64(2);
}

void Submission::applyLazyFallbacks()
{
    m_notes = QStringLiteral("");
    m_releaseSigned = false;
    m_submissionType = 0;
}

void Submission::releaseLazyFields()
{
    m_notes = QString();
}

void Submission::bindInsert(SqliteStatement &statement) const
{
    statement.bindInt64(1, m_artworkKey);
    statement.bindInt64(2, m_clientKey);
}

int Submission::bindUpdate(SqliteStatement &statement) const
{
    statement.bindInt64(1, m_artworkKey);
    statement.bindInt64(2, m_clientKey);
    statement.bindDouble(3, storedSecondsFromDate(m_sendDate));
    statement.bindInt64(4, m_responseReceived);
    statement.bindDouble(5, storedSecondsFromDate(m_responseDate));
    statement.bindInt64(6, m_submissionState);
    statement.bindDouble(7, m_income);
    statement.bindInt64(8, m_validDueDate ? 1 : 0);
    statement.bindDouble(9, storedSecondsFromDate(m_responseDueDate));
    statement.bindText(10, m_notes);
    statement.bindInt64(11, m_releaseSigned ? 1 : 0);
    statement.bindInt64(12, m_exhibited ? 1 : 0);
    statement.bindInt64(13, m_submissionType);
    return 13;
}

void Submission::setResponseReceived(qint64 flag)
{
    if (m_responseReceived == flag)
        return;
    assign(m_responseReceived, flag);
    isOverdue();
}

void Submission::setValidDueDate(bool valid)
{
    if (m_validDueDate == valid)
        return;
    assign(m_validDueDate, valid);
    isOverdue();
}

void Submission::setResponseDueDate(const QDateTime &date)
{
    if (m_responseDueDate == date)
        return;
    assign(m_responseDueDate, date);
    isOverdue();
}

void Submission::sortAscending(bool ascending)
{
    submissionSortAscending = ascending;
}

bool Submission::isSortAscending()
{
    return submissionSortAscending;
}

int Submission::compareSubmission(const Submission &other) const
{
    int result = 0;
    // A missing send date counts as the earliest.
    const bool thisDated = m_sendDate.isValid();
    const bool otherDated = other.m_sendDate.isValid();
    if (thisDated != otherDated)
        result = thisDated ? -1 : 1;
    else if (thisDated && m_sendDate != other.m_sendDate)
        result = m_sendDate < other.m_sendDate ? 1 : -1;
    else {
        const QString title = artworkTitle(*this);
        const QString otherTitle = artworkTitle(other);
        if (title.isEmpty() || otherTitle.isEmpty())
            result = title.isEmpty() == otherTitle.isEmpty() ? 0 : (title.isEmpty() ? -1 : 1);
        else
            result = localizedCaseInsensitiveCompare(title, otherTitle);
    }
    return submissionSortAscending ? result : -result;
}

void Submission::sortList(std::vector<Submission *> &list)
{
    if (list.size() < 2)
        return;
    const quint32 collation = collationSerial(false);
    std::vector<std::pair<OrderKey, Submission *>> keyed;
    keyed.reserve(list.size());
    for (Submission *submission : list)
        keyed.emplace_back(submission->orderKey(collation), submission);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return compareKeys(a.first, b.first) < 0; });
    for (size_t i = 0; i < keyed.size(); ++i)
        list[i] = keyed[i].second;
}

Submission::OrderKey Submission::orderKey(quint32 collation) const
{
    OrderKey key;
    key.dated = m_sendDate.isValid();
    key.msecs = key.dated ? m_sendDate.toMSecsSinceEpoch() : 0;
    if (m_artwork && !m_artwork->title().isEmpty())
        key.title = &m_artwork->titleSortKey(collation);
    return key;
}

int Submission::compareKeys(const OrderKey &a, const OrderKey &b, bool ascending)
{
    // The steps of compareSubmission, on instants and sort keys.
    int result = 0;
    if (a.dated != b.dated)
        result = a.dated ? -1 : 1;
    else if (a.dated && a.msecs != b.msecs)
        result = a.msecs < b.msecs ? 1 : -1;
    else if (!a.title || !b.title)
        result = !a.title == !b.title ? 0 : (!a.title ? -1 : 1);
    else {
        const int order = a.title->compare(*b.title);
        result = (order > 0) - (order < 0);
    }
    return ascending ? result : -result;
}

bool Submission::isOverdue()
{
    m_overdue = false;
    if (m_responseReceived == ResponseFlag::Waiting && m_validDueDate && m_responseDueDate.isValid()) {
        const QDateTime today = Clock::today();
        m_overdue = m_responseDueDate.secsTo(today) > 0;
    }
    return m_overdue;
}

QDateTime Submission::roundDate(const QDateTime &date)
{
    return CalendarArithmetic::roundDate(date);
}

QString Submission::statusString() const
{
    if (m_responseReceived == ResponseFlag::Waiting)
        return localized("Waiting");
    if (m_responseReceived != ResponseFlag::Received)
        return localized("Withdrawn");
    if (m_submissionState >= 0 && m_submissionState <= 6)
        return VelumarkStrings::stateStrings().at(m_submissionState);
    return localized("Unknown");
}

QString Submission::moreSubText() const
{
    if (m_responseReceived != ResponseFlag::Waiting)
        return dateLine(0, false);
    const QDateTime now = Clock::now();
    const qint64 days = CalendarArithmetic::wholeDaysBetween(m_sendDate, now);
    const bool pastDue = m_validDueDate && CalendarArithmetic::wholeDaysBetween(m_responseDueDate, now) >= 1;
    return dateLine(days, pastDue);
}

// The date line with the day counts of a waiting submission (a submission with a response counts
// its own days).
QString Submission::dateLine(qint64 days, bool pastDue, quint32 serial) const
{
    const QString sent = dayText(m_sendDate, serial);
    if (m_responseReceived != ResponseFlag::Waiting) {
        const CalendarArithmetic::LocalDay from = localDayOf(m_sendDate, serial);
        const CalendarArithmetic::LocalDay to = localDayOf(m_responseDate, serial);
        const qint64 responseDays = from.usable && to.usable
                                        ? CalendarArithmetic::wholeDaysBetween(from, to)
                                        : CalendarArithmetic::wholeDaysBetween(m_sendDate, m_responseDate);
        return localized("%1 to %2 (%3 %4)")
            .arg(sent, dayText(m_responseDate, serial), QString::number(responseDays), dayWord(responseDays));
    }
    return localized("%1 (%2 %3%4)")
        .arg(sent, QString::number(days), dayWord(days), pastDue ? QStringLiteral("!") : QString());
}

Submission::TextContext Submission::textContext()
{
    // Everything besides the submission that the texts are made from; a new serial whenever it
    // differs from what this thread saw last.
    static std::atomic<quint32> nextSerial{1};
    thread_local QString lastToken;
    thread_local quint32 serial = 0;
    QString token = QLocale().name();
    token += QLatin1Char('|') + QString::fromUtf8(QTimeZone::systemTimeZoneId());
    for (const char *text :
         {"day", "days", "%1 to %2 (%3 %4)", "%1 (%2 %3%4)", "Waiting", "Withdrawn", "Unknown"})
        token += QLatin1Char('|') + localized(text);
    if (serial == 0 || token != lastToken) {
        lastToken = token;
        serial = nextSerial++;
    }
    TextContext context;
    context.serial = serial;
    context.now = Clock::now();
    context.today = CalendarArithmetic::localDay(context.now);
    return context;
}

Submission::TextCache &Submission::textCache(const TextContext &context) const
{
    if (!m_textCache)
        m_textCache = std::make_unique<TextCache>();
    TextCache &cache = *m_textCache;
    if (!cache.made || cache.revision != m_revision || cache.serial != context.serial) {
        cache.made = true;
        cache.revision = m_revision;
        cache.serial = context.serial;
        cache.sent = localDayOf(m_sendDate, context.serial);
        cache.due = localDayOf(m_responseDueDate, context.serial);
        cache.statusMade = false;
        cache.lineMade = false;
    }
    return cache;
}

const FoldedText &Submission::searchStatus(const TextContext &context) const
{
    TextCache &cache = textCache(context);
    if (!cache.statusMade) {
        cache.status.update(statusString());
        cache.statusMade = true;
    }
    return cache.status;
}

void Submission::waitingDays(const TextContext &context, const CalendarArithmetic::LocalDay &sent,
                             const CalendarArithmetic::LocalDay &due, qint64 *days, bool *pastDue) const
{
    *days = 0;
    *pastDue = false;
    if (m_responseReceived != ResponseFlag::Waiting)
        return;
    // The day counts follow "now"; taken apart once, they cost no date conversion per row.
    auto daysTo = [&](const CalendarArithmetic::LocalDay &from, const QDateTime &date) {
        if (from.usable && context.today.usable)
            return CalendarArithmetic::wholeDaysBetween(from, context.today);
        return CalendarArithmetic::wholeDaysBetween(date, context.now);
    };
    *days = daysTo(sent, m_sendDate);
    *pastDue = m_validDueDate && daysTo(due, m_responseDueDate) >= 1;
}

QString Submission::moreSubText(const TextContext &context) const
{
    qint64 days = 0;
    bool pastDue = false;
    if (m_responseReceived == ResponseFlag::Waiting)
        waitingDays(context, localDayOf(m_sendDate, context.serial),
                    localDayOf(m_responseDueDate, context.serial), &days, &pastDue);
    return dateLine(days, pastDue, context.serial);
}

const FoldedText &Submission::searchDateLine(const TextContext &context) const
{
    TextCache &cache = textCache(context);
    qint64 days = 0;
    bool pastDue = false;
    waitingDays(context, cache.sent, cache.due, &days, &pastDue);
    if (!cache.lineMade || cache.lineDays != days || cache.linePastDue != pastDue) {
        cache.line.update(dateLine(days, pastDue, context.serial));
        cache.lineMade = true;
        cache.lineDays = days;
        cache.linePastDue = pastDue;
    }
    return cache.line;
}

int Submission::sendYearKey(const TextContext &context) const
{
    if (!m_sendDate.isValid())
        return std::numeric_limits<int>::min();
    // Through the memo alone: the bands of every row are made on an open, before any text.
    const CalendarArithmetic::LocalDay sent = localDayOf(m_sendDate, context.serial);
    if (sent.usable)
        return QDate::fromJulianDay(sent.julianDay).year();
    return m_sendDate.toLocalTime().date().year();
}

Image *Submission::cellImage() const
{
    return m_artwork ? m_artwork->cellImage() : nullptr;
}

} // namespace velumark
