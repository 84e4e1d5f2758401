#pragma once

#include "store/Record.h"
#include "store/SubmissionList.h"
#include "store/TextCompare.h"

#include <vector>

namespace velumark {

class Submission;

// A party artworks are submitted to: gallery, museum, company, collector, private buyer, fair or
// show. In memory it holds its submissions, newest first.
class Client : public Record
{
public:
    Client();
    Client(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult = nullptr);

    qint64 clientType() const { return m_clientType; }
    void setClientType(qint64 type) { assignLazy(m_clientType, type); }
    const QString &company() const { return m_company; }
    void setCompany(const QString &company) { assign(m_company, company); }
    double commission() const { return m_commission; }
    void setCommission(double commission) { assignLazy(m_commission, commission); }
    const QDateTime &deadline() const { return m_deadline; }
    void setDeadline(const QDateTime &deadline) { assign(m_deadline, deadline); }
    const QString &contact() const { return m_contact; }
    void setContact(const QString &contact) { assignLazy(m_contact, contact); }
    const QString &address() const { return m_address; }
    void setAddress(const QString &address) { assignLazy(m_address, address); }
    const QString &web() const { return m_web; }
    void setWeb(const QString &web) { assignLazy(m_web, web); }
    const QString &email() const { return m_email; }
    void setEmail(const QString &email) { assignLazy(m_email, email); }
    const QString &phone() const { return m_phone; }
    void setPhone(const QString &phone) { assignLazy(m_phone, phone); }
    const QString &fax() const { return m_fax; }
    void setFax(const QString &fax) { assignLazy(m_fax, fax); }
    bool status() const { return m_status; } // open
    void setStatus(bool open) { assign(m_status, open); }
    const QString &notes() const { return m_notes; }
    void setNotes(const QString &notes) { assignLazy(m_notes, notes); }
    qint64 responseTime() const { return m_responseTime; }
    void setResponseTime(qint64 time) { assign(m_responseTime, time); }
    qint64 responseTimeUnits() const { return m_responseTimeUnits; }
    void setResponseTimeUnits(qint64 units) { assign(m_responseTimeUnits, units); }
    double payRate() const { return m_payRate; }
    void setPayRate(double rate) { assignLazy(m_payRate, rate); }

    // The class-wide direction of compareCompany (ascending by default).
    static void sortAscending(bool ascending);
    static bool isSortAscending();
    // Companies in the order a file browser uses (case-insensitive, numbers by value).
    int compareCompany(const Client &other) const;
    // compareCompany for many comparisons in a row: prepareOrder takes the company's sort key once
    // (collation from collationSerial(true)), compareCompanyOrdered uses it, in the direction given
    // (not the class-wide one, which another thread may be changing).
    void prepareOrder(quint32 collation) const { m_orderCompanyKey = &companySortKey(collation); }
    int compareCompanyOrdered(const Client &other, bool ascending) const;
    // Sort key of the company for localizedStandardCompare, kept until the text or collation changes.
    const QByteArray &companySortKey(quint32 collation) const
    {
        return m_companyKey.key(m_company, true, collation);
    }
    // Sort key of the company for localizedCaseInsensitiveCompare (the list of open clients).
    const QByteArray &companyTextSortKey(quint32 collation) const
    {
        return m_companyTextKey.key(m_company, false, collation);
    }
    // The company folded for searching.
    const FoldedText &searchCompany() const
    {
        m_searchCompany.update(m_company);
        return m_searchCompany;
    }

    const std::vector<Submission *> &submissions() const { return m_submissions.items(); }
    void addSubmission(Submission *submission) { m_submissions.add(submission); }
    // Adds a submission not yet held without sorting (linking after a load sorts once at the
    // end); true when it was added.
    bool appendSubmission(Submission *submission) { return m_submissions.append(submission); }
    void removeSubmission(Submission *submission) { m_submissions.remove(submission); }
    void sortSubmissions() { m_submissions.sort(); }
    void clearSubmissions() { m_submissions.clear(); }

    // "Waiting" while the latest submission awaits a response, else "Open" or "Closed".
    QString statusString() const;
    // "Open" or "Closed" while the latest submission awaits a response, else empty.
    QString subText() const;
    static QDateTime roundDate(const QDateTime &date);
    // Whether the near-deadline mark shows, for a warning window of `duration` units
    // (1 day, 2 week, 3 month, 4 year); with clearAfter the mark goes on the deadline day.
    bool isApproachingDeadline(qint64 duration, qint64 units, bool clearAfter) const;

protected:
    const Statements &statements() const override;
    QString className() const override { return QStringLiteral("Client"); }
    void readEager(const SqliteStatement &row) override;
    void applyEagerFallbacks() override;
    void readLazy(const SqliteStatement &row) override;
    void applyLazyFallbacks() override;
    void releaseLazyFields() override;
    void bindInsert(SqliteStatement &statement) const override;
    int bindUpdate(SqliteStatement &statement) const override;

private:
    bool latestSubmissionWaiting() const;

    qint64 m_clientType = 0;
    QString m_company;
    double m_commission = 0;
    QDateTime m_deadline;
    QString m_contact;
    QString m_address;
    QString m_web;
    QString m_email;
    QString m_phone;
    QString m_fax;
    bool m_status = true;
    QString m_notes;
    qint64 m_responseTime = 0;
    qint64 m_responseTimeUnits = 0;
    double m_payRate = 0;

    SubmissionList m_submissions;
    mutable CachedSortKey m_companyKey;
    mutable CachedSortKey m_companyTextKey;
    mutable FoldedText m_searchCompany;
    mutable const QByteArray *m_orderCompanyKey = nullptr;
};

} // namespace velumark
