#include "editing/PrintFonts.h"
#include "editing/SheetLines.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Submission.h"
#include "store/VelumarkStrings.h"
#include "support/SampleCatalogue.h"

#include <gtest/gtest.h>
#include <map>

namespace velumark::editing {
namespace {

constexpr double kValueWidth = 393;

// The line numbers that carry a label, with the label.
std::map<qsizetype, QString> labels(const SheetLines &sheet)
{
    std::map<qsizetype, QString> found;
    for (qsizetype n = 0; n < sheet.count(); ++n) {
        if (!sheet.line(n).label.isEmpty())
            found[n] = sheet.line(n).label;
    }
    return found;
}

qsizetype lineOf(const SheetLines &sheet, const QString &label)
{
    for (const auto &[number, text] : labels(sheet)) {
        if (text == label)
            return number;
    }
    return -1;
}

class PrintSheets : public ::testing::Test
{
protected:
    test::SampleCatalogue m_catalogue;
    PrintFonts m_fonts;
};

TEST_F(PrintSheets, ArtworkSheetPlacesEveryFieldAndPushesTheNotesBelowALongLocation)
{
    Artwork *artwork = m_catalogue.addArtwork(QStringLiteral("Harbour"), QStringLiteral("Ann Lee"));
    for (int i = 0; i < 8; ++i)
        m_catalogue.addPhoto(artwork, 40 + i, 30);
    artwork->setPrice(12500.5);
    artwork->setEffort(1);
    artwork->setEffortUnits(2);
    artwork->setLocation(QStringLiteral("Studio\nNorth wall\nShelf 3"));
    artwork->setNotes(QStringLiteral("Signed.\nVarnished."));
    Client *north = m_catalogue.addClient(QStringLiteral("Gallery North"));
    m_catalogue.addSubmission(artwork, north, QDateTime(QDate(2023, 1, 10), QTime(0, 0)));

    const SheetLines sheet = SheetLines::forArtwork(*artwork, m_fonts, kValueWidth);
    EXPECT_EQ(sheet.photos().size(), 5u) << "the first five of eight";
    EXPECT_EQ(sheet.photos().front(), artwork->images().front());
    EXPECT_EQ(sheet.line(2).kind, SheetLine::Kind::Photos);
    const std::map<qsizetype, QString> expected{
        {0, QStringLiteral("Title")},          {2, QStringLiteral("Photos")},
        {7, QStringLiteral("Artist")},         {9, QStringLiteral("For Sale/Loan?")},
        {11, QStringLiteral("Price")},         {13, QStringLiteral("Total Income")},
        {15, QStringLiteral("Medium")},        {17, QStringLiteral("Size")},
        {19, QStringLiteral("Created")},       {21, QStringLiteral("Effort")},
        {23, QStringLiteral("Material Cost")}, {25, QStringLiteral("Location")},
        {29, QStringLiteral("Notes")},         {32, QStringLiteral("Submission History")}};
    EXPECT_EQ(labels(sheet), expected);
    EXPECT_EQ(sheet.multiLineFieldLines(), 3);
    EXPECT_EQ(sheet.notesLines(), 2);
    EXPECT_EQ(sheet.line(11).value, QStringLiteral("12,500.50"));
    EXPECT_EQ(sheet.line(21).value, QStringLiteral("1 hour"));
    EXPECT_EQ(sheet.line(27).text->lineText(sheet.line(27).textLine), QStringLiteral("Shelf 3"));
    EXPECT_EQ(sheet.line(28).kind, SheetLine::Kind::Blank);
    EXPECT_EQ(sheet.line(30).text->lineText(sheet.line(30).textLine), QStringLiteral("Varnished."));
    EXPECT_EQ(sheet.line(34).value, QStringLiteral("Gallery North (Waiting)"));
    EXPECT_EQ(sheet.line(35).kind, SheetLine::Kind::HistoryDetail);
    EXPECT_EQ(sheet.count(), (3 - 1) + 2 + 3 + 30);

    // Without submissions the sheet keeps one more line free at its end.
    Artwork *bare = m_catalogue.addArtwork(QStringLiteral("Bare"));
    const SheetLines plain = SheetLines::forArtwork(*bare, m_fonts, kValueWidth);
    EXPECT_EQ(lineOf(plain, QStringLiteral("Notes")), 27);
    EXPECT_EQ(lineOf(plain, QStringLiteral("Submission History")), 29);
    EXPECT_EQ(plain.count(), 31);
    EXPECT_TRUE(plain.line(19).value.isEmpty()) << "no creation date";
    EXPECT_TRUE(plain.line(21).value.isEmpty()) << "no effort unit";
}

TEST_F(PrintSheets, ClientSheetMovesItsContactLinesBelowTheAddress)
{
    Client *client = m_catalogue.addClient(QStringLiteral("Gallery North"));
    client->setClientType(2);
    client->setResponseTime(3);
    client->setResponseTimeUnits(2);
    client->setWeb(QStringLiteral("gallery.example"));
    const SheetLines oneLine = SheetLines::forClient(*client, m_fonts, kValueWidth);
    EXPECT_EQ(lineOf(oneLine, QStringLiteral("Web")), 18);
    EXPECT_EQ(oneLine.line(10).value, QStringLiteral("3 weeks"));
    EXPECT_EQ(oneLine.line(12).value, QStringLiteral("Open"));

    client->setAddress(QStringLiteral("1 Quay Street\nHarbourside\nPortsmouth"));
    client->setClientType(42);
    client->setResponseTimeUnits(9);
    Artwork *artwork = m_catalogue.addArtwork(QStringLiteral("Dunes"));
    m_catalogue.addSubmission(artwork, client, QDateTime(QDate(2022, 5, 1), QTime(0, 0)));
    const SheetLines threeLines = SheetLines::forClient(*client, m_fonts, kValueWidth);
    EXPECT_EQ(lineOf(threeLines, QStringLiteral("Web")), 20) << "two lines further down";
    EXPECT_EQ(threeLines.line(20).value, QStringLiteral("gallery.example"));
    EXPECT_EQ(lineOf(threeLines, QStringLiteral("Fax")), 26);
    EXPECT_EQ(lineOf(threeLines, QStringLiteral("Notes")), 28);
    EXPECT_EQ(threeLines.line(32).value, QStringLiteral("Dunes (Waiting)"));
    EXPECT_EQ(threeLines.count(), (3 - 1) + 0 + 3 + 29);
    // Codes outside their tables leave the label alone.
    EXPECT_EQ(threeLines.line(2).label, QStringLiteral("Client Type"));
    EXPECT_TRUE(threeLines.line(2).value.isEmpty());
    EXPECT_TRUE(threeLines.line(10).value.isEmpty());
}

TEST_F(PrintSheets, SubmissionSheetShowsTheOutcomeOnlyForAnAnsweredSubmission)
{
    Artwork *artwork = m_catalogue.addArtwork(QStringLiteral("Harbour"));
    Client *client = m_catalogue.addClient(QStringLiteral("Gallery North"));
    Submission *submission =
        m_catalogue.addSubmission(artwork, client, QDateTime(QDate(2023, 1, 10), QTime(0, 0)));
    submission->setResponseReceived(ResponseFlag::Withdrawn);
    submission->setResponseDate(QDateTime(QDate(2023, 2, 1), QTime(0, 0)));
    submission->setSubmissionState(SubmissionState::Sold);
    submission->setIncome(400);
    const SheetLines withdrawn = SheetLines::forSubmission(*submission, m_fonts, kValueWidth);
    EXPECT_EQ(withdrawn.count(), 23);
    EXPECT_EQ(withdrawn.line(10).value, QStringLiteral("Withdrawn"));
    EXPECT_EQ(withdrawn.line(12).label, QStringLiteral("Withdrawn Date"));
    EXPECT_EQ(withdrawn.line(12).value, QStringLiteral("2/1/2023"));
    EXPECT_EQ(lineOf(withdrawn, QStringLiteral("State")), -1);
    EXPECT_EQ(lineOf(withdrawn, QStringLiteral("Income")), -1);

    submission->setResponseReceived(ResponseFlag::Received);
    submission->setNotes(QStringLiteral("Buyer: J. Smith\nPaid in full"));
    const SheetLines sold = SheetLines::forSubmission(*submission, m_fonts, kValueWidth);
    EXPECT_EQ(sold.line(12).label, QStringLiteral("Response Date"));
    EXPECT_EQ(sold.line(14).value, QStringLiteral("Sold"));
    EXPECT_EQ(sold.line(16).value, QStringLiteral("400.00"));
    EXPECT_EQ(sold.line(23).text->lineText(1), QStringLiteral("Paid in full"));
    EXPECT_EQ(sold.count(), 25);

    submission->setResponseReceived(ResponseFlag::Waiting);
    submission->setSubmissionType(17);
    const SheetLines waiting = SheetLines::forSubmission(*submission, m_fonts, kValueWidth);
    EXPECT_EQ(waiting.line(10).value, QStringLiteral("No"));
    EXPECT_TRUE(waiting.line(12).value.isEmpty()) << "no response yet";
    EXPECT_TRUE(waiting.line(4).value.isEmpty()) << "unknown type";
    EXPECT_EQ(lineOf(waiting, QStringLiteral("State")), -1);
}

} // namespace
} // namespace velumark::editing
