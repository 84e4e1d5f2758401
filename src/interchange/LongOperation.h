#pragma once

#include "interchange/OperationWatcher.h"
#include "store/Result.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class QThread;

namespace velumark {

// One long piece of work (import, export, CSV, report) run on a worker thread of its own.
// The object lives on the thread that starts it (the main thread): prepare() runs there first,
// run() on the worker, finish() back on the starting thread, then `finished` is emitted there.
// Progress emitted by the worker arrives queued. An exception never leaves the worker: it ends
// the operation as failed with its message.
//
// run() and finish() succeed or fail; a failure after abort() was asked for ends the operation
// as cancelled (a run that stops on the request returns stopped()), any other as failed.
class LongOperation : public QObject
{
    Q_OBJECT
public:
    explicit LongOperation(QObject *parent = nullptr);
    ~LongOperation() override;

    // Starts the work; fails (and nothing started) when prepare() refused.
    Result<> start();
    // Asks the work to stop at its next check (the Cancel button, Ctrl-C).
    void abort()
    {
        m_cancelled = true;
        m_aborted = true;
    }
    bool isAborted() const { return m_aborted; }
    bool isRunning() const { return m_running; }
    // Forwards progress and the end to a watcher (not owned; must outlive the operation's run).
    void setWatcher(OperationWatcher *watcher);

    OperationResult result() const { return m_result; }
    // Why it failed, or what a finished operation left out; empty otherwise.
    const QString &message() const { return m_message; }

signals:
    void progress(double percent);
    void finished(velumark::OperationResult result, const QString &message);

protected:
    // Starting thread, before the worker: take what the worker needs. A failure refuses to start.
    virtual Result<> prepare();
    // Worker thread. Must test isAborted() between steps.
    virtual Result<> run() = 0;
    // Starting thread, after the worker, with what run() returned; may change the outcome.
    virtual Result<> finish(Result<> outcome) { return outcome; }

    // What run() returns when it stopped because abort() asked it to.
    static Failure stopped();
    // Starting thread: what the end of a successful operation tells besides its success (the
    // records it had to leave out).
    void setNote(const QString &note) { m_note = note; }

    // For the destructors of derived classes: stops a worker that is still running and ends the
    // operation as cancelled through finish(), so that nothing of the object outlives it and what
    // prepare() claimed is given back.
    void stopWorker();

    // Stops the work at its next check, as abort() does, for a failure of its own (a full disk):
    // the operation then ends failed with that failure, not cancelled.
    void stopAfterFailure() { m_aborted = true; }

    // For work that checks the flag itself (a picture decoded on a pool thread).
    const std::atomic<bool> &abortFlag() const { return m_aborted; }

    // Worker thread: reports a percentage (clamped to 0..100; repeated values are not sent).
    void reportProgress(double percent);

private:
    void workerFinished();

    std::atomic<bool> m_aborted{false};
    std::atomic<bool> m_cancelled{false};
    bool m_running = false;
    QThread *m_thread = nullptr;
    Result<> m_outcome;
    OperationResult m_result = OperationResult::Done;
    QString m_message;
    QString m_note;
    int m_lastReported = -1;
};

} // namespace velumark
