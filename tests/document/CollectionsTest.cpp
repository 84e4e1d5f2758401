#include "DocumentFixture.h"
#include "document/SubmissionListController.h"
#include "store/DatabaseError.h"
#include "support/LegacyDatabases.h"
#include "support/Succeeded.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

using namespace velumark;
using Collections = test::DocumentFixture;

namespace {
// Opens a package whose database an older version of the application wrote.
void openOldPackage(VelumarkDatabase &document, const QString &package, void (*build)(const QString &))
{
    ASSERT_TRUE(QDir().mkdir(package));
    build(QDir(package).filePath(QStringLiteral("velumark.db")));
    ASSERT_TRUE(succeeded(document.readFromURL(package)));
}
} // namespace

TEST_F(Collections, DefaultMediumsExactLookupsAndSortByOneText)
{
    EXPECT_EQ(document->dbVersionNumber(), 3);
    EXPECT_TRUE(document->dbCreationDate().isValid());
    reopen();
    ASSERT_EQ(document->mediums().size(), 9u) << "defaults are added once";
    EXPECT_EQ(document->mediums().front()->name() + document->mediums().back()->name(),
              QStringLiteral("AcrylicWatercolor"));

    Client b, a, c;
    b.setCompany(QStringLiteral("bravo"));
    a.setCompany(QStringLiteral("Alpha"));
    c.setCompany(QStringLiteral("charlie"));
    std::vector<Client *> list{&c, &b, &a};
    VelumarkDatabase::sortArray(list, &Client::company);
    EXPECT_EQ(list, (std::vector<Client *>{&a, &b, &c})) << "by one text, ignoring case";

    catalogue->addArtist(QStringLiteral("Ann Lee"));
    EXPECT_NE(document->artistWithName(QStringLiteral("Ann Lee")), nullptr);
    EXPECT_EQ(document->artistWithName(QStringLiteral("ann lee")), nullptr) << "look-ups are exact";
    EXPECT_NE(document->mediumWithName(QStringLiteral("Oil")), nullptr);
}

TEST_F(Collections, RemovingAnArtworkCascadesToSubmissionsImagesAndFiles)
{
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    Artwork *other = addArtwork(QStringLiteral("Dunes"));
    Client *north = addClient(QStringLiteral("Gallery North"));
    Client *south = addClient(QStringLiteral("Gallery South"));
    addSubmission(artwork, north, local(2021, 1, 1));
    addSubmission(artwork, south, local(2021, 2, 1));
    addSubmission(artwork, north, local(2021, 3, 1));
    Submission *kept = addSubmission(other, north, local(2021, 4, 1));
    catalogue->addPhoto(artwork);
    catalogue->addPhoto(artwork);
    QStringList files;
    for (const Image *image : artwork->images())
        files << image->photoFilePath() << image->thumbnailFilePath() << image->croppedThumbnailFilePath();
    ASSERT_TRUE(QFileInfo::exists(files.back()));

    document->removeArtwork(artwork);
    EXPECT_EQ(std::tuple(count("submission"), count("image"), count("artwork")), std::tuple(1, 0, 1));
    for (const QString &file : files)
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    EXPECT_EQ(north->submissions(), std::vector<Submission *>{kept});
    EXPECT_TRUE(south->submissions().empty());
    EXPECT_EQ(std::pair(document->submissions().size(), document->images().size()), std::pair(1ul, 0ul));
    EXPECT_EQ(shownTitles(), QStringLiteral("Dunes"));
    // Compared as pointers: a removed record left behind would point at freed memory.
    EXPECT_EQ(document->availableArtworks(), std::vector<Artwork *>{other}) << "nothing offers it for sale";

    document->removeClient(north);
    EXPECT_EQ(count("submission"), 0);
    EXPECT_EQ(count("artwork"), 1) << "removing a client leaves its artworks";
    EXPECT_TRUE(other->submissions().empty());
    EXPECT_EQ(document->availableClients(), std::vector<Client *>{south});
}

