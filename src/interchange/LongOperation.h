#pragma once

#include "interchange/OperationWatcher.h"

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
// the operation with the failure result and its message.
class LongOperation : public QObject
{
    Q_OBJECT
public:
    explicit LongOperation(QObject *parent = nullptr);
    ~LongOperation() override;

    // Starts the work; false (and nothing started) when prepare() refused, with the reason.
    bool start(QString *error = nullptr);
    // Asks the work to stop at its next check (the Cancel button, Ctrl-C).
    void abort() { m_aborted = true; }
    bool isAborted() const { return m_aborted; }
    bool isRunning() const { return m_running; }
    // Forwards progress and the end to a watcher (not owned; must outlive the operation's run).
    void setWatcher(OperationWatcher *watcher);

    int result() const { return m_result; }
    const QString &message() const { return m_message; }

signals:
    void progress(double percent);
    void finished(int result, const QString &message);

protected:
    struct Outcome
    {
        int result = OperationResult::Done;
        QString message;
    };
    // Starting thread, before the worker: take what the worker needs. False refuses to start.
    virtual bool prepare(QString *error);
    // Worker thread. Must test isAborted() between steps.
    virtual Outcome run() = 0;
    // Starting thread, after the worker, with what run() returned; may change the outcome.
    virtual Outcome finish(Outcome outcome) { return outcome; }

    // For the destructors of derived classes: stops a worker that is still running and ends the
    // operation as cancelled through finish(), so that nothing of the object outlives it and what
    // prepare() claimed is given back.
    void stopWorker();

    // For work that checks the flag itself (a picture decoded on a pool thread).
    const std::atomic<bool> &abortFlag() const { return m_aborted; }

    // Worker thread: reports a percentage (clamped to 0..100; repeated values are not sent).
    void reportProgress(double percent);

private:
    void workerFinished();

    std::atomic<bool> m_aborted{false};
    bool m_running = false;
    QThread *m_thread = nullptr;
    Outcome m_outcome;
    int m_result = OperationResult::Done;
    QString m_message;
    int m_lastReported = -1;
};

} // namespace velumark
