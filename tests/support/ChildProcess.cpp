#include "support/ChildProcess.h"

#include <QElapsedTimer>
#include <csignal>
#include <sys/prctl.h>

namespace velumark::test {

ChildProcess::~ChildProcess()
{
    stop();
}

bool ChildProcess::start(const QString &program, const QStringList &arguments,
                         const QProcessEnvironment &environment)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setProcessEnvironment(environment);
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(program, arguments);
    return m_process.waitForStarted(10000);
}

bool ChildProcess::waitForOutput(const QString &text, int timeoutMs)
{
    const QByteArray wanted = text.toUtf8();
    QElapsedTimer timer;
    timer.start();
    m_output += m_process.readAll();
    while (!m_output.contains(wanted)) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || !isRunning())
            return false;
        m_process.waitForReadyRead(int(left));
        m_output += m_process.readAll();
    }
    return true;
}

void ChildProcess::stop()
{
    if (!isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    m_output += m_process.readAll();
}

QString ChildProcess::transcript()
{
    m_output += m_process.readAll();
    return QStringLiteral("$ %1 %2\n%3")
        .arg(m_process.program(), m_process.arguments().join(QLatin1Char(' ')), QString::fromUtf8(m_output));
}

qint64 endedProcessId()
{
    QProcess child;
    child.start(QStringLiteral("/bin/true"), {});
    child.waitForStarted();
    const qint64 pid = child.processId();
    child.waitForFinished();
    return pid;
}

} // namespace velumark::test
