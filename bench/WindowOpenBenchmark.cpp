// How long the desktop application takes from opening the large benchmark catalogue to the first
// paint of its list, beside the core's open of the same catalogue (VelumarkDatabase::readFromURL)
// measured in the same process, taking turns. Offscreen platform, Release build:
//
//   build-release/bench/window_open_benchmark [--data DIR]
//
// The catalogue is the one catalogue_benchmark keeps in its data folder (made there if missing).
#include "BenchCatalogues.h"
#include "BenchSupport.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace velumark;

constexpr int kRuns = 5;
constexpr double kTargetRatio = 1.3;
constexpr double kMsPerSecond = 1000;

// Notes when the viewport of a list in a document window has painted for the first time.
class FirstListPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_painted || m_inside || !isListViewport(watched))
            return false;
        // The paint is delivered here, inside the window's repaint, and timed once it is done.
        m_inside = true;
        QCoreApplication::sendEvent(watched, event);
        m_inside = false;
        m_painted = true;
        return true;
    }
    bool painted() const { return m_painted; }
    void reset() { m_painted = false; }

private:
    static bool isListViewport(QObject *watched)
    {
        auto *view = qobject_cast<QAbstractItemView *>(watched->parent());
        return view && view->viewport() == watched && qobject_cast<gui::DocumentWindow *>(view->window());
    }

    bool m_painted = false;
    bool m_inside = false;
};

double openWindow(gui::VelumarkAppDelegate &delegate, FirstListPaint &watcher, const QString &catalogue)
{
    watcher.reset();
    QElapsedTimer timer;
    timer.start();
    gui::DocumentWindow *window = delegate.documents().openPath(catalogue);
    if (!window)
        qFatal("The window did not open %s", qPrintable(catalogue));
    while (!watcher.painted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!window->close())
        qFatal("The window did not close");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return seconds;
}

double openDocument(const QString &catalogue)
{
    VelumarkDatabase document;
    const double seconds = bench::timed([&] {
        if (const Result<> opened = document.readFromURL(catalogue); !opened)
            qFatal("open: %s", qPrintable(opened.message()));
    });
    if (const Result<> closed = document.close(); !closed)
        qFatal("close: %s", qPrintable(closed.message()));
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString data = bench::optionValue(QStringLiteral("--data"), QStringLiteral(VELUMARK_BENCH_DATA));
    bench::configureRun(QDir(data).filePath(QStringLiteral("home-window")));

    const QString catalogue = bench::preparedCatalogue(data, bench::largeSize(), true);
    FirstListPaint watcher;
    app.installEventFilter(&watcher);
    gui::VelumarkAppDelegate delegate(gui::VelumarkAppDelegate::Addresses{});
    bench::Runs ours;
    bench::Runs baseline;
    for (int run = 0; run < kRuns; ++run) {
        baseline.add(openDocument(catalogue));
        ours.add(openWindow(delegate, watcher, catalogue));
    }
    std::printf("| Figure | Ours | Baseline | Ratio | Target | Met |\n|---|---|---|---|---|---|\n");
    std::printf(
        "| open to the first painted list (large catalogue, fastest of %d; median %.0f ms) | %.0f ms | "
        "the core's open (readFromURL): %.0f ms (median %.0f ms) | %.2f | <= %.1fx | %s |\n",
        kRuns, ours.median() * kMsPerSecond, ours.best() * kMsPerSecond, baseline.best() * kMsPerSecond,
        baseline.median() * kMsPerSecond, ours.best() / baseline.best(), kTargetRatio,
        ours.best() <= kTargetRatio * baseline.best() ? "yes" : "NO");
    return 0;
}
