#include "support/PrintedPdf.h"

#include "PrintPages.h"
#include "document/SubmissionListController.h"
#include "editing/PageGeometry.h"
#include "editing/PdfExport.h"
#include "editing/PrintRenderer.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Clock.h"
#include "store/Image.h"
#include "store/Submission.h"
#include "store/VelumarkStrings.h"
#include "support/SampleCatalogue.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtMath>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace velumark::editing {
namespace {

using test::PrintedPdf;

class PrintedPdfTest : public ::testing::Test
{
protected:
    // Prints through the PDF export; the file's path.
    QString print(const PrintOptions &options, const QPageLayout &page,
                  const QString &name = QStringLiteral("out.pdf"))
    {
        const QString path = m_output.filePath(name);
        const Result<> written = PdfExport::write(m_catalogue.document(), options, page, path);
        EXPECT_TRUE(written.ok()) << written.message().toStdString();
        return path;
    }
    static PrintOptions sheetOf(PrintScreen screen, Record *record)
    {
        PrintOptions options;
        options.screen = screen;
        options.record = record;
        return options;
    }
    // Every word of the page lies inside the printed area and on no other word.
    static void expectWordsApart(const PrintedPdf &pdf, int page, const QRectF &area)
    {
        const auto words = pdf.words(page);
        ASSERT_FALSE(words.empty());
        for (size_t i = 0; i < words.size(); ++i) {
            const QRectF &box = words[i].box;
            EXPECT_GE(box.left(), area.left() - 1) << words[i].text.toStdString();
            EXPECT_LE(box.right(), area.right() + 1) << words[i].text.toStdString();
            EXPECT_LE(box.bottom(), area.bottom() + 1) << words[i].text.toStdString();
            for (size_t j = i + 1; j < words.size(); ++j) {
                const QRectF overlap = box.intersected(words[j].box);
                EXPECT_TRUE(overlap.width() < 0.5 || overlap.height() < 0.5)
                    << words[i].text.toStdString() << " on " << words[j].text.toStdString();
            }
        }
    }

    test::SampleCatalogue m_catalogue;
    QTemporaryDir m_output;
};

TEST_F(PrintedPdfTest, ListPagesCarryTheirRowsAndNumberedHeaders)
{
    for (int i = 1; i <= 25; ++i)
        m_catalogue.addArtwork(QStringLiteral("Study %1").arg(i, 2, 10, QLatin1Char('0')));
    const PrintedPdf pdf(print({}, test::pageOfListRows(120, 6)));
    EXPECT_EQ(pdf.pageCount(), 5);
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Exported from Velumark v1.3 on")));
    const QString second = pdf.text(2);
    EXPECT_TRUE(second.contains(QStringLiteral("(2/5)"))) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("Study 07")));
    EXPECT_TRUE(second.contains(QStringLiteral("Study 12")));
    EXPECT_FALSE(second.contains(QStringLiteral("Study 13")));
    EXPECT_TRUE(pdf.text(5).contains(QStringLiteral("Study 25")));

    // Only the selected rows, in list order; rows the list does not have are left out.
    PrintOptions selected;
    selected.selectedRowsOnly = true;
    selected.selectedRows = {20, 2, 20, 99, -1};
    const PrintedPdf chosen(print(selected, test::pageOfListRows(120, 6), QStringLiteral("chosen.pdf")));
    EXPECT_EQ(chosen.pageCount(), 1);
    const QString text = chosen.text();
    EXPECT_LT(text.indexOf(QStringLiteral("Study 03")), text.indexOf(QStringLiteral("Study 21")));
    EXPECT_EQ(text.count(QStringLiteral("Study ")), 2);

    // Across the paper: fewer rows to a page.
    PrintOptions across;
    across.orientation = QPageLayout::Landscape;
    const PrintedPdf wide(print(across, PageGeometry::defaultPageLayout(), QStringLiteral("wide.pdf")));
    EXPECT_GT(wide.pageSize().width(), wide.pageSize().height());
    EXPECT_EQ(wide.pageCount(), 7) << "(612 - 2 * 90 / 3.5 - 40) / 120 = 4 rows a page";
}