TEST_F(Collections, UpdatesRefuseRecordsTheDocumentDoesNotHold)
{
    Artwork *kept = addArtwork(QStringLiteral("Kept"));
    Client *client = addClient(QStringLiteral("North"));
    addSubmission(kept, client, local(2024, 1, 5));
    Artwork stranger;
    stranger.setTitle(QStringLiteral("Stranger"));
    stranger.setSale_loan(true);
    Client strangerClient;
    strangerClient.setStatus(true);
    Submission strangerSubmission;
    EXPECT_THROW(document->updateArtwork(&stranger), DatabaseError);
    EXPECT_THROW(document->updateArtwork(nullptr), DatabaseError);
    EXPECT_THROW(document->updateClient(&strangerClient), DatabaseError);
    EXPECT_THROW(document->updateSubmission(&strangerSubmission), DatabaseError);
    EXPECT_EQ(titles(document->availableArtworks()), QStringLiteral("Kept"));
    EXPECT_EQ(document->availableClients().size(), 1u);
    EXPECT_EQ(document->submissions().size(), 1u);
    document->updateArtwork(kept); // its own records still go through
}

TEST_F(Collections, AvailabilityIsRefiledInTitleOrder)
{
    addArtwork(QStringLiteral("cedar"));
    Artwork *birch = addArtwork(QStringLiteral("Birch"));
    addArtwork(QStringLiteral("alder"));
    QStringList available{titles(document->availableArtworks())};
    for (const bool forSale : {false, true}) {
        birch->setSale_loan(forSale);
        document->updateArtwork(birch);
        available << titles(document->availableArtworks());
    }
    EXPECT_EQ(available.join(QLatin1Char('|')),
              QStringLiteral("alder,Birch,cedar|alder,cedar|alder,Birch,cedar"));
    EXPECT_EQ(shownTitles(), QStringLiteral("Birch,alder,cedar"))
        << "the artwork list orders titles by character code";
}

TEST_F(Collections, OverdueCountFollowsAdditionsEditsAndRemovals)
{
    Clock::setFixedNow(local(2024, 6, 12));
    SubmissionListController *list = document->submissionListController();
    QSignalSpy added(document->notifier(), &DocumentNotifier::recordAdded);
    QSignalSpy removed(document->notifier(), &DocumentNotifier::recordAboutToBeRemoved);
    QSignalSpy overdue(document->notifier(), &DocumentNotifier::overdueCountChanged);
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    Client *client = addClient(QStringLiteral("Gallery North"));
    Submission *first = addDueSubmission(artwork, client, local(2024, 5, 1), local(2024, 6, 1));
    Submission *second = addDueSubmission(artwork, client, local(2024, 5, 1), local(2024, 6, 1));
    Submission *undated = addSubmission(artwork, client, local(2024, 6, 1));
    EXPECT_EQ(list->overdueSubs(), 2u);
    document->removeSubmission(first);
    EXPECT_EQ(list->overdueSubs(), 1u);
    list->decrementOverdue();
    list->decrementOverdue();
    EXPECT_EQ(list->overdueSubs(), 0u) << "never below zero";
    list->recalculateOverdue();
    EXPECT_EQ(list->overdueSubs(), 1u);
    // An answer takes a submission off the count; a due date that has passed puts one on it.
    second->setResponseReceived(1);
    document->updateSubmission(second);
    EXPECT_EQ(list->overdueSubs(), 0u);
    undated->setValidDueDate(true);
    undated->setResponseDueDate(local(2024, 6, 11));
    document->updateSubmission(undated);
    EXPECT_EQ(list->overdueSubs(), 1u);
    document->removeArtwork(artwork);
    EXPECT_EQ(list->overdueSubs(), 0u);

    // The notifier tells every change, the submissions removed with their artwork included.
    EXPECT_EQ(added.count(), 5);
    EXPECT_EQ(removed.count(), 4);
    QList<quint64> counts;
    for (const QList<QVariant> &emitted : overdue)
        counts << emitted.at(0).toULongLong();
    EXPECT_EQ(counts, QList<quint64>({1, 2, 1, 0, 1, 0, 1, 0}));
}

