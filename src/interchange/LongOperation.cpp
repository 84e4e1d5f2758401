#include "interchange/LongOperation.h"

#include "interchange/OperationFolder.h"
#include "store/DatabaseError.h"
#include "store/Localization.h"

#include <QThread>
#include <cmath>
#include <exception>

namespace velumark {

LongOperation::LongOperation(QObject *parent) : QObject(parent) {}

LongOperation::~LongOperation()
{
    if (m_thread) {
        m_aborted = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool LongOperation::prepare(QString *)
{
    return true;
}

void LongOperation::setWatcher(OperationWatcher *watcher)
{
    connect(this, &LongOperation::progress, this,
            [watcher](double percent) { watcher->progressUpdate(percent); });
    connect(this, &LongOperation::finished, this,
            [watcher](int result, const QString &message) { watcher->operationFinished(result, message); });
}

bool LongOperation::start(QString *error)
{
    if (m_running) {
        if (error)
            *error = localized("This operation is already running.");
        return false;
    }
    m_aborted = false;
    m_lastReported = -1;
    if (!prepare(error))
        return false;
    m_running = true;
    m_thread = QThread::create([this] {
        try {
            m_outcome = run();
        } catch (const DatabaseError &failure) {
            m_outcome = {OperationResult::Failed, failure.message()};
        } catch (const std::exception &failure) {
            m_outcome = {OperationResult::Failed, QString::fromLocal8Bit(failure.what())};
        }
    });
    // The thread object lives here, so `finished` reaches this thread queued.
    connect(m_thread, &QThread::finished, this, &LongOperation::workerFinished);
    m_thread->start();
    return true;
}

void LongOperation::stopWorker()
{
    if (!m_thread)
        return;
    m_aborted = true;
    m_thread->disconnect(this);
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_running = false;
    try {
        finish({OperationResult::Cancelled, {}});
    } catch (const DatabaseError &) {
        // The object is going away; there is no one left to tell.
    }
}

void LongOperation::workerFinished()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    Outcome outcome;
    try {
        outcome = finish(std::move(m_outcome));
    } catch (const DatabaseError &failure) {
        outcome = {OperationResult::Failed, failure.message()};
    }
    m_running = false;
    m_result = outcome.result;
    m_message = outcome.message;
    emit finished(m_result, m_message);
}

void LongOperation::reportProgress(double percent)
{
    if (!std::isfinite(percent))
        return;
    const double clamped = std::clamp(percent, 0.0, 100.0);
    // Whole-percent steps are enough for any progress bar and keep the queue short.
    const int step = static_cast<int>(clamped);
    if (step == m_lastReported)
        return;
    m_lastReported = step;
    crashAtProgress(step);
    emit progress(clamped);
}

} // namespace velumark
