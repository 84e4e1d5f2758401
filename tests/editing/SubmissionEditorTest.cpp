#include "editing/SubmissionEditor.h"

#include "EditorFixture.h"
#include "document/SubmissionListController.h"
#include "store/VelumarkStrings.h"

#include <QSignalSpy>

namespace velumark::test {
namespace {

using editing::SubmissionEditor;
using Origin = SubmissionEditor::Origin;

class SubmissionEditing : public EditorFixture
{
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        dunes = catalogue->addArtwork(QStringLiteral("Dunes"));
        harbour = catalogue->addArtwork(QStringLiteral("Harbour"));
        north = catalogue->addClient(QStringLiteral("North"));
        south = catalogue->addClient(QStringLiteral("South"));
        setResponseTime(north, 3, TimeUnit::Month);
        setResponseTime(south, 2, TimeUnit::Week);
    }
    void setResponseTime(Client *client, qint64 time, qint64 units)
    {
        client->setResponseTime(time);
        client->setResponseTimeUnits(units);
        document->updateClient(client);
        ASSERT_EQ(client->dehydrate(), 0);
    }

    Artwork *dunes = nullptr;
    Artwork *harbour = nullptr;
    Client *north = nullptr;
    Client *south = nullptr;
};

TEST_F(SubmissionEditing, ANewSubmissionNeedsAnArtworkAndAClientAndIsStoredWithItsDueDate)
{
    SubmissionEditor editor(*document, Origin::SubmissionList);
    EXPECT_EQ(editor.values().sendDate, QDate(2024, 5, 15)) << "sent today";
    EXPECT_FALSE(editor.canSave());
    editor.chooseArtwork(dunes);
    EXPECT_FALSE(editor.canSave());
    editor.chooseClient(north);
    EXPECT_TRUE(editor.canSave());

    // Without the submission's own client, the chosen one gives the response time; the day is
    // clamped at the end of the month.
    editor.setSendDate(QDate(2024, 1, 31));
    editor.setDueDateOn(true);
    EXPECT_EQ(editor.values().dueDate, QDate(2024, 4, 30));
    editor.setSendDate(QDate(2024, 2, 10));
    EXPECT_EQ(editor.values().dueDate, QDate(2024, 5, 10)) << "follows the send date while on";
    editor.values().type = 3;
    editor.values().notes = QStringLiteral("Framed");
    const Result<Submission *> saved = editor.save();
    ASSERT_TRUE(saved.ok()) << saved.message().toStdString();
    Submission *added = saved.value();
    EXPECT_EQ(added->artwork(), dunes);
    EXPECT_EQ(dunes->submissions(), std::vector<Submission *>{added});
    EXPECT_EQ(north->submissions(), std::vector<Submission *>{added});
    EXPECT_TRUE(added->isOverdue()) << "due on 10 May, today is 15 May";
    EXPECT_EQ(document->submissionListController()->overdueSubs(), 1u);

    reopen();
    const Submission &read = *document->submissions().front();
    EXPECT_EQ(read.artwork()->title(), QStringLiteral("Dunes"));
    EXPECT_EQ(read.client()->company(), QStringLiteral("North"));
    EXPECT_EQ(read.sendDate(), local(2024, 2, 10));
    EXPECT_TRUE(read.validDueDate());
    EXPECT_EQ(read.responseDueDate(), local(2024, 5, 10));
    EXPECT_EQ(stored(QStringLiteral("SELECT submission_type FROM submission")), QStringLiteral("3"));
    EXPECT_EQ(stored(QStringLiteral("SELECT notes FROM submission")), QStringLiteral("Framed"));
}

TEST_F(SubmissionEditing, TheSubmissionsOwnClientDecidesTheDueDate)
{
    Submission *sent = catalogue->addSubmission(dunes, north, local(2024, 1, 31));
    SubmissionEditor editor(*document, *sent, Origin::SubmissionList);
    editor.chooseClient(south);
    editor.setDueDateOn(true);
    EXPECT_EQ(editor.values().dueDate, QDate(2024, 4, 30)) << "North's three months, not South's two weeks";

    // A client without a response time unit turns the date on but leaves it.
    setResponseTime(north, 5, TimeUnit::None);
    SubmissionEditor other(*document, *sent, Origin::SubmissionList);
    other.setDueDate(QDate(2024, 2, 2));
    other.setDueDateOn(true);
    EXPECT_TRUE(other.values().dueDateOn);
    EXPECT_EQ(other.values().dueDate, QDate(2024, 2, 2));
    // Dates outside the years 1 to 9999 are refused.
    other.setDueDate(QDate(10000, 1, 1));
    other.setSendDate(QDate(0, 6, 1));
    EXPECT_EQ(other.values().dueDate, QDate(2024, 2, 2));
    EXPECT_EQ(other.values().sendDate, QDate(2024, 1, 31));
}

TEST_F(SubmissionEditing, TheResponseControlKeepsAStoredDateAndShowsWhatBelongsToTheAnswer)
{
    Submission *sent = catalogue->addSubmission(dunes, north, local(2024, 1, 31));
    sent->setResponseReceived(ResponseFlag::Received);
    sent->setResponseDate(local(2024, 3, 1));
    document->updateSubmission(sent);
    ASSERT_EQ(sent->dehydrate(), 0);

    SubmissionEditor editor(*document, *sent, Origin::SubmissionList);
    EXPECT_EQ(editor.values().response, 1);
    EXPECT_TRUE(editor.outcomeShown());
    EXPECT_EQ(editor.values().responseDate, QDate(2024, 3, 1));
    editor.setResponse(0);
    EXPECT_FALSE(editor.responseDateShown());
    EXPECT_FALSE(editor.outcomeShown());
    editor.setResponse(1);
    EXPECT_EQ(editor.values().responseDate, QDate(2024, 3, 1)) << "the stored answer keeps its date";
    EXPECT_EQ(editor.responseDateLabel(), QStringLiteral("Response Date"));
    editor.setResponse(2);
    EXPECT_EQ(editor.values().responseDate, QDate(2024, 5, 15)) << "a new answer is dated today";
    EXPECT_EQ(editor.responseDateLabel(), QStringLiteral("Withdrawn Date"));
    EXPECT_TRUE(editor.responseDateShown());
    EXPECT_FALSE(editor.outcomeShown());
    editor.setResponse(5);
    EXPECT_EQ(editor.values().response, 2) << "no such answer";

    SubmissionEditor waiting(*document, Origin::SubmissionList);
    waiting.setResponse(1);
    EXPECT_EQ(waiting.values().responseDate, QDate(2024, 5, 15));
    EXPECT_TRUE(waiting.outcomeShown());
}

TEST_F(SubmissionEditing, SavingMovesTheSubmissionToItsNewArtworkAndClient)
{
    Submission *sent = catalogue->addSubmission(dunes, north, local(2024, 1, 31));
    sent->setValidDueDate(true);
    sent->setResponseDueDate(local(2024, 2, 29));
    document->updateSubmission(sent);
    ASSERT_EQ(sent->dehydrate(), 0);
    ASSERT_EQ(document->submissionListController()->overdueSubs(), 1u);

    SubmissionEditor editor(*document, *sent, Origin::SubmissionList);
    EXPECT_TRUE(editor.values().dueDateOn);
    editor.chooseArtwork(harbour);
    editor.chooseClient(south);
    editor.setDueDateOn(false);
    editor.values().income = QStringLiteral("250");
    ASSERT_TRUE(editor.save().ok());
    EXPECT_TRUE(dunes->submissions().empty());
    EXPECT_TRUE(north->submissions().empty());
    EXPECT_EQ(harbour->submissions(), std::vector<Submission *>{sent});
    EXPECT_EQ(south->submissions(), std::vector<Submission *>{sent});
    EXPECT_EQ(document->submissionListController()->overdueSubs(), 0u) << "the due date no longer counts";

    const QString harbourKey = QString::number(harbour->primaryKey());
    reopen();
    EXPECT_EQ(stored(QStringLiteral("SELECT artwork_key FROM submission")), harbourKey);
    EXPECT_EQ(stored(QStringLiteral("SELECT valid_due_date FROM submission")), QStringLiteral("0"));
    EXPECT_EQ(document->submissions().front()->responseDueDate(), local(2024, 2, 29))
        << "the date itself stays stored";
    EXPECT_EQ(stored(QStringLiteral("SELECT income FROM submission")).toDouble(), 250.0);
}

TEST_F(SubmissionEditing, HistoriesFixTheirRecordAndTheChoicesFollowTheCatalogue)
{
    SubmissionEditor fromArtwork(*document, Origin::ArtworkHistory, dunes);
    EXPECT_FALSE(fromArtwork.artworkChoiceEnabled());
    EXPECT_TRUE(fromArtwork.clientChoiceEnabled());
    fromArtwork.chooseArtwork(harbour);
    EXPECT_EQ(fromArtwork.values().artwork, dunes);
    SubmissionEditor fromClient(*document, Origin::ClientHistory, nullptr, south);
    EXPECT_TRUE(fromClient.artworkChoiceEnabled());
    EXPECT_FALSE(fromClient.clientChoiceEnabled());

    // Dunes is no longer for sale: still offered to its own submission, first.
    dunes->setSale_loan(false);
    document->updateArtwork(dunes);
    Submission *sent = catalogue->addSubmission(dunes, north, local(2024, 1, 31));
    SubmissionEditor editor(*document, *sent, Origin::SubmissionList);
    QSignalSpy changed(&editor, &SubmissionEditor::choicesChanged);
    EXPECT_EQ(editor.artworkChoices(), (std::vector<Artwork *>{dunes, harbour}));
    SubmissionEditor other(*document, Origin::SubmissionList);
    EXPECT_EQ(other.artworkChoices(), std::vector<Artwork *>{harbour});

    Client *east = catalogue->addClient(QStringLiteral("East"));
    EXPECT_GE(changed.count(), 1);
    other.clientAdded(east);
    EXPECT_EQ(other.values().client, east);
    EXPECT_EQ(other.clientChoices().size(), 3u);
    // A chosen client removed meanwhile is no longer chosen.
    document->removeClient(east);
    EXPECT_EQ(other.values().client, nullptr);
    EXPECT_EQ(other.clientChoices().size(), 2u);
    EXPECT_FALSE(other.isRecordGone());
}

TEST_F(SubmissionEditing, AFailedSaveLeavesTheSubmissionWhereItWas)
{
    Submission *sent = catalogue->addSubmission(dunes, north, local(2024, 1, 31));
    SubmissionEditor editor(*document, *sent, Origin::SubmissionList);
    editor.chooseArtwork(harbour);
    editor.setSendDate(QDate(2024, 2, 1));
    refuseWrites();
    EXPECT_FALSE(editor.save().ok());
    EXPECT_EQ(sent->artwork(), dunes);
    EXPECT_EQ(sent->artworkKey(), dunes->primaryKey());
    EXPECT_EQ(sent->sendDate(), local(2024, 1, 31));
    EXPECT_EQ(dunes->submissions(), std::vector<Submission *>{sent});
    EXPECT_TRUE(harbour->submissions().empty());
    EXPECT_EQ(editor.values().artwork, harbour);

    // The submission removed while its editor is open: nothing is written afterwards.
    ASSERT_TRUE(document->database()->exec("PRAGMA query_only = 0"));
    QSignalSpy gone(&editor, &SubmissionEditor::recordGone);
    document->removeArtwork(dunes);
    EXPECT_EQ(gone.count(), 1);
    EXPECT_FALSE(editor.save().ok());
    EXPECT_EQ(catalogue->count("submission"), 0);
}

} // namespace
} // namespace velumark::test