TEST_F(Collections, LinkingAfterLoadHandlesDanglingKeys)
{
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    Client *client = addClient(QStringLiteral("Gallery North"));
    addSubmission(artwork, client, local(2022, 1, 1));
    Image *linked = catalogue->addPhoto(artwork, 200, 100);
    const QString linkedFile = linked->photoFilePath();
    SqliteConnection &db = *document->database();
    ASSERT_TRUE(db.exec("INSERT INTO submission (artwork_key, client_key, sent_date) VALUES (999, 998, 0)"));
    ASSERT_TRUE(db.exec("INSERT INTO image (type, key, tag) VALUES (0, 999, 1)"));
    ASSERT_TRUE(db.exec("INSERT INTO image (type, key, tag) VALUES (0, -1, 1)"));
    ASSERT_TRUE(db.exec(QStringLiteral("DELETE FROM artwork WHERE pk=%1").arg(artwork->primaryKey())));
    reopen();

    ASSERT_EQ(document->submissions().size(), 2u) << "dangling submissions stay";
    int linkedToClient = 0;
    for (const auto &s : document->submissions())
        linkedToClient += (s->artwork() ? 10 : 0) + (s->client() ? 1 : 0);
    EXPECT_EQ(linkedToClient, 1);
    EXPECT_EQ(count("image"), 0) << "images without an owner are deleted";
    EXPECT_FALSE(QFileInfo::exists(linkedFile));
}

TEST_F(Collections, UpgradesMapPhotoKeysToTheirArtworkAndAddCapitalizedArtists)
{
    const QString oldPackage = folder.filePath(QStringLiteral("Old.vdb"));
    {
        VelumarkDatabase old;
        openOldPackage(old, oldPackage, test::buildVersion2Database);
        ASSERT_EQ(old.artworks().size(), 2u);
        Artwork *harbour = old.artworks().front()->title() == QStringLiteral("Blue Study")
                               ? old.artworks().back().get()
                               : old.artworks().front().get();
        ASSERT_EQ(harbour->images().size(), 2u);
        Image *first = harbour->images()[0];
        EXPECT_EQ(std::tuple(first->primaryKey(), first->tagValue(), harbour->images()[1]->tagValue()),
                  std::tuple(11, 0, 1));
        EXPECT_EQ(old.images().size(), 2u) << "the unclaimed picture is dropped";
        ASSERT_EQ(first->hydrate_thumbnail(), 0);
        EXPECT_EQ(first->thumbnail().size(), QSize(320, 240));
        EXPECT_TRUE(QFileInfo::exists(first->thumbnailFilePath())) << "blobs become files";
        EXPECT_EQ(harbour->submissions().size(), 1u);
        ASSERT_TRUE(succeeded(old.close()));
    }
    VelumarkDatabase again;
    ASSERT_TRUE(succeeded(again.readFromURL(oldPackage)));
    EXPECT_EQ(again.dbVersionNumber(), 3) << "the file is current after the upgrade";
    EXPECT_EQ(again.images().size(), 2u);
    // Version 1 had no artist table: artists come from the artworks, capitalized.
    VelumarkDatabase oldest;
    openOldPackage(oldest, folder.filePath(QStringLiteral("Older.vdb")), test::buildVersion1Database);
    ASSERT_EQ(oldest.artists().size(), 2u);
    EXPECT_EQ(oldest.artists()[0]->name() + QLatin1Char(',') + oldest.artists()[1]->name(),
              QStringLiteral("Ann Lee,Bob Marsh"));
    EXPECT_EQ(oldest.images().size(), 2u);
}
