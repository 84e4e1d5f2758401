#include "interchange/report/ReportExport.h"

#include "ExportFixture.h"
#include "interchange/report/ReportHtml.h"
#include "store/DateFormatting.h"
#include "support/ScratchDisk.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>

using namespace velumark;

namespace {

class ReportExportTest : public test::ExportFixture
{
protected:
    OperationResult exportReport(const QString &fileName, PictureSize size)
    {
        ReportExport operation(*document, packageFolder.path(), fileName, size);
        const OperationResult result = runToEnd(operation);
        EXPECT_EQ(operation.message().toStdString(), "");
        return result;
    }

    QString html(const QString &fileName = QStringLiteral("velumark_report.html")) const
    {
        return QString::fromUtf8(test::readFile(packageFolder.filePath(fileName)));
    }

    // The part of the report from the page of the artwork numbered `number` to the next page.
    static QString page(const QString &report, int number)
    {
        const QString start = QStringLiteral("<h3 class=\"break\">- %1 -</h3>").arg(number);
        const qsizetype from = report.indexOf(start);
        if (from < 0)
            return {};
        const qsizetype to = report.indexOf(QStringLiteral("<h3 class=\"break\">"), from + start.size());
        return report.mid(from, to < 0 ? -1 : to - from);
    }

    // A report's page and every file of its photo folder: "name checksum" lines.
    QString snapshotOf(const QString &base, const QString &in = {}) const
    {
        const QDir where(in.isEmpty() ? packageFolder.path() : in);
        auto line = [](const QString &path) {
            return QFileInfo(path).fileName() + QLatin1Char(' ') +
                   QString::fromLatin1(
                       QCryptographicHash::hash(test::readFile(path), QCryptographicHash::Md5).toHex());
        };
        QStringList files{line(where.filePath(base + QStringLiteral(".html")))};
        const QDir photos(where.filePath(base + QStringLiteral("_photos")));
        for (const QString &name : photos.entryList(QDir::Files, QDir::Name))
            files << line(photos.filePath(name));
        return files.join(QLatin1Char('\n'));
    }

    // The pictures a report names that are not there.
    QStringList missingPictures(const QString &fileName) const
    {
        static const QRegularExpression source(QStringLiteral("<img src=\"([^\"]+)\""));
        QStringList missing;
        for (const QRegularExpressionMatch &match : source.globalMatch(html(fileName))) {
            if (!QFileInfo::exists(packageFolder.filePath(match.captured(1))))
                missing << match.captured(1);
        }
        return missing;
    }

