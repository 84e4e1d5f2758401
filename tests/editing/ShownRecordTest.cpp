#include "EditorFixture.h"
#include "editing/ArtworkEditor.h"
#include "editing/ClientEditor.h"
#include "editing/SubmissionEditor.h"

namespace velumark::test {
namespace {

using editing::ArtworkEditor;
using editing::ClientEditor;
using editing::SubmissionEditor;

using ShownRecord = EditorFixture;

// What a printout of an open sheet shows: the values on screen, saved or not, with the photos and
// submissions of the edited record; the stored record stays as it is.
TEST_F(ShownRecord, ShowsTheValuesOnScreenAndLeavesTheStoredRecordAlone)
{
    Artwork *dunes = catalogue->addArtwork(QStringLiteral("Dunes"));
    Image *photo = catalogue->addPhoto(dunes);
    Client *north = catalogue->addClient(QStringLiteral("North"));
    Submission *sent = catalogue->addSubmission(dunes, north, local(2024, 3, 1));

    ArtworkEditor artworkEditor(*document, *dunes);
    artworkEditor.values().title = QStringLiteral("Dunes at Dusk");
    artworkEditor.values().price = QStringLiteral("1,250.50");
    const std::unique_ptr<Artwork> artwork = artworkEditor.shownArtwork();
    EXPECT_EQ(artwork->title(), QStringLiteral("Dunes at Dusk"));
    EXPECT_EQ(artwork->price(), 1250.5);
    EXPECT_EQ(artwork->images(), std::vector<Image *>{photo});
    EXPECT_EQ(artwork->submissions(), std::vector<Submission *>{sent});
    EXPECT_EQ(artwork->primaryKey(), -1) << "never stored";
    EXPECT_EQ(dunes->title(), QStringLiteral("Dunes"));

    ClientEditor clientEditor(*document, *north);
    clientEditor.values().commission = QStringLiteral("150");
    const std::unique_ptr<Client> client = clientEditor.shownClient();
    EXPECT_EQ(client->commission(), 150.0) << "as typed; the cap applies when saving";
    EXPECT_EQ(client->submissions(), std::vector<Submission *>{sent});

    // A new submission with only its artwork chosen yet.
    SubmissionEditor submissionEditor(*document, SubmissionEditor::Origin::SubmissionList);
    submissionEditor.chooseArtwork(dunes);
    submissionEditor.values().notes = QStringLiteral("Framed");
    const std::unique_ptr<Submission> submission = submissionEditor.shownSubmission();
    EXPECT_EQ(submission->artwork(), dunes);
    EXPECT_EQ(submission->artworkKey(), dunes->primaryKey());
    EXPECT_EQ(submission->client(), nullptr);
    EXPECT_EQ(submission->clientKey(), 0);
    EXPECT_EQ(submission->notes(), QStringLiteral("Framed"));
    EXPECT_EQ(submission->sendDate(), local(2024, 5, 15));
    EXPECT_EQ(document->submissions().size(), 1u);
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM submission")), QStringLiteral("1"));
}

} // namespace
} // namespace velumark::test
