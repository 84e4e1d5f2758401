// Whether the window of the large catalogue keeps answering while data goes in and out: a CSV
// import, an export to an interchange file and a report, each started from its window as a user
// does, on the offscreen platform. For each it reports the longest time the event loop went
// without a turn, the time from the button to the first paint of the progress window, and the
// longest interval between two progress updates (from the start to the end of the operation):
//
//   cmake --build build-release -j2 --target transfer_benchmark
//   build-release/bench/transfer_benchmark --data /work/bench-data [--runs N] [--only csv|vdbi|report]
//
// The catalogue is the large one without photos of catalogue_benchmark (made there once and kept),
// opened from a copy of its database beside the build for each run, so the imports never grow it.
// The CSV file is the export of the small catalogue (31,250 records), made once in the data folder.
#include "BenchCatalogues.h"
#include "BenchSupport.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/UserInteraction.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/ImportExportBrowser.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/transfer/ReportBrowser.h"
#include "gui/transfer/TransferWindows.h"
#include "gui/window/DocumentWindow.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/LongOperation.h"
#include "interchange/csv/CsvExport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using namespace velumark;
using namespace velumark::bench;

constexpr double kGapLimitMs = 50;
constexpr double kShownLimitMs = 100;
constexpr double kProgressLimitMs = 250;
// The meter's timer: a turn of the event loop is noticed within this.
constexpr int kTickMs = 2;
// How long the event loop is still watched after the operation has ended.
constexpr int kTailMs = 1500;

// Answers every question with its rejecting button and every chooser with the prepared path;
// remembers the alerts, so that a run that failed says why.
class BenchInteraction : public gui::UserInteraction
{
public:
    void showAlert(QWidget *, const Alert &alert) override
    {
        alerts << alert.title + QStringLiteral(": ") + alert.detail;
    }
    int ask(QWidget *, const Question &question) override
    {
        const auto reject = std::find_if(question.buttons.begin(), question.buttons.end(),
                                         [](const Button &b) { return b.role == ButtonRole::Reject; });
        return reject == question.buttons.end() ? 0 : int(reject - question.buttons.begin());
    }
    QString choosePathToOpen(QWidget *, const PathChoice &) override { return path; }
    QString choosePathToSave(QWidget *, const PathChoice &) override { return path; }
    bool openAddress(const QUrl &) override { return true; }
    void beep() override {}

    QString path;
    QStringList alerts;
};

// What one operation did to the event loop.
struct Figures
{
    double longestGapMs = 0;
    double shownMs = -1;
    double longestProgressMs = 0;
    double totalMs = 0;
};

// Follows one operation from its button to its end: the turns of the event loop (a short timer),
// the first paint of the progress window and the progress the operation reports.
class OperationMeter : public QObject
{
public:
    OperationMeter()
    {
        m_clock.start();
        connect(&m_tick, &QTimer::timeout, this, [this] { turn(); });
        m_tick.start(kTickMs);
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~OperationMeter() override { QCoreApplication::instance()->removeEventFilter(this); }

    // Right after the button: the operation it started.
    void follow(LongOperation *operation)
    {
        if (!operation)
            qFatal("No operation started");
        connect(operation, &LongOperation::progress, this, [this] { progressed(); });
        connect(operation, &LongOperation::finished, this, [this] {
            progressed();
            m_finished = true;
        });
    }
    // Until the operation has ended and what its end left for the event loop (the reload's idle
    // work, the completion alert) has run.
    Figures wait()
    {
        while (!m_finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_figures.totalMs = m_clock.nsecsElapsed() / 1e6;
        QElapsedTimer tail;
        tail.start();
        while (tail.elapsed() < kTailMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, kTickMs);
        return m_figures;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_figures.shownMs < 0 &&
            qobject_cast<gui::ProgressWindow *>(watched))
            m_figures.shownMs = m_clock.nsecsElapsed() / 1e6;
        return false;
    }

private:
    void turn()
    {
        const double now = m_clock.nsecsElapsed() / 1e6;
        m_figures.longestGapMs = std::max(m_figures.longestGapMs, now - m_lastTurnMs);
        m_lastTurnMs = now;
    }
    void progressed()
    {
        const double now = m_clock.nsecsElapsed() / 1e6;
        m_figures.longestProgressMs = std::max(m_figures.longestProgressMs, now - m_lastProgressMs);
        m_lastProgressMs = now;
    }

    QElapsedTimer m_clock;
    QTimer m_tick;
    double m_lastTurnMs = 0;
    double m_lastProgressMs = 0;
    bool m_finished = false;
    Figures m_figures;
};

// The CSV export of the small catalogue, made once in the data folder.
QString preparedCsv(const QString &data)
{
    const QString csv = QDir(data).filePath(QStringLiteral("small-g1.csv"));
    if (QFileInfo::exists(csv))
        return csv;
    VelumarkDatabase document;
    if (const Result<> opened = document.readFromURL(preparedCatalogue(data, smallSize(), false)); !opened)
        qFatal("Cannot open the small catalogue: %s", qPrintable(opened.message()));
    const QString making = csv + QStringLiteral(".making.csv");
    {
        CsvExport exporter(document, making, TransferScope::Complete);
        if (const Result<> written = runOperation(exporter); !written || !QDir().rename(making, csv))
            qFatal("Cannot write %s: %s", qPrintable(csv), qPrintable(written.message()));
    }
    if (const Result<> closed = document.close(); !closed)
        qFatal("Cannot close the small catalogue: %s", qPrintable(closed.message()));
    return csv;
}

class TransferBench
{
public:
    TransferBench(const QString &data, const QString &scratch)
        : m_catalogue(preparedCatalogue(data, largeSize(), false)), m_scratch(scratch),
          m_delegate(gui::VelumarkAppDelegate::Addresses{})
    {
        gui::UserInteraction::setInstance(&m_user);
    }
    ~TransferBench() { gui::UserInteraction::setInstance(nullptr); }