    // Runs a program to its end; what it wrote to its standard output.
    static QString output(const QString &program, const QStringList &arguments, int timeout = 30000)
    {
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(timeout)) << program.toStdString() << " did not finish";
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

} // namespace

TEST_F(ReportExportTest, WritesTheReportCharacterForCharacter)
{
    Artwork *harbour = addArtwork(QStringLiteral("Harbour"), QStringLiteral("Ann Lee"));
    harbour->setPrice(10);
    harbour->setCreationDate(local(2020, 5, 4));
    harbour->setEffort(2);
    harbour->setEffortUnits(3);
    harbour->setMaterialCost(1.5);
    harbour->setLocation(QStringLiteral("Studio"));
    const Image *photo = catalogue->addPhoto(harbour, 800, 600);

    ASSERT_EQ(exportReport(QString(), PictureSize::Medium), OperationResult::Done);
    const QString box = QStringLiteral(
        R"(<div style="background-color:#FFFFFF; font-family:Tahoma,Arial,Helvetica,sans-serif; font-size:18x; )"
        R"(width:700px; margin-left:15%; margin-right:15%; border:3px groove #f5bd68; padding:15px;">)");
    QString expected =
        QStringLiteral(R"(<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>Artwork Report</title>
<style>html {background-color:#eeeeee}</style>
</head><style>.break { page-break-before: always; }</style><body>
BOX<img src="velumark_report_photos/Velumark.jpg" style="float:left; margin-right:20px;"/>
<h1>Artwork Report</h1>
Exported from Velumark v1.3 on NOW<br /><br /><br />
<hr size=3 color=#f5bd68 align=center /><h2 align=center>Summary</h2>
<table border=0 cellspacing=0 cellpadding=4 width=300 align=center><tbody>
<tr><td>Total Artworks:</td><td align=right>1</td></tr>
<tr><td>Unique Artists:</td><td align=right>1</td></tr>
<tr><td>Collection Value:</td><td align=right>10.00</td></tr>
<tr><td>Available for Sale / Loan:</td><td align=right>1</td></tr>
<tr><td>Total Sold:</td><td align=right>0</td></tr>
<tr><td>Total Published:</td><td align=right>0</td></tr>
<tr><td>Total Income:</td><td align=right>0.00</td></tr>
<tr><td>Total Material Cost:</td><td align=right>1.50</td></tr>
</tbody></table><br /><hr size=3 color=#f5bd68 align=center /><br /><br /></div>
<div style="font-family:Tahoma,Arial,Helvetica,sans-serif; font-size:18x; width:700px; text-align:center; margin-left:15%; margin-right:15%; padding:15px;"><h3 class="break">- 1 -</h3></div>
BOX<p><table border=0 cellspacing=0 cellpadding=8 width=650><tbody>
<tr><td width=180><b>Title:</b></td><td align=left>Harbour</td></tr>
<tr><td width=180><b>Photos:</b></td><td align=left>
<img src="velumark_report_photos/velumark_KEY.jpg" style="padding: 20px 20px 20px 0px; vertical-align:middle;">
</td></tr>
<tr><td width=180><b>Artist:</b></td><td align=left>Ann Lee</td></tr>
<tr><td width=180><b>For Sale/Loan?:</b></td><td align=left>Yes</td></tr>
<tr><td width=180><b>Price:</b></td><td align=left>10.00</td></tr>
<tr><td width=180><b>Total Income:</b></td><td align=left>0.00</td></tr>
<tr><td width=180><b>Medium:</b></td><td align=left></td></tr>
<tr><td width=180><b>Size:</b></td><td align=left></td></tr>
<tr><td width=180><b>Created:</b></td><td align=left>May 4, 2020</td></tr>
<tr><td width=180><b>Effort:</b></td><td align=left>2 days</td></tr>
<tr><td width=180><b>Material Cost:</b></td><td align=left>1.50</td></tr>
<tr><td width=180><b>Location:</b></td><td align=left>Studio</td></tr>
<tr><td width=180><b>Notes:</b></td><td align=left></td></tr>
</tbody></table></p></div>
</body></html>
)");
    expected.replace(QStringLiteral("BOX"), box)
        .replace(QStringLiteral("NOW"), mediumDateTimeString(Clock::now()))
        .replace(QStringLiteral("KEY"), QString::number(photo->primaryKey()));
    EXPECT_EQ(html().toStdString(), expected.toStdString());

    const QString photos = packageFolder.filePath(QStringLiteral("velumark_report_photos"));
    EXPECT_EQ(test::readFile(QDir(photos).filePath(QStringLiteral("Velumark.jpg"))),
              test::readFile(QStringLiteral(":/velumark/VelumarkIcon.jpg")));
    EXPECT_EQ(entries(photos),
              QStringLiteral("Velumark.jpg velumark_%1.jpg").arg(photo->primaryKey()).toStdString());
}

TEST_F(ReportExportTest, SummaryCountsSalesAndPublicationsAndEveryIncome)
{
    Artwork *first = addArtwork(QStringLiteral("First"), QStringLiteral("ann lee"));
    first->setPrice(100.5);
    first->setMaterialCost(10);
    Artwork *second = addArtwork(QStringLiteral("Second"), QStringLiteral("Ann Lee"));
    second->setPrice(200);
    second->setMaterialCost(5.25);
    second->setSale_loan(false);
    document->updateArtwork(second);
    Artwork *third = addArtwork(QStringLiteral("Third"));
    Client *client = addClient(QStringLiteral("Gallery"));
    auto answered = [](qint64 response, qint64 state, double income) {
        return [=](Submission &s) {
            s.setResponseReceived(response);
            s.setSubmissionState(state);
            s.setIncome(income);
        };
    };
    addSubmission(first, client, local(2024, 1, 1), answered(1, 2, 300));  // published: sold and published
    addSubmission(second, client, local(2024, 1, 2), answered(1, 1, 200)); // sold
    addSubmission(third, client, local(2024, 1, 3), answered(0, 0, 50));   // unanswered, income still counts
    addSubmission(first, client, local(2024, 1, 4), answered(2, 1, 0));    // withdrawn: no sale
    addSubmission(third, client, local(2024, 1, 5), answered(1, 0, 10));   // returned

    ASSERT_EQ(exportReport(QString(), PictureSize::Small), OperationResult::Done);
    const QString report = html();
    for (const char *row :
         {"Total Artworks:</td><td align=right>3<", "Unique Artists:</td><td align=right>1<",
          "Collection Value:</td><td align=right>300.50<",
          "Available for Sale / Loan:</td><td align=right>2<", "Total Sold:</td><td align=right>2<",
          "Total Published:</td><td align=right>1<", "Total Income:</td><td align=right>560.00<",
          "Total Material Cost:</td><td align=right>15.25<"})
        EXPECT_TRUE(report.contains(QLatin1String(row))) << row;
    // Pages in list order, each with the income of all its submissions.
    const auto row = [](const char *label, const char *value) {
        return QStringLiteral("<b>%1:</b></td><td align=left>%2<")
            .arg(QLatin1String(label), QLatin1String(value));
    };
    for (const auto &[number, label, value] : {std::tuple{1, "Title", "First"},
                                               {1, "Total Income", "300.00"},
                                               {2, "Total Income", "200.00"},
                                               {2, "For Sale/Loan?", "No"},
                                               {3, "Total Income", "60.00"},
                                               {3, "Created", ""}})
        EXPECT_TRUE(page(report, number).contains(row(label, value))) << number << label;
}

TEST_F(ReportExportTest, NoTextOrNameCanAddMarkup)
{
    EXPECT_EQ(ReportHtml::encodeStringToHTML(QStringLiteral("a & \"b\" <c>\nd &amp;")),
              QStringLiteral("a &amp; &quot;b&quot; &lt;c&gt;<br />d &amp;amp;"));

    Artwork *artwork = addArtwork(QStringLiteral("<img src=x onerror=alert(1)> & \"Co\""),
                                  QStringLiteral("<script>alert(2)</script>"));
    artwork->setMedium(QStringLiteral("Oil & <i>"));
    artwork->setLocation(QStringLiteral("</td></tr>"));
    artwork->setNotes(QStringLiteral("First line & more\nsecond < third"));
    const Image *photo = catalogue->addPhoto(artwork, 200, 100);
    const QString base = QStringLiteral("a\"><img src=x onerror=y> #1");

    ASSERT_EQ(exportReport(base + QStringLiteral(".html"), PictureSize::Small), OperationResult::Done);
    const QString report = html(base + QStringLiteral(".html"));
    for (const char *markup : {"<script>", "<img src=x", "<i>"})
        EXPECT_FALSE(report.contains(QLatin1String(markup))) << markup;
    for (const char *cell : {"&lt;img src=x onerror=alert(1)&gt; &amp; &quot;Co&quot;",
                             "&lt;/td&gt;&lt;/tr&gt;", "First line &amp; more<br />second &lt; third"})
        EXPECT_TRUE(report.contains(QStringLiteral("<td align=left>%1</td>").arg(QLatin1String(cell))))
            << cell;
    const QString folderInUrl = QStringLiteral("a%22%3E%3Cimg%20src%3Dx%20onerror%3Dy%3E%20%231_photos");
    EXPECT_TRUE(report.contains(QStringLiteral("<img src=\"%1/Velumark.jpg\"").arg(folderInUrl)));
    EXPECT_TRUE(report.contains(
        QStringLiteral("<img src=\"%1/velumark_%2.jpg\"").arg(folderInUrl).arg(photo->primaryKey())));
    EXPECT_TRUE(QFileInfo(packageFolder.filePath(base + QStringLiteral("_photos/Velumark.jpg"))).isFile());

    // A name is a file in the chosen folder, never a path elsewhere.
    for (const QString &name : {QStringLiteral("../escape.html"), QStringLiteral(".html")}) {
        ReportExport refused(*document, packageFolder.path(), name, PictureSize::Small);
        const Result<> started = refused.start();
        EXPECT_FALSE(started) << name.toStdString();
        EXPECT_FALSE(started.message().isEmpty());
    }
    EXPECT_FALSE(document->isOperationRunning());
}

TEST_F(ReportExportTest, PhotoSizeCodesChooseThePicturesAndThePageWidth)
{
    const Image *photo = catalogue->addPhoto(addArtwork(QStringLiteral("Harbour")), 2000, 1500);
    struct Case
    {
        PictureSize code;
        QSize size;
        int width;
    };
    for (const Case &c :
         {Case{PictureSize::Small, QSize(320, 240), 700}, Case{PictureSize::Medium, QSize(512, 384), 700},
          Case{PictureSize::Large, QSize(1024, 768), 1165},
          Case{PictureSize::ExtraLarge, QSize(1280, 960), 1420}}) {
        const QString name = QStringLiteral("size%1").arg(static_cast<int>(c.code));
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(exportReport(name + QStringLiteral(".html"), c.code), OperationResult::Done);
        const QString written = packageFolder.filePath(
            QStringLiteral("%1_photos/velumark_%2.jpg").arg(name).arg(photo->primaryKey()));
        EXPECT_EQ(QImageReader(written).size(), c.size);
        if (c.code == PictureSize::Small) {
            EXPECT_EQ(test::readFile(written), test::readFile(photo->thumbnailFilePath()))
                << "the thumbnail, copied";
        }
        const QString report = html(name + QStringLiteral(".html"));
        EXPECT_EQ(report.count(QStringLiteral("width:%1px;").arg(c.width)), 3);
        EXPECT_FALSE(report.contains(QStringLiteral("width:%1px;").arg(c.width == 700 ? 1420 : 700)));
    }
}

TEST_F(ReportExportTest, DocumentWithoutArtworksGivesTheSummaryOnly)
{
    ASSERT_EQ(exportReport(QStringLiteral("empty.html"), PictureSize::Small), OperationResult::Done);
    const QString report = html(QStringLiteral("empty.html"));
    EXPECT_FALSE(report.contains(QStringLiteral("class=\"break\"")));
    EXPECT_EQ(report.count(QStringLiteral("align=right>0</td>")), 5);
    EXPECT_EQ(report.count(QStringLiteral("align=right>0.00</td>")), 3);
    EXPECT_TRUE(report.endsWith(QStringLiteral("<br /><br /></div>\n</body></html>\n")));
    EXPECT_EQ(entries(packageFolder.filePath(QStringLiteral("empty_photos"))), "Velumark.jpg");
}

TEST_F(ReportExportTest, ProgressStepsThroughTheSummaryAsThroughThePages)
{
    Artwork *artwork = addArtwork(QStringLiteral("Dunes"));
    Client *client = addClient(QStringLiteral("Gallery"));
    for (int day = 1; day <= 20; ++day)
        addSubmission(artwork, client, QDateTime(QDate(2024, 1, day), QTime(12, 0)), [](Submission &) {});

    std::vector<double> progress{0};
    ReportExport operation(*document, packageFolder.path(), QStringLiteral("steps.html"), PictureSize::Small);
    QObject::connect(&operation, &LongOperation::progress,
                     [&](double percent) { progress.push_back(percent); });
    ASSERT_EQ(runToEnd(operation), OperationResult::Done) << operation.message().toStdString();

    // Twenty submissions summed up and one artwork's two steps: no step may leap.
    EXPECT_DOUBLE_EQ(progress.back(), 100.0);
    for (std::size_t i = 1; i < progress.size(); ++i) {
        EXPECT_GE(progress[i], progress[i - 1]);
        EXPECT_LE(progress[i] - progress[i - 1], 10.0) << "at step " << i;
    }
}

TEST_F(ReportExportTest, CancelDuringPicturesChangesNothingAndDuringPagesClosesIt)
{
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    for (int i = 0; i < 3; ++i)
        catalogue->addPhoto(artwork, 400, 300);
    ASSERT_EQ(exportReport(QStringLiteral("pictures.html"), PictureSize::Small), OperationResult::Done);
    const QString before = snapshotOf(QStringLiteral("pictures"));
    ReportExport pictures(*document, packageFolder.path(), QStringLiteral("pictures.html"),
                          PictureSize::Medium);
    cancelFrom(pictures, 0); // after the first picture
    EXPECT_EQ(runToEnd(pictures), OperationResult::Cancelled);
    EXPECT_EQ(snapshotOf(QStringLiteral("pictures")).toStdString(), before.toStdString())
        << "the old report stays whole";
    EXPECT_EQ(entries(packageFolder.path()), "Studio.vdb pictures.html pictures_photos");

    addArtwork(QStringLiteral("Island"));
    addArtwork(QStringLiteral("Jetty"));
    // 3 pictures, then 3 artworks summed up, then 3 pages: cancelled once the first page is out.
    ReportExport pages(*document, packageFolder.path(), QStringLiteral("pages.html"), PictureSize::Medium);
    cancelFrom(pages, 7 * 100.0 / 9);
    EXPECT_EQ(runToEnd(pages), OperationResult::Cancelled);
    const QString report = html(QStringLiteral("pages.html"));
    EXPECT_EQ(report.count(QStringLiteral("class=\"break\"")), 1);
    EXPECT_TRUE(page(report, 1).contains(QStringLiteral(">Harbour<")));
    EXPECT_TRUE(report.endsWith(QStringLiteral("</tbody></table></p></div>\n</body></html>\n")));
    EXPECT_TRUE(missingPictures(QStringLiteral("pages.html")).isEmpty());
    EXPECT_FALSE(document->isOperationRunning());
}

TEST_F(ReportExportTest, WritesThatFailEndFailedAndLeaveNoReport)
{
    addArtwork(QStringLiteral("Harbour"));
    ReportExport missing(*document, packageFolder.filePath(QStringLiteral("missing")), QString(),
                         PictureSize::Small);
    EXPECT_EQ(runToEnd(missing), OperationResult::Failed);
    EXPECT_TRUE(missing.message().contains(QStringLiteral("velumark_report.html")));
    // The finished report cannot take the name of a folder.
    ASSERT_TRUE(packageFolder.mkdir(QStringLiteral("taken.html")));
    ReportExport taken(*document, packageFolder.path(), QStringLiteral("taken.html"), PictureSize::Small);
    EXPECT_EQ(runToEnd(taken), OperationResult::Failed);
    EXPECT_TRUE(QFileInfo(packageFolder.filePath(QStringLiteral("taken.html"))).isDir());
    EXPECT_EQ(entries(packageFolder.path()), "Studio.vdb taken.html") << "no partial report is left";
    EXPECT_FALSE(document->isOperationRunning());
}

// A disk that fills up while the new report is written: the old page keeps its own pictures.
TEST_F(ReportExportTest, AReportThatCannotBeWrittenLeavesTheOldOneWhole)
{
    test::ScratchDisk disk(1024 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << disk.reason().toStdString();
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    for (int i = 0; i < 4; ++i)
        catalogue->addPhoto(artwork, 1600, 1200);
    ReportExport small(*document, disk.path(), QString(), PictureSize::Small);
    ASSERT_EQ(runToEnd(small), OperationResult::Done) << small.message().toStdString();
    const QString before = snapshotOf(QStringLiteral("velumark_report"), disk.path());
    // What is left is less than one large picture.
    ASSERT_TRUE(disk.fillUpTo(16 * 1024));

    ReportExport large(*document, disk.path(), QString(), PictureSize::ExtraLarge);
    EXPECT_EQ(runToEnd(large), OperationResult::Failed);
    EXPECT_TRUE(large.message().contains(QStringLiteral("No space left on device")) &&
                large.message().contains(disk.path()))
        << large.message().toStdString();
    EXPECT_EQ(snapshotOf(QStringLiteral("velumark_report"), disk.path()).toStdString(), before.toStdString());
    EXPECT_EQ(entries(disk.path()), "filler velumark_report.html velumark_report_photos")
        << "nothing staged is left";
}

// The report as a browser shows it: every picture loads, and every artwork starts a printed page.
TEST_F(ReportExportTest, BrowserLoadsEveryPictureAndPrintsOnePagePerArtwork)
{
    const QString chromium = QStringLiteral("/usr/bin/chromium");
    if (!QFileInfo(chromium).isExecutable())
        GTEST_SKIP() << "Chromium is not installed at /usr/bin/chromium: the browser check did not run.";
    catalogue->addPhoto(addArtwork(QStringLiteral("Harbour")), 400, 300);
    Artwork *island = addArtwork(QStringLiteral("Island & <Bay>"));
    catalogue->addPhoto(island, 300, 400);
    catalogue->addPhoto(island, 500, 200);
    // A name with a blank and a "#": the picture paths only work when they are percent-encoded.
    const QString report = packageFolder.filePath(QStringLiteral("Art #1 report.html"));
    ASSERT_EQ(exportReport(QFileInfo(report).fileName(), PictureSize::Small), OperationResult::Done);

    // A copy of the report beside it that writes the state of its pictures into its title.
    const QString harness = packageFolder.filePath(QStringLiteral("harness.html"));
    ASSERT_TRUE(test::writeFile(
        harness, test::readFile(report) +
                     "<script>window.addEventListener('load', () => {"
                     " const all = Array.from(document.images);"
                     " const loaded = all.filter(i => i.complete && i.naturalWidth > 0);"
                     " document.title = 'loaded ' + loaded.length + ' of ' + all.length; });</script>\n"));

    const QTemporaryDir profile;
    const QStringList options = QStringLiteral("--headless --no-sandbox --disable-gpu --no-first-run "
                                               "--disable-background-networking --disable-component-update "
                                               "--disable-sync")
                                    .split(QLatin1Char(' '))
                                << QStringLiteral("--user-data-dir=") + profile.path();
    const auto browse = [&](const QStringList &arguments) {
        return output(chromium, options + arguments, 90000);
    };
    // A browser starting on a busy machine now and then gives up before the page has settled; a
    // fault of the report shows in every attempt.
    const QString expectedTitle = QStringLiteral("<title>loaded 4 of 4</title>");
    QString dom;
    for (int attempt = 0; attempt < 3 && !dom.contains(expectedTitle); ++attempt)
        dom = browse({QStringLiteral("--virtual-time-budget=10000"), QStringLiteral("--dump-dom"),
                      QUrl::fromLocalFile(harness).toString()});
    EXPECT_TRUE(dom.contains(expectedTitle)) << dom.left(400).toStdString();

    const QString pdf = packageFolder.filePath(QStringLiteral("report.pdf"));
    for (int attempt = 0; attempt < 3 && QFileInfo(pdf).size() == 0; ++attempt)
        browse({QStringLiteral("--run-all-compositor-stages-before-draw"),
                QStringLiteral("--no-pdf-header-footer"), QStringLiteral("--print-to-pdf=") + pdf,
                QUrl::fromLocalFile(report).toString()});
    const QString details = output(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(details.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
        << details.toStdString();
    // Each artwork on a printed page of its own, after the summary, its title shown as written.
    const QStringList titles = {QStringLiteral("Harbour"), QStringLiteral("Island & <Bay>")};
    for (int number = 1; number <= 2; ++number) {
        const QString pdfPage = QString::number(number + 1);
        const QString text =
            output(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), pdfPage, QStringLiteral("-l"), pdfPage, pdf, QStringLiteral("-")});
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("^-\\s*%1\\s*-$").arg(number),
                                                     QRegularExpression::MultilineOption)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(titles.at(number - 1))) << text.toStdString();
    }
}