TEST_F(PrintedPdfTest, ArtworkSheetShowsTheFirstFivePhotosAndTheListOneThumbnail)
{
    Artwork *artwork = m_catalogue.addArtwork(QStringLiteral("Harbour"));
    for (int i = 0; i < 8; ++i)
        m_catalogue.addPhoto(artwork, 60 + i, 40);
    EXPECT_EQ(
        PrintedPdf(print(sheetOf(PrintScreen::ArtworkSheet, artwork), PageGeometry::defaultPageLayout()))
            .imageCount(),
        5);
    EXPECT_EQ(
        PrintedPdf(print({}, PageGeometry::defaultPageLayout(), QStringLiteral("list.pdf"))).imageCount(), 1);

    // Two hundred photos change nothing; a page too narrow for five shows those that fit.
    for (int i = 8; i < 200; ++i)
        m_catalogue.addPhoto(artwork, 20, 20 + i % 7);
    QPageLayout narrow = PageGeometry::defaultPageLayout();
    narrow.setPageSize(QPageSize(QPageSize::A5));
    EXPECT_EQ(PrintedPdf(print(sheetOf(PrintScreen::ArtworkSheet, artwork), PageGeometry::defaultPageLayout(),
                               QStringLiteral("many.pdf")))
                  .imageCount(),
              5);
    EXPECT_EQ(PrintedPdf(print(sheetOf(PrintScreen::ArtworkSheet, artwork), narrow, QStringLiteral("a5.pdf")))
                  .imageCount(),
              3)
        << "A5: 420 points wide, 348 printed: three beside the labels";
}

TEST_F(PrintedPdfTest, StoredPicturesAreReadAtOneToTwiceTheResolutionTheyPrintAt)
{
    Artwork *artwork = m_catalogue.addArtwork(QStringLiteral("Harbour"));
    m_catalogue.addPhoto(artwork, 800, 600);
    m_catalogue.addSubmission(artwork, m_catalogue.addClient(QStringLiteral("Gallery North")),
                              QDateTime(QDate(2023, 1, 10), QTime(0, 0)));
    // Reopened, the pictures come from the package's files rather than from the records.
    m_catalogue.reopen();
    const auto expectSides = [](const PrintedPdf &pdf, double points) {
        const std::vector<QSize> sizes = pdf.imageSizes();
        ASSERT_EQ(sizes.size(), 1u);
        const int longer = std::max(sizes[0].width(), sizes[0].height());
        EXPECT_GE(longer, 2 * points) << "sharp at 144 dots per inch";
        EXPECT_LE(longer, 4 * points) << "no more than the printout needs";
    };
    const QPageLayout page = PageGeometry::defaultPageLayout();
    PrintOptions submissions;
    submissions.screen = PrintScreen::Submissions;
    expectSides(PrintedPdf(print(submissions, page, QStringLiteral("s.pdf"))), 54);
    expectSides(PrintedPdf(print({}, page, QStringLiteral("a.pdf"))), 100);
    expectSides(
        PrintedPdf(print(sheetOf(PrintScreen::ArtworkSheet, m_catalogue.document().artworks().front().get()),
                         page, QStringLiteral("sheet.pdf"))),
        64);
}

TEST_F(PrintedPdfTest, EveryListRowShowsItsOwnArtworksPictureOnEveryPage)
{
    // Photos of three proportions make square pictures of three sizes, all smaller than the
    // printed box (so printed as they are), so that a row's picture is known by its size; the
    // artworks take turns down the list, over pages of three rows.
    Client *client = m_catalogue.addClient(QStringLiteral("Gallery North"));
    std::vector<Artwork *> artworks;
    for (const QSize photo : {QSize(1600, 300), QSize(1200, 300), QSize(960, 300)}) {
        artworks.push_back(m_catalogue.addArtwork(QStringLiteral("Study %1").arg(artworks.size() + 1)));
        m_catalogue.addPhoto(artworks.back(), photo.width(), photo.height());
    }
    for (int day = 1; day <= 8; ++day)
        m_catalogue.addSubmission(artworks[static_cast<size_t>(day % 3)], client,
                                  QDateTime(QDate(2023, 1, day), QTime(0, 0)));
    // Reopened, the pictures are read from the package's files, ahead of the rows that show them.
    m_catalogue.reopen();
    PrintOptions options;
    options.screen = PrintScreen::Submissions;
    const QPageLayout page = test::pageOfListRows(80, 3);
    const PrintedPdf pdf(print(options, page));
    ASSERT_EQ(pdf.pageCount(), 3);

    // What each row shows when printed alone.
    const SubmissionListController &list = *m_catalogue.document().submissionListController();
    std::map<QString, QSize> alone;
    std::vector<QSize> expected;
    for (qsizetype row = 0; row < list.rowCount(); ++row) {
        const QString title = static_cast<Submission *>(list.recordAt(row))->artwork()->title();
        if (!alone.count(title)) {
            PrintOptions one = options;
            one.selectedRowsOnly = true;
            one.selectedRows = {row};
            const std::vector<QSize> sizes =
                PrintedPdf(print(one, page, title + QStringLiteral(".pdf"))).imageSizes();
            ASSERT_EQ(sizes.size(), 1u);
            alone[title] = sizes.front();
        }
        expected.push_back(alone[title]);
    }
    std::set<int> widths;
    for (const auto &[title, size] : alone)
        widths.insert(size.width());
    ASSERT_EQ(widths.size(), 3u) << "three sizes, one to an artwork";
    EXPECT_EQ(pdf.imageSizes(), expected);

    // A square picture whose file went missing is made again, and its rows keep their picture.
    const QString missing =
        static_cast<Submission *>(list.recordAt(0))->cellImage()->croppedThumbnailFilePath();
    ASSERT_TRUE(QFile::remove(missing));
    EXPECT_EQ(PrintedPdf(print(options, page, QStringLiteral("again.pdf"))).imageCount(), 8);
    EXPECT_TRUE(QFile::exists(missing));
}

