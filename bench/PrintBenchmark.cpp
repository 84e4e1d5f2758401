// Printing the whole submission list of the large catalogue to a PDF file (A4, nine rows to a
// page), beside a plain baseline, and the memory of the printout against one of its first 1,000
// pages. Every measurement runs in a child process of its own that opens the catalogue first
// (not timed), so that the peak memory of one does not hide in another.
//
// Options: --data DIR (where the catalogues are kept, as for catalogue_benchmark), --runs N.
#include "BenchCatalogues.h"
#include "BenchSupport.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "editing/PageGeometry.h"
#include "editing/PdfExport.h"
#include "editing/PrintLayout.h"
#include "editing/PrintRenderer.h"
#include "store/Image.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace velumark;
using namespace velumark::bench;

namespace {

constexpr double kTargetSecondsPerThousandPages = 2;
constexpr int kMemoryPages = 1000;

// Processor time of the calling thread alone: the thread that draws, without the picture reader
// beside it.
double threadProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

QPageLayout a4()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(72, 90, 72, 90),
                       QPageLayout::Point);
}

// The plain way: every row's texts at fixed places, its square thumbnail read whole from its file
// and scaled by the painter, nine rows to a page, a header on each.
void baseline(VelumarkDatabase &document, const QString &file)
{
    QPdfWriter writer(file);
    writer.setPageLayout(editing::PageGeometry::forPrinting(a4(), QPageLayout::Portrait));
    QPainter painter(&writer);
    painter.scale(writer.resolution() / 72.0, writer.resolution() / 72.0);
    const RecordList &list = *document.submissionListController();
    const qsizetype rows = list.rowCount();
    const int perPage = 9;
    for (qsizetype row = 0; row < rows; ++row) {
        const int place = static_cast<int>(row % perPage);
        if (place == 0) {
            if (row > 0)
                writer.newPage();
            painter.drawText(QPointF(36, 36), QStringLiteral("Page %1").arg(row / perPage + 1));
        }
        const double y = 65 + place * 80.0;
        const CellContent first = list.cell(row, 0);
        painter.drawText(QPointF(36, y + 10), QString::number(row + 1));
        if (first.image)
            painter.drawImage(QRectF(96, y + 10, 54, 54), QImage(first.image->croppedThumbnailFilePath()));
        painter.drawText(QPointF(160, y + 20), first.mainText);
        painter.drawText(QPointF(160, y + 42), first.subText);
        painter.drawText(QPointF(160, y + 64), first.moreSubText);
        painter.drawText(QPointF(481, y + 20), list.cell(row, 1).mainText);
    }
}

// A measured child: "ours", "baseline" or "memory" (our printout stopped after 1,000 pages).
int runChild(const QString &mode, const QString &catalogue, const QString &data)
{
    configureRun(QDir(data).filePath(QStringLiteral("home")));
    VelumarkDatabase document;
    if (const Result<> opened = document.readFromURL(catalogue); !opened)
        qFatal("cannot open %s: %s", qPrintable(catalogue), qPrintable(opened.message()));
    QTemporaryDir output(QDir(data).filePath(QStringLiteral("print-XXXXXX")));
    const QString file = output.filePath(QStringLiteral("submissions.pdf"));
    int pages = 0;
    const std::clock_t processorStart = std::clock();
    const double threadStart = threadProcessorSeconds();
    const double seconds = timed([&] {
        if (mode == QLatin1String("baseline")) {
            baseline(document, file);
            return;
        }
        editing::PrintOptions options;
        options.screen = editing::PrintScreen::Submissions;
        const int limit = mode == QLatin1String("memory") ? kMemoryPages : std::numeric_limits<int>::max();
        const Result<> written =
            editing::PdfExport::write(document, options, a4(), file, [&](int done, int total) {
                pages = std::min(total, limit);
                return done < limit;
            });
        if (!written && mode != QLatin1String("memory"))
            qFatal("printing failed: %s", qPrintable(written.message()));
    });
    const double processor = static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    const double drawing = threadProcessorSeconds() - threadStart;
    std::printf("%f %d %lld %lld %f %f\n", seconds, pages, static_cast<long long>(statusKiB("VmHWM")),
                static_cast<long long>(fileSize(file)), processor, drawing);
    if (const Result<> closed = document.close(); !closed)
        qFatal("cannot close %s: %s", qPrintable(catalogue), qPrintable(closed.message()));
    return 0;
}