    Figures csvImport(const QString &csv)
    {
        return measure([&](gui::TransferWindows &windows) {
            windows.presentImportExportBrowser(gui::ImportExportBrowser::ImportCsv, csv)
                ->importExportButtonPressed();
        });
    }
    Figures vdbiExport()
    {
        const QString target = QDir(m_scratch).filePath(QStringLiteral("transfer-large.vdbi"));
        removePath(target);
        return measure([&](gui::TransferWindows &windows) {
            windows.presentImportExportBrowser(gui::ImportExportBrowser::ExportVdbi, target)
                ->importExportButtonPressed();
        });
    }
    Figures report()
    {
        const QString folder = QDir(m_scratch).filePath(QStringLiteral("transfer-report"));
        removePath(folder);
        QDir().mkpath(folder);
        m_user.path = folder;
        return measure([](gui::TransferWindows &windows) {
            gui::ReportBrowser *browser = windows.presentReportBrowser();
            browser->browseButtonPressed();
            browser->exportButtonPressed();
        });
    }

private:
    // Opens a fresh copy of the catalogue in a window, then times what `press` starts.
    template <typename Press> Figures measure(Press press)
    {
        const QString copy =
            scratchPackage(m_catalogue, QDir(m_scratch).filePath(QStringLiteral("transfer-large.vdb")));
        gui::DocumentWindow *window = m_delegate.documents().openPath(copy);
        if (!window)
            qFatal("The window did not open %s", qPrintable(copy));
        // Whatever the open left queued (the first paints, the idle search texts) is done first.
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        m_user.alerts.clear();
        Figures figures;
        {
            OperationMeter meter;
            press(m_delegate.transferWindows());
            meter.follow(m_delegate.transferWindows().handOver().currentOperation());
            figures = meter.wait();
        }
        for (const QString &alert : std::as_const(m_user.alerts)) {
            if (!alert.contains(QStringLiteral("Complete")))
                qFatal("The operation failed: %s", qPrintable(alert));
        }
        if (!window->close())
            qFatal("The window did not close");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return figures;
    }

    QString m_catalogue;
    QString m_scratch;
    BenchInteraction m_user;
    gui::VelumarkAppDelegate m_delegate;
};

// The run with the shortest longest gap, the one least disturbed by other work on the machine.
Figures best(const std::vector<Figures> &runs)
{
    return *std::min_element(runs.begin(), runs.end(), [](const Figures &a, const Figures &b) {
        return a.longestGapMs < b.longestGapMs;
    });
}

void printRows(const char *what, const std::vector<Figures> &runs)
{
    const Figures f = best(runs);
    double worstGap = 0;
    for (const Figures &run : runs)
        worstGap = std::max(worstGap, run.longestGapMs);
    std::printf(
        "| %s: longest gap between event-loop turns (best of %zu; worst %.1f ms; whole operation %.2f s) "
        "| %.1f ms | - | - | <= %.0f ms | %s |\n",
        what, runs.size(), worstGap, f.totalMs / 1000, f.longestGapMs, kGapLimitMs,
        f.longestGapMs <= kGapLimitMs ? "yes" : "NO");
    std::printf(
        "| %s: button to the first paint of the progress window | %.1f ms | - | - | <= %.0f ms | %s |\n",
        what, f.shownMs, kShownLimitMs, f.shownMs >= 0 && f.shownMs <= kShownLimitMs ? "yes" : "NO");
    std::printf("| %s: longest interval between progress updates | %.1f ms | - | - | <= %.0f ms | %s |\n",
                what, f.longestProgressMs, kProgressLimitMs,
                f.longestProgressMs <= kProgressLimitMs ? "yes" : "NO");
    std::fflush(stdout);
}

double loadAverage()
{
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString data = optionValue(QStringLiteral("--data"), QStringLiteral(VELUMARK_BENCH_DATA));
    const int runs = runsOption(3);
    const QString only = optionValue(QStringLiteral("--only"));
    configureRun(QDir(data).filePath(QStringLiteral("home-transfer")));

    const QString csv = preparedCsv(data);
    const QString scratch = QStringLiteral(VELUMARK_BENCH_SCRATCH);
    QDir().mkpath(scratch);
    TransferBench bench(data, scratch);
    std::printf("load average at the start: %.2f\n\n", loadAverage());
    std::printf("| Figure (large catalogue, no photos) | Ours | Baseline | Ratio | Target | Met |\n"
                "|---|---|---|---|---|---|\n");
    const std::pair<const char *, std::function<Figures()>> parts[] = {
        {"csv",
         [&] {
             return bench.csvImport(csv);
         }},
        {"vdbi",
         [&] {
             return bench.vdbiExport();
         }},
        {"report",
         [&] {
             return bench.report();
         }},
    };
    const char *const names[] = {"CSV import of 31,250 records", "export to an interchange file", "report"};
    for (size_t part = 0; part < std::size(parts); ++part) {
        if (!only.isEmpty() && only != QLatin1String(parts[part].first))
            continue;
        std::vector<Figures> figures;
        for (int run = 0; run < runs; ++run) {
            note(QStringLiteral("%1, run %2").arg(QString::fromLatin1(parts[part].first)).arg(run + 1));
            figures.push_back(parts[part].second());
        }
        printRows(names[part], figures);
    }
    std::printf("\nload average at the end: %.2f\n", loadAverage());
    return 0;
}