TEST_F(PrintedPdfTest, PhotosNearTheFootOfAShortPageStayInsideThePrintedArea)
{
    Artwork *artwork = m_catalogue.addArtwork(QStringLiteral("Harbour"));
    for (int i = 0; i < 5; ++i)
        m_catalogue.addPhoto(artwork, 300, 300);
    // Six lines a page: the photos' line (the third) has two lines left below the header.
    const PageGeometry page = PageGeometry::fromPageLayout(
        PageGeometry::forPrinting(test::pageOfSheetLines(6), QPageLayout::Portrait));
    PrintRenderer renderer(m_catalogue.document(), sheetOf(PrintScreen::ArtworkSheet, artwork), page);
    constexpr double kDotsPerPoint = 2;
    QImage paper((page.paper * kDotsPerPoint).toSize(), QImage::Format_RGB32);
    paper.setDotsPerMeterX(qRound(72 * kDotsPerPoint / 0.0254));
    paper.setDotsPerMeterY(qRound(72 * kDotsPerPoint / 0.0254));
    paper.fill(Qt::white);
    {
        QPainter painter(&paper);
        renderer.drawPage(painter, 0);
    }
    const auto inkedRows = [&](int from, int to) {
        int inked = 0;
        for (int y = from; y < to; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(paper.constScanLine(y));
            inked += std::any_of(line, line + paper.width(), [](QRgb dot) { return qGray(dot) < 250; });
        }
        return inked;
    };
    const int bottom = qCeil((page.printRect().bottom() + 1) * kDotsPerPoint);
    EXPECT_GT(inkedRows(0, bottom), 0);
    EXPECT_EQ(inkedRows(bottom, paper.height()), 0) << "nothing below the printed area";
}

TEST_F(PrintedPdfTest, LongTextsAndUnbrokenTitlesStayInsideThePageWithoutOverlap)
{
    const QString unbroken(240, QLatin1Char('M'));
    Artwork *artwork = m_catalogue.addArtwork(unbroken, unbroken, unbroken);
    artwork->setSize(unbroken);
    Client *client = m_catalogue.addClient(unbroken);
    Submission *submission =
        m_catalogue.addSubmission(artwork, client, QDateTime(QDate(2023, 1, 10), QTime(0, 0)));
    QString notes;
    for (int i = 0; i < 1500; ++i)
        notes += QStringLiteral("word%1 ").arg(i) + (i % 40 == 0 ? QStringLiteral("\n") : QString());
    notes += QString(2000, QLatin1Char('x'));
    submission->setNotes(notes);
    const QPageLayout page = PageGeometry::defaultPageLayout();
    const QRectF area = PageGeometry::fromPageLayout(page).printRect();

    const PrintOptions sheet = sheetOf(PrintScreen::SubmissionSheet, submission);
    const PrintRenderer renderer(m_catalogue.document(), sheet, PageGeometry::fromPageLayout(page));
    const PrintedPdf notesPdf(print(sheet, page));
    EXPECT_EQ(notesPdf.pageCount(), renderer.pageCount());
    EXPECT_GT(renderer.pageCount(), 3);
    EXPECT_LT(renderer.pageCount(), 30);
    for (const int number : {1, 2, notesPdf.pageCount()})
        expectWordsApart(notesPdf, number, area);

    for (const PrintScreen list : {PrintScreen::Artworks, PrintScreen::Clients, PrintScreen::Submissions}) {
        PrintOptions options;
        options.screen = list;
        expectWordsApart(PrintedPdf(print(options, page, QStringLiteral("list.pdf"))), 1, area);
    }
    expectWordsApart(
        PrintedPdf(print(sheetOf(PrintScreen::ArtworkSheet, artwork), page, QStringLiteral("a.pdf"))), 1,
        area);
}