struct ChildResult
{
    double seconds = 0;
    int pages = 0;
    qint64 peakKiB = 0;
    qint64 bytes = 0;
    double processorSeconds = 0;
    double drawingSeconds = 0;
};

ChildResult child(const QString &mode, const QString &catalogue, const QString &data)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--child"), mode, catalogue, QStringLiteral("--data"), data});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        qFatal("the %s child failed", qPrintable(mode));
    const QStringList fields =
        QString::fromUtf8(process.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    if (fields.size() != 6)
        qFatal("the %s child said nothing", qPrintable(mode));
    return {fields[0].toDouble(),   fields[1].toInt(),    fields[2].toLongLong(),
            fields[3].toLongLong(), fields[4].toDouble(), fields[5].toDouble()};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString data = optionValue(QStringLiteral("--data"), QStringLiteral(VELUMARK_BENCH_DATA));
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--child"));
        at > 0 && at + 2 < arguments.size())
        return runChild(arguments.at(at + 1), arguments.at(at + 2), data);
    const int runs = runsOption(3);

    QDir().mkpath(data);
    configureRun(QDir(data).filePath(QStringLiteral("home")));
    const QString catalogue = preparedCatalogue(data, largeSize(), true);
    Runs ours;
    Runs plain;
    Runs oursProcessor;
    Runs oursDrawing;
    Runs plainProcessor;
    ChildResult whole;
    for (int r = 0; r < runs; ++r) {
        note(QStringLiteral("run %1 of %2").arg(r + 1).arg(runs));
        whole = child(QStringLiteral("ours"), catalogue, data);
        ours.add(whole.seconds);
        oursProcessor.add(whole.processorSeconds);
        oursDrawing.add(whole.drawingSeconds);
        const ChildResult plainRun = child(QStringLiteral("baseline"), catalogue, data);
        plain.add(plainRun.seconds);
        plainProcessor.add(plainRun.processorSeconds);
    }
    const ChildResult first = child(QStringLiteral("memory"), catalogue, data);
    const double perThousand = ours.best() / whole.pages * 1000;
    std::printf("| Figure (large catalogue, %d pages) | Ours | Baseline | Ratio | Target | Met |\n",
                whole.pages);
    std::printf("|---|---|---|---|---|---|\n");
    std::printf(
        "| whole submission list to PDF (fastest of %d; median %.1f s) | %.1f s, %.2f s per 1,000 pages | "
        "plain drawing, thumbnails read whole: %.1f s | %.2f | <= %.0f s per 1,000 pages | %s |\n",
        runs, ours.median(), ours.best(), perThousand, plain.best(), ours.best() / plain.best(),
        kTargetSecondsPerThousandPages, perThousand <= kTargetSecondsPerThousandPages ? "yes" : "NO");
    // On a machine shared with other work the processor time is the steadier figure.
    std::printf(
        "| processor time of the same printout | %.1f s, %.2f s per 1,000 pages | %.1f s | %.2f | - | - |\n",
        oursProcessor.best(), oursProcessor.best() / whole.pages * 1000, plainProcessor.best(),
        oursProcessor.best() / plainProcessor.best());
    // With the pictures read on a second thread, the drawing thread sets the time on a free machine.
    std::printf(
        "| processor time of the thread that draws | %.1f s, %.2f s per 1,000 pages | - | - | <= %.0f s per "
        "1,000 pages | %s |\n",
        oursDrawing.best(), oursDrawing.best() / whole.pages * 1000, kTargetSecondsPerThousandPages,
        oursDrawing.best() / whole.pages * 1000 <= kTargetSecondsPerThousandPages ? "yes" : "NO");
    std::printf("| peak memory: first %d pages / all %d pages | %.1f MB / %.1f MB (file %.0f MB) | - | - | "
                "grows by < 10%% | %s |\n",
                first.pages, whole.pages, first.peakKiB / 1024.0, whole.peakKiB / 1024.0,
                whole.bytes / 1048576.0, whole.peakKiB < first.peakKiB * 1.1 ? "yes" : "NO");
    return 0;
}
