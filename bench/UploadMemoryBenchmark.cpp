// How much the uploading process grows while it sends a 500 MB file to a device; the target is
// under 2 MB. Run from the source folder:
//   cmake --build build --target upload_memory_benchmark && build/bench/upload_memory_benchmark
// The device is the reference peer on 127.0.0.1, in a process of its own, discarding what it
// receives, so that only the uploader's memory is counted.
#include "BenchSupport.h"
#include "interchange/device/HTTPUpload.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

using velumark::HTTPUpload;
using velumark::bench::statusKiB;

namespace {

constexpr qint64 kFileSize = qint64(500) * 1024 * 1024;
constexpr qint64 kTargetGrowthKiB = 2 * 1024;

// A sparse file: made at once, read back as zeros.
bool makeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

// Sets the peak resident size back to the current one; false when the kernel does not allow it.
bool resetPeakResidentSize()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1 && clearRefs.flush();
}

// Samples the resident size every millisecond on a thread of its own, keeping the largest.
class ResidentSizeSampler
{
public:
    ResidentSizeSampler()
        : m_thread([this] {
              while (!m_stop) {
                  m_peak = std::max(m_peak.load(), statusKiB("VmRSS"));
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          })
    {}
    ~ResidentSizeSampler()
    {
        m_stop = true;
        m_thread.join();
    }
    qint64 peak() const { return m_peak; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_peak{0};
    std::thread m_thread;
};

class DiscardingPeer
{
public:
    explicit DiscardingPeer(const QString &folder)
    {
        m_process.start(QStringLiteral(VELUMARK_REFERENCE_PEER),
                        {QStringLiteral("--no-announce"), QStringLiteral("--mode"), QStringLiteral("1"),
                         QStringLiteral("--status"), QStringLiteral("200"), QStringLiteral("--folder"),
                         folder});
        if (m_process.waitForStarted() && m_process.waitForReadyRead(10000))
            m_port = m_process.readLine().trimmed().toUShort();
    }
    ~DiscardingPeer()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port)); }
    bool isRunning() const { return m_port != 0; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

// Runs one upload to its end; empty on success, else the failure.
QString upload(HTTPUpload &uploader, const QUrl &url, const QString &file)
{
    QEventLoop loop;
    QString failure;
    QObject::connect(&uploader, &HTTPUpload::finished, &loop, &QEventLoop::quit);
    QObject::connect(&uploader, &HTTPUpload::failed, &loop, [&](int code, const QString &message) {
        failure = QStringLiteral("%1 %2").arg(code).arg(message);
        loop.quit();
    });
    uploader.uploadToURL(url, file);
    loop.exec();
    return failure;
}

void uploadLargeFile(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString small = folder.filePath(QStringLiteral("small.vdbi"));
    const QString large = folder.filePath(QStringLiteral("velumark.vdbi"));
    if (!makeSparseFile(small, 1024 * 1024) || !makeSparseFile(large, kFileSize)) {
        state.SkipWithError("cannot make the files to send");
        return;
    }
    DiscardingPeer peer(folder.path());
    if (!peer.isRunning()) {
        state.SkipWithError("the reference peer did not start");
        return;
    }
    HTTPUpload uploader;
    // The first upload sets up what every upload shares (network thread, connection pool).
    if (const QString failure = upload(uploader, peer.url(), small); !failure.isEmpty()) {
        state.SkipWithError(qPrintable(failure));
        return;
    }

    qint64 growth = 0;
    for (auto _ : state) {
        const qint64 baseline = statusKiB("VmRSS");
        const bool peakWasReset = resetPeakResidentSize();
        qint64 peak = 0;
        QString failure;
        {
            ResidentSizeSampler sampler;
            failure = upload(uploader, peer.url(), large);
            peak = sampler.peak();
        }
        if (peakWasReset)
            peak = std::max(peak, statusKiB("VmHWM"));
        if (!failure.isEmpty()) {
            state.SkipWithError(qPrintable(failure));
            return;
        }
        growth = std::max<qint64>(growth, peak - baseline);
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.counters["rss_growth_KiB"] = double(growth);
    state.counters["target_KiB"] = double(kTargetGrowthKiB);
    state.counters["within_target"] = growth < kTargetGrowthKiB ? 1 : 0;
}

} // namespace

BENCHMARK(uploadLargeFile)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
