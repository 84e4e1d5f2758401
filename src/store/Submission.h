#pragma once

#include "store/Record.h"

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
    void setArtwork(Artwork *artwork) { m_artwork = artwork; }
    Client *client() const { return m_client; }
    void setClient(Client *client) { m_client = client; }

    // The class-wide direction of compareSubmission (ascending = newest first).
    static void sortAscending(bool ascending);
    static bool isSortAscending();
    // Newest send date first; on equal dates by artwork title (locale, ignoring case), a
    // submission without artwork title first. -1, 0 or 1; a strict weak ordering.
    int compareSubmission(const Submission &other) const;
    // Sorts a list by compareSubmission.
    static void sortList(std::vector<Submission *> &list);

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
    // The first image of the artwork, or null.
    Image *cellImage() const;

    bool sectionHeading() const { return m_sectionHeading; }
    void setSectionHeading(bool heading) { m_sectionHeading = heading; }

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
    bool m_sectionHeading = false;
};

} // namespace velumark
