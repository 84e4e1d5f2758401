#pragma once

#include "editing/RecordEditor.h"

#include <QDate>
#include <QString>
#include <memory>
#include <vector>

namespace velumark {
class Artwork;
class Client;
class Submission;
} // namespace velumark

namespace velumark::editing {

// What the submission sheet shows, as shown (the income as typed).
struct SubmissionValues
{
    Artwork *artwork = nullptr;
    Client *client = nullptr;
    int type = 0; // 0..6
    QDate sendDate;
    bool dueDateOn = false;
    QDate dueDate;    // today while `dueDateOn` is off, unless computed
    int response = 0; // 0 No, 1 Yes, 2 Withdrawn
    QDate responseDate;
    int state = 0; // 0..6
    QString income;
    bool exhibited = false;
    bool releaseSigned = false;
    QString notes;

    bool operator==(const SubmissionValues &) const = default;
};

// The field logic of the submission sheet: the artwork and client chosen among those offered,
// the response control (which dates it keeps, which fields it shows), the response due date
// computed from the client's response time, and the save.
class SubmissionEditor : public RecordEditor
{
    Q_OBJECT
public:
    // Where the sheet was opened: a history fixes its artwork or its client.
    enum class Origin
    {
        SubmissionList = 0,
        ArtworkHistory = 1,
        ClientHistory = 2
    };

    SubmissionEditor(VelumarkDatabase &document, Submission &submission, Origin origin,
                     QObject *parent = nullptr);
    // A new submission, of this artwork and client when given (a history's), added on save.
    SubmissionEditor(VelumarkDatabase &document, Origin origin, Artwork *artwork = nullptr,
                     Client *client = nullptr, QObject *parent = nullptr);

    const SubmissionValues &values() const { return m_values; }
    // The fields without a rule of their own (type, state, income, exhibited, release, notes).
    SubmissionValues &values() { return m_values; }
    bool hasChanges() const { return m_values != m_loaded; }
    Submission *submission() const;
    Origin origin() const { return m_origin; }

    // The artwork can be chosen (and one added here) unless an artwork's history fixes it;
    // likewise the client.
    bool artworkChoiceEnabled() const { return m_origin != Origin::ArtworkHistory; }
    bool clientChoiceEnabled() const { return m_origin != Origin::ClientHistory; }
    // The artworks offered (those available for sale or loan), after the submission's own and
    // one added here when they are not available; likewise the open clients.
    std::vector<Artwork *> artworkChoices() const;
    std::vector<Client *> clientChoices() const;
    void chooseArtwork(Artwork *artwork);
    void chooseClient(Client *client);
    // A record made with the add buttons of the sheet: offered and chosen.
    void artworkAdded(Artwork *artwork);
    void clientAdded(Client *client);

    // Dates outside the years 1 to 9999 are refused (the values stay).
    void setSendDate(const QDate &day);
    void setDueDate(const QDate &day);
    void setResponseDate(const QDate &day);
    // On: the due date is computed from the send date.
    void setDueDateOn(bool on);
    // The response control: "Yes" and "Withdrawn" take today as the response date unless the
    // submission was stored with that answer (its date is kept).
    void setResponse(int response);
    bool responseDateShown() const { return m_values.response != 0; }
    // "Withdrawn Date" or "Response Date".
    QString responseDateLabel() const;
    // State and income are shown for an answer only.
    bool outcomeShown() const { return m_values.response == 1; }
    // The due date from a send date and the response time of the client: the submission's own
    // client first, else the one chosen. Nothing changes without a client, or for a client
    // without a response time unit.
    void calculateResponseDue(const QDate &sendDate);

    // An artwork, a client, and a number as income.
    bool canSave() const;
    // Writes the submission (a new one is added to the document), moves it between the lists of
    // its old and new artwork and client, and re-files it. On failure the stored submission stays
    // as it was and the values stay for another try.
    Result<Submission *> save();

    // A new submission, never stored, with the values as the sheet shows them (the artwork and
    // client chosen, when chosen): what a printout of the sheet shows.
    std::unique_ptr<Submission> shownSubmission() const;

signals:
    // The artworks or clients offered changed (one was added, changed or removed).
    void choicesChanged();

protected:
    void otherRecordRemoved(DocumentNotifier::Kind kind, Record *record) override;

private:
    void load(const Submission &submission);
    void apply(Submission &submission) const;
    void relink(Submission &submission, Artwork *oldArtwork, Client *oldClient) const;
    void followDocument();
    void followOtherRecords(DocumentNotifier::Kind kind);

    Origin m_origin;
    SubmissionValues m_values;
    SubmissionValues m_loaded;
    // The submission's own artwork and client (a history's for a new one): offered even when not
    // available; the client also decides the due date.
    Artwork *m_ownArtwork = nullptr;
    Client *m_ownClient = nullptr;
    Artwork *m_addedArtwork = nullptr;
    Client *m_addedClient = nullptr;
    qint64 m_storedResponse = 0;
};

} // namespace velumark::editing
