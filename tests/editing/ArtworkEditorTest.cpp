#include "editing/ArtworkEditor.h"

#include "EditorFixture.h"

#include <QSignalSpy>

namespace velumark::test {
namespace {

using editing::ArtworkEditor;

class ArtworkEditing : public EditorFixture
{};

TEST_F(ArtworkEditing, ShowsTheStoredArtworkAndWritesWhatWasChanged)
{
    Artwork *dunes = catalogue->addArtwork(QStringLiteral("Dunes"), QStringLiteral("Ann Lee"));
    dunes->setPrice(1250.5);
    dunes->setEffort(3);
    dunes->setEffortUnits(9); // unknown: shown blank, saved as none
    dunes->setCreationDate(QDateTime(QDate(2020, 3, 4), QTime(18, 45)));
    document->updateArtwork(dunes);
    ASSERT_EQ(dunes->dehydrate(), 0);

    ArtworkEditor editor(*document, *dunes);
    EXPECT_EQ(editor.values().price, QStringLiteral("1250.50"));
    EXPECT_EQ(editor.values().effort, QStringLiteral("3"));
    EXPECT_EQ(editor.values().effortUnits, 0);
    EXPECT_TRUE(editor.values().created);
    EXPECT_EQ(editor.values().createdDate, QDate(2020, 3, 4));
    EXPECT_FALSE(editor.hasChanges());

    editor.values().title = QStringLiteral("Dunes at Dusk");
    editor.values().forSaleOrLoan = false;
    editor.values().materialCost = QStringLiteral("1,000.25");
    editor.values().created = false;
    editor.values().location = QStringLiteral("Studio shelf 3");
    EXPECT_TRUE(editor.hasChanges());
    const Result<Artwork *> saved = editor.save();
    ASSERT_TRUE(saved.ok()) << saved.message().toStdString();
    EXPECT_EQ(saved.value(), dunes);
    EXPECT_TRUE(editor.isFinished());
    EXPECT_TRUE(document->availableArtworks().empty()) << "no longer offered for submissions";

    reopen();
    const Artwork &read = *document->artworks().front();
    EXPECT_EQ(read.title(), QStringLiteral("Dunes at Dusk"));
    EXPECT_FALSE(read.sale_loan());
    EXPECT_FALSE(read.creationDate().isValid());
    EXPECT_EQ(stored(QStringLiteral("SELECT material_cost FROM artwork")).toDouble(), 1000.25);
    EXPECT_EQ(stored(QStringLiteral("SELECT effort_units FROM artwork")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("SELECT location FROM artwork")), QStringLiteral("Studio shelf 3"));
}

TEST_F(ArtworkEditing, ATypedArtistAndMediumJoinTheListsOnSaveAndCanBeRemoved)
{
    ArtworkEditor first(*document);
    EXPECT_FALSE(first.canSave()) << "a title is needed";
    first.values().title = QStringLiteral("Harbour");
    first.values().artist = QStringLiteral("Mo Reyes");
    first.values().medium = QStringLiteral("Encaustic");
    ASSERT_TRUE(first.canSave());
    ASSERT_TRUE(first.save().ok());

    reopen();
    ArtworkEditor next(*document);
    EXPECT_TRUE(next.artistNames().contains(QStringLiteral("Mo Reyes")));
    EXPECT_TRUE(next.mediumNames().contains(QStringLiteral("Encaustic")));
    const qsizetype artists = next.artistNames().size();
    // The same name typed again is not added a second time.
    next.values().title = QStringLiteral("Pier");
    next.values().artist = QStringLiteral("Mo Reyes");
    ASSERT_TRUE(next.save().ok());
    EXPECT_EQ(next.artistNames().size(), artists);

    ArtworkEditor third(*document);
    ASSERT_TRUE(third.removeArtist(QStringLiteral("Mo Reyes")).ok());
    ASSERT_TRUE(third.removeArtist(QStringLiteral("Nobody of that name")).ok());
    EXPECT_FALSE(third.artistNames().contains(QStringLiteral("Mo Reyes")));
    ASSERT_TRUE(third.removeMedium(QStringLiteral("Encaustic")).ok());
    third.cancel();
    reopen();
    EXPECT_EQ(catalogue->count("artist"), artists - 1);
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM medium WHERE name = 'Encaustic'")),
              QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM artwork WHERE artist = 'Mo Reyes'")),
              QStringLiteral("2"))
        << "artworks keep the name";
}

TEST_F(ArtworkEditing, EffortUnitWordsFollowTheNumber)
{
    ArtworkEditor editor(*document);
    editor.values().effortUnits = 2;
    EXPECT_EQ(editor.effortUnitNames().value(2), QStringLiteral("hours"));
    editor.values().effort = QStringLiteral("1");
    EXPECT_EQ(editor.effortUnitNames().value(2), QStringLiteral("hour"));
    EXPECT_EQ(editor.effortUnitNames().size(), 7);
    editor.values().effort = QStringLiteral("1,000");
    EXPECT_EQ(editor.effortUnitNames().value(2), QStringLiteral("hours"));
    editor.values().effort = QStringLiteral("1.5");
    EXPECT_FALSE(editor.canSave()) << "an effort is a whole number";
}

TEST_F(ArtworkEditing, CancelAndAFailedSaveLeaveTheStoredArtworkAsItWas)
{
    Artwork *dunes = catalogue->addArtwork(QStringLiteral("Dunes"));
    {
        ArtworkEditor editor(*document, *dunes);
        editor.values().title = QStringLiteral("Changed");
        editor.values().notes = QStringLiteral("Changed notes");
        editor.cancel();
    }
    EXPECT_EQ(dunes->title(), QStringLiteral("Dunes"));
    EXPECT_FALSE(dunes->isDirty());

    ArtworkEditor editor(*document, *dunes);
    editor.values().title = QStringLiteral("Dunes II");
    editor.values().notes = QStringLiteral("Varnished");
    refuseWrites();
    const Result<Artwork *> failed = editor.save();
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.message().isEmpty());
    EXPECT_FALSE(editor.isFinished());
    EXPECT_EQ(editor.values().title, QStringLiteral("Dunes II")) << "the values stay for another try";
    EXPECT_EQ(dunes->title(), QStringLiteral("Dunes")) << "the document holds what the file holds";
    EXPECT_FALSE(dunes->isDirty());
    EXPECT_EQ(stored(QStringLiteral("SELECT title FROM artwork")), QStringLiteral("Dunes"));