TEST_F(PrintedPdfTest, OutstandingListShowsWhatStillWaitsAtTheClient)
{
    Client *client = m_catalogue.addClient(QStringLiteral("Gallery North"));
    const QDateTime sent(QDate(2023, 1, 10), QTime(0, 0));
    for (const QString &title :
         {QStringLiteral("Harbour"), QStringLiteral("Dunes"), QStringLiteral("Sold Piece")}) {
        Artwork *artwork = m_catalogue.addArtwork(title);
        m_catalogue.addPhoto(artwork);
        Submission *submission = m_catalogue.addSubmission(artwork, client, sent);
        if (title == QLatin1String("Sold Piece"))
            submission->setResponseReceived(ResponseFlag::Received);
        if (title == QLatin1String("Dunes")) {
            submission->setValidDueDate(true);
            submission->setResponseDueDate(QDateTime(QDate(2023, 3, 1), QTime(0, 0)));
        }
    }
    const PrintedPdf pdf(
        print(sheetOf(PrintScreen::ClientOutstanding, client), PageGeometry::defaultPageLayout()));
    const QString text = pdf.text();
    EXPECT_TRUE(text.contains(QStringLiteral("Out at Gallery North (2 waiting for a response)")));
    EXPECT_TRUE(text.contains(QStringLiteral("Harbour")));
    EXPECT_TRUE(text.contains(QStringLiteral("Due 3/1/2023")));
    EXPECT_TRUE(text.contains(QStringLiteral("Overdue")));
    EXPECT_TRUE(text.contains(QStringLiteral("No due date")));
    EXPECT_FALSE(text.contains(QStringLiteral("Sold Piece")));
    EXPECT_EQ(pdf.imageCount(), 2);
}

TEST_F(PrintedPdfTest, SubmissionRowsPrintWhatTheListsCellsShow)
{
    Clock::setFixedNow(QDateTime(QDate(2023, 6, 1), QTime(12, 0)));
    m_catalogue.fillWithSamples();
    Submission *late = m_catalogue.addSubmission(m_catalogue.document().artworks().back().get(),
                                                 m_catalogue.addClient(QStringLiteral("Riverside Fair")),
                                                 QDateTime(QDate(2023, 2, 3), QTime(0, 0)));
    late->setValidDueDate(true);
    late->setResponseDueDate(QDateTime(QDate(2023, 3, 1), QTime(0, 0)));
    m_catalogue.document().updateSubmission(late);
    PrintOptions options;
    options.screen = PrintScreen::Submissions;
    // Blanks as the text of the page gives them: one between two words.
    const QString text = PrintedPdf(print(options, PageGeometry::defaultPageLayout())).text().simplified();
    const SubmissionListController &list = *m_catalogue.document().submissionListController();
    EXPECT_EQ(list.rowCount(), 4);
    for (qsizetype row = 0; row < list.rowCount(); ++row) {
        const CellContent first = list.cell(row, 0);
        for (const QString &shown :
             {first.mainText, first.subText, first.moreSubText, list.cell(row, 1).mainText})
            EXPECT_TRUE(text.contains(shown.simplified())) << shown.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Feb 3, 2023 (118 days!)")));
    Clock::clearFixedNow();
}

TEST_F(PrintedPdfTest, PdfThatCannotBeWrittenLeavesNothingUnderItsName)
{
    m_catalogue.addArtwork(QStringLiteral("Harbour"));
    const QString unreachable = m_output.filePath(QStringLiteral("missing/out.pdf"));
    const Result<> failed =
        PdfExport::write(m_catalogue.document(), {}, PageGeometry::defaultPageLayout(), unreachable);
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.message().contains(QStringLiteral("out.pdf"))) << failed.message().toStdString();
    EXPECT_FALSE(QFile::exists(unreachable));

    // Stopped half-way: what was there before stays, and nothing else is left beside it.
    for (int i = 0; i < 20; ++i)
        m_catalogue.addArtwork(QStringLiteral("Study %1").arg(i));
    const QString existing = m_output.filePath(QStringLiteral("kept.pdf"));
    QFile before(existing);
    ASSERT_TRUE(before.open(QIODevice::WriteOnly));
    before.write("earlier printout");
    before.close();
    const Result<> stopped = PdfExport::write(m_catalogue.document(), {}, PageGeometry::defaultPageLayout(),
                                              existing, [](int done, int) { return done < 2; });
    EXPECT_FALSE(stopped.ok());
    QFile after(existing);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), QByteArray("earlier printout"));
    EXPECT_EQ(QDir(m_output.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});
}

} // namespace
} // namespace velumark::editing
