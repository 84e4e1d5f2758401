#pragma once

#include "store/CalendarArithmetic.h"
#include "store/Record.h"
#include "store/TextCompare.h"

#include <memory>
#include <vector>

namespace velumark {

class Artwork;
class Client;
class Image;

// One artwork sent to one client. Linked by key in the database and by reference in memory
// (the references are set by the document). Decides whether its response is overdue, orders
// itself in every submission list and gives the texts of its list cell.
class Submission : public Record
{
public:
    Submission();
    Submission(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult = nullptr);
    ~Submission() override;

    qint64 artworkKey() const { return m_artworkKey; }
    void setArtworkKey(qint64 key) { assign(m_artworkKey, key); }
    qint64 clientKey() const { return m_clientKey; }
    void setClientKey(qint64 key) { assign(m_clientKey, key); }
    const QDateTime &sendDate() const { return m_sendDate; }
    void setSendDate(const QDateTime &date) { assign(m_sendDate, date); }
    // 0 waiting, 1 received, anything else withdrawn.
    qint64 responseReceived() const { return m_responseReceived; }
    void setResponseReceived(qint64 flag);
    const QDateTime &responseDate() const { return m_responseDate; }
    void setResponseDate(const QDateTime &date) { assign(m_responseDate, date); }
    qint64 submissionState() const { return m_submissionState; }
    void setSubmissionState(qint64 state) { assign(m_submissionState, state); }
    double income() const { return m_income; }
    void setIncome(double income) { assign(m_income, income); }
    bool validDueDate() const { return m_validDueDate; }
    void setValidDueDate(bool valid);
    const QDateTime &responseDueDate() const { return m_responseDueDate; }
    void setResponseDueDate(const QDateTime &date);
    const QString &notes() const { return m_notes; }
    void setNotes(const QString &notes) { assignLazy(m_notes, notes); }
    bool releaseSigned() const { return m_releaseSigned; }
    void setReleaseSigned(bool released) { assignLazy(m_releaseSigned, released); }
    bool exhibited() const { return m_exhibited; }
    void setExhibited(bool exhibited) { assign(m_exhibited, exhibited); }
    qint64 submissionType() const { return m_submissionType; }
    void setSubmissionType(qint64 type) { assignLazy(m_submissionType, type); }

    // The linked records; replacing them touches neither the keys nor `dirty`.
    Artwork *artwork() const { return m_artwork; }
    void setArtwork(Artwork *artwork)
    {
        m_artwork = artwork;
        noteChange();
    }
    Client *client() const { return m_client; }
    void setClient(Client *client)
    {
        m_client = client;
        noteChange();
    }

    // The class-wide direction of compareSubmission (ascending = newest first).
    static void sortAscending(bool ascending);
    static bool isSortAscending();
    // Newest send date first; on equal dates by artwork title (locale, ignoring case), a
    // submission without artwork title first. -1, 0 or 1; a strict weak ordering.
    int compareSubmission(const Submission &other) const;
    // Sorts a list by compareSubmission.
    static void sortList(std::vector<Submission *> &list);
    // compareSubmission for many comparisons in a row: orderKey takes the send instant and the sort
    // key of the artwork's title once (collation from collationSerial(false)); compareKeys then
    // gives compareSubmission's answer for two keys, as long as the submissions do not change, in
    // the class-wide direction or in the one given (for a sort on another thread).
    struct OrderKey
    {
        qint64 msecs = 0;
        const QByteArray *title = nullptr; // null without an artwork title
        bool dated = false;
    };
    OrderKey orderKey(quint32 collation) const;
    static int compareKeys(const OrderKey &a, const OrderKey &b)
    {
        return compareKeys(a, b, isSortAscending());
    }
    static int compareKeys(const OrderKey &a, const OrderKey &b, bool ascending);

    // What the texts of the submission list depend on besides the submission itself: the locale,
    // the time zone, the translations and "now". Taken once for a search over many submissions.
    struct TextContext
    {
        quint32 serial = 0;
        QDateTime now;
        CalendarArithmetic::LocalDay today;
    };
    static TextContext textContext();
    // statusString() and moreSubText() folded for searching, made again only when the submission
    // or the context changed or, while waiting, when a day count moved on.
    const FoldedText &searchStatus(const TextContext &context) const;
    const FoldedText &searchDateLine(const TextContext &context) const;
    // The local year of the send date (what yearString shows), the same number for the same text;
    // std::numeric_limits<int>::min() without a send date.
    int sendYearKey(const TextContext &context) const;

    // Waiting, with a valid due date that lies before the start of today. Stores the answer.
    bool isOverdue();
    // The answer of the last computation.
    bool overdue() const { return m_overdue; }
    static QDateTime roundDate(const QDateTime &date);

    // "Waiting", "Withdrawn", the outcome's text, or "Unknown".
    QString statusString() const;
    // The date line of the list cell: "<sent> to <response> (<n> days)" after a response,
    // "<sent> (<n> days[!])" while waiting ("!" once the due date passed by a whole day).
    QString moreSubText() const;
    // The same line at the context's "now", its local days and day texts made once per context:
    // for a printout of many rows.
    QString moreSubText(const TextContext &context) const;
    // The first image of the artwork, or null.
    Image *cellImage() const;

protected:
    const Statements &statements() const override;
    QString className() const override { return QStringLiteral("Submission"); }
    void readEager(const SqliteStatement &row) override;
    void applyEagerFallbacks() override;
    void readLazy(const SqliteStatement &row) override;
    void applyLazyFallbacks() override;
    void releaseLazyFields() override;
    void bindInsert(SqliteStatement &statement) const override;
    int bindUpdate(SqliteStatement &statement) const override;
    void eagerFieldsLoaded() override { isOverdue(); }

private:
    struct TextCache;
    TextCache &textCache(const TextContext &context) const;
    // The day counts of the date line at the context's "now" (0 and false after a response).
    void waitingDays(const TextContext &context, const CalendarArithmetic::LocalDay &sent,
                     const CalendarArithmetic::LocalDay &due, qint64 *days, bool *pastDue) const;
    // serial: the text context whose day texts may be reused, 0 for none.
    QString dateLine(qint64 days, bool pastDue, quint32 serial = 0) const;

    qint64 m_artworkKey = 0;
    qint64 m_clientKey = 0;
    QDateTime m_sendDate;
    qint64 m_responseReceived = 0;
    QDateTime m_responseDate;
    qint64 m_submissionState = 0;
    double m_income = 0;
    bool m_validDueDate = false;
    QDateTime m_responseDueDate;
    QString m_notes;
    bool m_releaseSigned = false;
    bool m_exhibited = false;
    qint64 m_submissionType = 0;

    Artwork *m_artwork = nullptr;
    Client *m_client = nullptr;
    bool m_overdue = false;

    mutable std::unique_ptr<TextCache> m_textCache;
};

} // namespace velumark
