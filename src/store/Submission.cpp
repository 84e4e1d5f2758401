#include "store/Submission.h"

#include "store/Artwork.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"
#include "store/VelumarkUtility.h"

#include <algorithm>
#include <atomic>

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

} // namespace

Submission::Submission() = default;

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
    std::stable_sort(list.begin(), list.end(),
                     [](const Submission *a, const Submission *b) { return a->compareSubmission(*b) < 0; });
}

bool Submission::isOverdue()
{
    m_overdue = false;
    if (m_responseReceived == ResponseFlag::Waiting && m_validDueDate && m_responseDueDate.isValid()) {
        const QDateTime today = roundDate(VelumarkUtility::now());
        m_overdue = m_responseDueDate.secsTo(today) > 0;
    }
    return m_overdue;
}

QDateTime Submission::roundDate(const QDateTime &date)
{
    return VelumarkUtility::roundDate(date);
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
    const QString sent = mediumDateString(m_sendDate);
    if (m_responseReceived != ResponseFlag::Waiting) {
        const qint64 days = VelumarkUtility::wholeDaysBetween(m_sendDate, m_responseDate);
        return localized("%1 to %2 (%3 %4)")
            .arg(sent, mediumDateString(m_responseDate), QString::number(days), dayWord(days));
    }
    const QDateTime now = VelumarkUtility::now();
    const qint64 days = VelumarkUtility::wholeDaysBetween(m_sendDate, now);
    const bool pastDue = m_validDueDate && VelumarkUtility::wholeDaysBetween(m_responseDueDate, now) >= 1;
    return localized("%1 (%2 %3%4)")
        .arg(sent, QString::number(days), dayWord(days), pastDue ? QStringLiteral("!") : QString());
}

Image *Submission::cellImage() const
{
    return m_artwork ? m_artwork->cellImage() : nullptr;
}

} // namespace velumark
