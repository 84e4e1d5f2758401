// How long the application takes from being started to its first window on the screen, on the
// offscreen platform: a first start over empty settings, which makes and shows an empty untitled
// catalogue. Beside it, the same kind of process showing a bare QMainWindow.
//
// The program runs itself as the measured child processes: the parent times from starting a
// child to the child's word that its window has been painted, so loading the libraries and the
// platform plugin is inside the figure.
#include "BenchSupport.h"
#include "gui/shell/VelumarkAppDelegate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kRuns = 10;
constexpr double kTargetMs = 400;
constexpr double kMsPerSecond = 1000;

// Says "shown" once a main window has been painted, then ends the process at once.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            auto *widget = qobject_cast<QWidget *>(watched);
            if (widget && qobject_cast<QMainWindow *>(widget->window())) {
                m_seen = true;
                QTimer::singleShot(0, [] {
                    std::printf("shown\n");
                    std::fflush(stdout);
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    bool m_seen = false;
};

int runChild(int argc, char **argv, bool application)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationName(QStringLiteral("Velumark"));
    FirstPaint watcher;
    app.installEventFilter(&watcher);
    std::unique_ptr<velumark::gui::VelumarkAppDelegate> delegate;
    QMainWindow bare;
    if (application) {
        delegate = std::make_unique<velumark::gui::VelumarkAppDelegate>();
        if (!delegate->start({}))
            return 1;
    } else {
        bare.resize(1000, 680);
        bare.show();
    }
    return app.exec();
}

// Seconds from starting the child to its window on the screen; negative when it failed.
double timeChild(const char *mode)
{
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(folder), home.filePath(QString::fromLatin1(folder)));
    child.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
    QByteArray output;
    while (!output.contains("shown") && child.waitForReadyRead(30000))
        output += child.readAllStandardOutput();
    const double seconds = timer.nsecsElapsed() / 1e9;
    child.waitForFinished(10000);
    return output.contains("shown") ? seconds : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--child-application") == 0)
        return runChild(argc, argv, true);
    if (argc == 2 && std::strcmp(argv[1], "--child-bare") == 0)
        return runChild(argc, argv, false);

    QCoreApplication app(argc, argv);
    velumark::bench::Runs ours;
    velumark::bench::Runs baseline;
    for (int run = 0; run < kRuns; ++run) {
        // Taking turns, so that a disturbance of the machine falls on both.
        const double a = timeChild("--child-application");
        const double b = timeChild("--child-bare");
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a child did not show its window\n");
            return 1;
        }
        ours.add(a);
        baseline.add(b);
    }
    std::printf("| Figure | Ours | Baseline | Ratio | Target | Met |\n|---|---|---|---|---|---|\n");
    std::printf("| empty untitled window shown after start (fastest of %d; median %.0f ms) | %.0f ms | bare "
                "QMainWindow shown: %.0f ms (median %.0f ms) | %.2f | <= %.0f ms | %s |\n",
                kRuns, ours.median() * kMsPerSecond, ours.best() * kMsPerSecond,
                baseline.best() * kMsPerSecond, baseline.median() * kMsPerSecond,
                ours.best() / baseline.best(), kTargetMs,
                ours.best() * kMsPerSecond <= kTargetMs ? "yes" : "NO");
    return 0;
}
