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

Result<> LongOperation::prepare()
{
    return {};
}

Failure LongOperation::stopped()
{
    return Failure{localized("Cancelled.")};
}

void LongOperation::setWatcher(OperationWatcher *watcher)
{
    connect(this, &LongOperation::progress, this,
            [watcher](double percent) { watcher->progressUpdate(percent); });
    connect(this, &LongOperation::finished, this, [watcher](OperationResult result, const QString &message) {
        watcher->operationFinished(result, message);
    });
}

Result<> LongOperation::start()
{
    if (m_running)
        return Failure{localized("This operation is already running.")};
    m_aborted = false;
    m_cancelled = false;
    m_lastReported = -1;
    m_note.clear();
    if (const Result<> prepared = prepare(); !prepared)
        return prepared;
    m_running = true;
    m_thread = QThread::create([this] {
        try {
            m_outcome = run();
        } catch (const DatabaseError &failure) {
            m_outcome = Failure{failure.message()};
        } catch (const std::exception &failure) {
            m_outcome = Failure{QString::fromLocal8Bit(failure.what())};
        }
    });
    // The thread object lives here, so `finished` reaches this thread queued.
    connect(m_thread, &QThread::finished, this, &LongOperation::workerFinished);
    m_thread->start();
    return {};
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
        (void)finish(stopped());
    } catch (const DatabaseError &) {
        // The object is going away; there is no one left to tell.
    }
}

void LongOperation::workerFinished()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    Result<> outcome;
    try {
        outcome = finish(std::move(m_outcome));
    } catch (const DatabaseError &failure) {
        outcome = Failure{failure.message()};
    }
    m_running = false;
    if (outcome) {
        m_result = OperationResult::Done;
        m_message = m_note;
    } else {
        m_result = m_cancelled ? OperationResult::Cancelled : OperationResult::Failed;
        m_message = m_result == OperationResult::Failed ? outcome.message() : QString();
    }
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
