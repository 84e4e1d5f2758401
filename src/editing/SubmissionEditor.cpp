#include "editing/SubmissionEditor.h"

#include "document/VelumarkDatabase.h"
#include "editing/DecimalFormatter.h"
#include "editing/EditorDates.h"
#include "store/CalendarArithmetic.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

#include <algorithm>

namespace velumark::editing {

namespace {

const DecimalFormatter::Style kMoney = DecimalFormatter::Style::money();

int shownCode(qint64 code, qint64 largest)
{
    return code >= 0 && code <= largest ? int(code) : 0;
}

// The offered records, after those shown although not offered.
template <typename T>
std::vector<T *> withExtras(const std::vector<T *> &offered, std::initializer_list<T *> extras)
{
    std::vector<T *> choices;
    for (T *extra : extras) {
        if (extra && std::find(offered.begin(), offered.end(), extra) == offered.end() &&
            std::find(choices.begin(), choices.end(), extra) == choices.end())
            choices.push_back(extra);
    }
    choices.insert(choices.end(), offered.begin(), offered.end());
    return choices;
}

} // namespace

SubmissionEditor::SubmissionEditor(VelumarkDatabase &document, Submission &submission, Origin origin,
                                   QObject *parent)
    : RecordEditor(document, &submission, DocumentNotifier::Kind::Submission, parent), m_origin(origin),
      m_ownArtwork(submission.artwork()), m_ownClient(submission.client()),
      m_storedResponse(submission.responseReceived())
{
    load(submission);
    followDocument();
}

SubmissionEditor::SubmissionEditor(VelumarkDatabase &document, Origin origin, Artwork *artwork,
                                   Client *client, QObject *parent)
    : RecordEditor(document, nullptr, DocumentNotifier::Kind::Submission, parent), m_origin(origin),
      m_ownArtwork(artwork), m_ownClient(client)
{
    Submission blank;
    blank.setArtwork(artwork);
    blank.setClient(client);
    load(blank);
    followDocument();
}

Submission *SubmissionEditor::submission() const
{
    return static_cast<Submission *>(record());
}

void SubmissionEditor::load(const Submission &submission)
{
    m_values.artwork = submission.artwork();
    m_values.client = submission.client();
    m_values.type = shownCode(submission.submissionType(), 6);
    m_values.sendDate = EditorDates::shownDay(submission.sendDate());
    m_values.dueDateOn = submission.validDueDate() && submission.responseDueDate().isValid();
    m_values.dueDate =
        m_values.dueDateOn ? EditorDates::shownDay(submission.responseDueDate()) : EditorDates::today();
    // Every answer other than none and a response is a withdrawal.
    const qint64 response = submission.responseReceived();
    m_values.response = response == ResponseFlag::Waiting || response == ResponseFlag::Received
                            ? int(response)
                            : int(ResponseFlag::Withdrawn);
    m_values.responseDate = EditorDates::shownDay(submission.responseDate());
    m_values.state = shownCode(submission.submissionState(), 6);
    m_values.income = DecimalFormatter::text(submission.income(), kMoney);
    m_values.exhibited = submission.exhibited();
    m_values.releaseSigned = submission.releaseSigned();
    m_values.notes = submission.notes();
    m_loaded = m_values;
}

void SubmissionEditor::followDocument()
{
    for (const auto news :
         {&DocumentNotifier::recordAdded, &DocumentNotifier::recordChanged, &DocumentNotifier::recordRemoved})
        connect(document().notifier(), news, this,
                [this](DocumentNotifier::Kind changed, Record *) { followOtherRecords(changed); });
}

void SubmissionEditor::followOtherRecords(DocumentNotifier::Kind kind)
{
    if (kind == DocumentNotifier::Kind::Artwork || kind == DocumentNotifier::Kind::Client)
        emit choicesChanged();
}

void SubmissionEditor::otherRecordRemoved(DocumentNotifier::Kind kind, Record *record)
{
    if (kind == DocumentNotifier::Kind::Artwork) {
        for (Artwork **held : {&m_values.artwork, &m_loaded.artwork, &m_ownArtwork, &m_addedArtwork})
            if (*held == record)
                *held = nullptr;
    } else if (kind == DocumentNotifier::Kind::Client) {
        for (Client **held : {&m_values.client, &m_loaded.client, &m_ownClient, &m_addedClient})
            if (*held == record)
                *held = nullptr;
    }
}

std::vector<Artwork *> SubmissionEditor::artworkChoices() const
{
    return withExtras(document().availableArtworks(), {m_ownArtwork, m_addedArtwork, m_values.artwork});
}

std::vector<Client *> SubmissionEditor::clientChoices() const
{
    return withExtras(document().availableClients(), {m_ownClient, m_addedClient, m_values.client});
}

void SubmissionEditor::chooseArtwork(Artwork *artwork)
{
    if (artworkChoiceEnabled())
        m_values.artwork = artwork;
}

void SubmissionEditor::chooseClient(Client *client)
{
    if (clientChoiceEnabled())
        m_values.client = client;
}

void SubmissionEditor::artworkAdded(Artwork *artwork)
{
    m_addedArtwork = artwork;
    chooseArtwork(artwork);
}

void SubmissionEditor::clientAdded(Client *client)
{
    m_addedClient = client;
    chooseClient(client);
}

void SubmissionEditor::setSendDate(const QDate &day)
{
    if (!EditorDates::isAllowed(day))
        return;
    m_values.sendDate = day;
    if (m_values.dueDateOn)
        calculateResponseDue(day);
}

void SubmissionEditor::setDueDate(const QDate &day)
{
    if (EditorDates::isAllowed(day))
        m_values.dueDate = day;
}

void SubmissionEditor::setResponseDate(const QDate &day)
{
    if (EditorDates::isAllowed(day))
        m_values.responseDate = day;
}

void SubmissionEditor::setDueDateOn(bool on)
{
    m_values.dueDateOn = on;
    if (on)
        calculateResponseDue(m_values.sendDate);
}

void SubmissionEditor::setResponse(int response)
{
    if (response < ResponseFlag::Waiting || response > ResponseFlag::Withdrawn)
        return;
    m_values.response = response;
    if (response != ResponseFlag::Waiting && m_storedResponse != response)
        m_values.responseDate = EditorDates::today();
}

QString SubmissionEditor::responseDateLabel() const
{
    return m_values.response == ResponseFlag::Withdrawn ? localized("Withdrawn Date")
                                                        : localized("Response Date");
}

void SubmissionEditor::calculateResponseDue(const QDate &sendDate)
{
    const Client *client = m_ownClient ? m_ownClient : m_values.client;
    if (!client)
        return;
    const QDateTime due = CalendarArithmetic::addInterval(
        client->responseTime(), EditorDates::storedDate(sendDate), client->responseTimeUnits());
    if (!due.isValid() || !EditorDates::isAllowed(due.date()))
        return;
    m_values.dueDate = due.date();
    m_values.dueDateOn = true;
}

bool SubmissionEditor::canSave() const
{
    return m_values.artwork && m_values.client && DecimalFormatter::number(m_values.income, kMoney);
}

void SubmissionEditor::apply(Submission &submission) const
{
    // 0: none chosen yet (only a submission made for a printout lacks them).
    submission.setArtworkKey(m_values.artwork ? m_values.artwork->primaryKey() : 0);
    submission.setClientKey(m_values.client ? m_values.client->primaryKey() : 0);
    submission.setSendDate(EditorDates::storedDate(m_values.sendDate));
    // Turned off, the due date stays stored but no longer counts.
    if (m_values.dueDateOn)
        submission.setResponseDueDate(EditorDates::storedDate(m_values.dueDate));
    submission.setValidDueDate(m_values.dueDateOn);
    submission.setResponseReceived(m_values.response);
    submission.setResponseDate(EditorDates::storedDate(m_values.responseDate));
    submission.setSubmissionState(m_values.state);
    submission.setIncome(DecimalFormatter::number(m_values.income, kMoney).value_or(0));
    submission.setSubmissionType(m_values.type);
    submission.setExhibited(m_values.exhibited);
    submission.setReleaseSigned(m_values.releaseSigned);
    submission.setNotes(m_values.notes);
}

void SubmissionEditor::relink(Submission &submission, Artwork *oldArtwork, Client *oldClient) const
{
    if (m_values.artwork != oldArtwork) {
        submission.setArtwork(m_values.artwork);
        m_values.artwork->addSubmission(&submission);
        if (oldArtwork)
            oldArtwork->removeSubmission(&submission);
    }
    if (m_values.client != oldClient) {
        submission.setClient(m_values.client);
        m_values.client->addSubmission(&submission);
        if (oldClient)
            oldClient->removeSubmission(&submission);
    }
}

std::unique_ptr<Submission> SubmissionEditor::shownSubmission() const
{
    auto shown = std::make_unique<Submission>();
    shown->setArtwork(m_values.artwork);
    shown->setClient(m_values.client);
    apply(*shown);
    return shown;
}

Result<Submission *> SubmissionEditor::save()
{
    if (Result<> allowed = checkSave(canSave()); !allowed)
        return Failure{allowed.message()};
    if (isNew()) {
        auto created = std::make_unique<Submission>();
        created->setArtwork(m_values.artwork);
        created->setClient(m_values.client);
        apply(*created);
        Submission *added = nullptr;
        if (Result<> stored = attempt([&] { added = document().addSubmission(std::move(created)); }); !stored)
            return Failure{stored.message()};
        adopt(added);
    } else {
        Submission &edited = *submission();
        Artwork *oldArtwork = edited.artwork();
        Client *oldClient = edited.client();
        apply(edited);
        if (Result<> stored = store(edited); !stored)
            return Failure{stored.message()};
        relink(edited, oldArtwork, oldClient);
        // Re-sorts the lists, counts the overdue submissions again and tells the windows.
        document().updateSubmission(&edited);
    }
    Submission *saved = submission();
    finish();
    return saved;
}

} // namespace velumark::editing
