#include "store/Client.h"

#include "store/CalendarArithmetic.h"
#include "store/Clock.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/Submission.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"

#include <algorithm>
#include <atomic>

namespace velumark {

namespace {
std::atomic<bool> clientSortAscending{true};
} // namespace

Client::Client() = default;

Client::Client(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult)
{
    const int result = loadEagerFields(primaryKey, database, abortOnError);
    if (initResult)
        *initResult = result;
}

const Record::Statements &Client::statements() const
{
    static const Statements sql{
        "SELECT company, status, deadline, response_time, response_time_units FROM client WHERE pk=?",
        "SELECT client_type, commission, contact, address, web, email, phone, fax, notes, payrate FROM "
        "client "
        "WHERE pk=?",
        "INSERT INTO client (company) VALUES(?)",
        "UPDATE client SET client_type=?, company=?, commission=?, deadline=?, contact=?, address=?, web=?, "
        "email=?, phone=?, fax=?, status=?, notes=?, response_time=?, response_time_units=?, payrate=? WHERE "
        "pk=?",
        "DELETE FROM client WHERE pk=?",
        "Error: failed to save with message '%s'.",
    };
    return sql;
}

void Client::readEager(const SqliteStatement &row)
{
    m_company = row.columnText(0);
    m_status = row.columnInt64(1) != 0;
    const double deadline = row.columnDouble(2);
    m_deadline = deadline == 0 ? QDateTime() : dateFromStoredSeconds(deadline);
    m_responseTime = row.columnInt64(3);
    m_responseTimeUnits = row.columnInt64(4);
}

void Client::applyEagerFallbacks()
{
    m_company = QStringLiteral("");
    m_status = false;
    m_deadline = QDateTime();
    m_responseTime = 0;
    m_responseTimeUnits = 0;
}

void Client::readLazy(const SqliteStatement &row)
{
    m_clientType = row.columnInt64(0);
    m_commission = row.columnDouble(1);
    m_contact = row.columnText(2);
    m_address = row.columnText(3);
    m_web = row.columnText(4);
    m_email = row.columnText(5);
    m_phone = row.columnText(6);
    m_fax = row.columnText(7);
    m_notes = row.columnText(8);
    m_payRate = row.columnDouble(9);
}

void Client::applyLazyFallbacks()
{
    const QString empty = QStringLiteral("");
    m_clientType = 0;
    m_commission = 0;
    m_contact = m_address = m_web = m_email = m_phone = m_fax = m_notes = empty;
    m_payRate = 0;
}

void Client::releaseLazyFields()
{
    m_notes = m_contact = m_address = m_web = m_email = m_phone = m_fax = QString();
}

void Client::bindInsert(SqliteStatement &statement) const
{
    statement.bindText(1, m_company);
}

int Client::bindUpdate(SqliteStatement &statement) const
{
    statement.bindInt64(1, m_clientType);
    statement.bindText(2, m_company);
    statement.bindDouble(3, m_commission);
    statement.bindDouble(4, storedSecondsFromDate(m_deadline));
    statement.bindText(5, m_contact);
    statement.bindText(6, m_address);
    statement.bindText(7, m_web);
    statement.bindText(8, m_email);
    statement.bindText(9, m_phone);
    statement.bindText(10, m_fax);
    statement.bindInt64(11, m_status ? 1 : 0);
    statement.bindText(12, m_notes);
    statement.bindInt64(13, m_responseTime);
    statement.bindInt64(14, m_responseTimeUnits);
    statement.bindDouble(15, m_payRate);
    return 15;
}

void Client::sortAscending(bool ascending)
{
    clientSortAscending = ascending;
}

bool Client::isSortAscending()
{
    return clientSortAscending;
}

int Client::compareCompany(const Client &other) const
{
    const int result = localizedStandardCompare(m_company, other.m_company);
    return clientSortAscending ? result : -result;
}

int Client::compareCompanyOrdered(const Client &other, bool ascending) const
{
    const int order = m_orderCompanyKey->compare(*other.m_orderCompanyKey);
    const int result = (order > 0) - (order < 0);
    return ascending ? result : -result;
}

bool Client::latestSubmissionWaiting() const
{
    return !m_submissions.empty() && m_submissions.front()->responseReceived() == ResponseFlag::Waiting;
}

QString Client::statusString() const
{
    if (latestSubmissionWaiting())
        return localized("Waiting");
    return m_status ? localized("Open") : localized("Closed");
}

QString Client::subText() const
{
    if (!latestSubmissionWaiting())
        return {};
    return m_status ? localized("Open") : localized("Closed");
}

QDateTime Client::roundDate(const QDateTime &date)
{
    return CalendarArithmetic::roundDate(date);
}

bool Client::isApproachingDeadline(qint64 duration, qint64 units, bool clearAfter) const
{
    if (!m_deadline.isValid())
        return false;
    const QDateTime today = roundDate(Clock::now());
    const qint64 remaining = today.secsTo(m_deadline);
    const QDateTime warningStart =
        roundDate(CalendarArithmetic::subtractInterval(duration, m_deadline, units));
    if (!warningStart.isValid())
        return false;
    const qint64 window = warningStart.secsTo(m_deadline);
    if (window < remaining)
        return false;
    if (remaining > 0)
        return true;
    return !clearAfter;
}

} // namespace velumark