    // Once the disk takes writes again, the same values are saved.
    ASSERT_TRUE(document->database()->exec("PRAGMA query_only = 0"));
    ASSERT_TRUE(editor.save().ok());
    EXPECT_EQ(stored(QStringLiteral("SELECT notes FROM artwork")), QStringLiteral("Varnished"));

    // While an operation holds the document nothing is even tried.
    ArtworkEditor later(*document);
    later.values().title = QStringLiteral("Pier");
    {
        Result<OperationClaim> claim = document->beginOperation();
        ASSERT_TRUE(claim.ok());
        EXPECT_FALSE(later.save().ok());
    }
    EXPECT_EQ(document->artworks().size(), 1u);
}

TEST_F(ArtworkEditing, AnArtworkRemovedMeanwhileIsNeverTouchedAgain)
{
    Artwork *dunes = catalogue->addArtwork(QStringLiteral("Dunes"));
    ArtworkEditor editor(*document, *dunes);
    QSignalSpy gone(&editor, &ArtworkEditor::recordGone);
    editor.values().title = QStringLiteral("Changed");
    document->removeArtwork(dunes);
    EXPECT_EQ(gone.count(), 1);
    EXPECT_TRUE(editor.isRecordGone());
    EXPECT_EQ(editor.artwork(), nullptr);
    EXPECT_FALSE(editor.save().ok());
    editor.cancel();
    EXPECT_EQ(catalogue->count("artwork"), 0);
}

TEST_F(ArtworkEditing, PhotoSlotsShowTheFirstFivePhotosWithTheirCaptions)
{
    Artwork *dunes = catalogue->addArtwork(QStringLiteral("Dunes"));
    for (int i = 0; i < 6; ++i)
        catalogue->addPhoto(dunes, 400 + i, 300);
    const Image *first = dunes->images().front();
    ArtworkEditor editor(*document, *dunes);
    const auto shown = ArtworkEditor::photoSlots(dunes->images());
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_FALSE(shown[0].thumbnail.isNull());
    EXPECT_EQ(shown[0].caption, QStringLiteral("Photo 1 of Dunes"));
    EXPECT_EQ(shown[4].caption, QStringLiteral("Photo 5 of Dunes"));
    editor.values().title = QStringLiteral("Dunes");
    ASSERT_TRUE(editor.save().ok());
    EXPECT_EQ(dunes->photoKey1(), first->primaryKey());
    EXPECT_EQ(dunes->photoKey2(), dunes->images()[1]->primaryKey());

    Artwork *bare = catalogue->addArtwork(QStringLiteral("Bare"));
    ArtworkEditor none(*document, *bare);
    EXPECT_TRUE(ArtworkEditor::photoSlots(bare->images()).empty());
    ASSERT_TRUE(none.save().ok());
    EXPECT_EQ(bare->photoKey1(), -1);
}

} // namespace
} // namespace velumark::test
