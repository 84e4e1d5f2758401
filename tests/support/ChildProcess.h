#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velumark::test {

// A helper program a test runs (a daemon, a publisher). It is ended by its process id when this
// object goes, and by the kernel should the test process die first, so that nothing outlives a
// crashed test.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Starts the program; its standard output and error are read together.
    bool start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment);
    // Waits until the program has written the text; false when it ended or the time ran out first.
    bool waitForOutput(const QString &text, int timeoutMs);
    // SIGTERM, SIGKILL after a grace period, and waits for the end.
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Everything the program wrote so far, with its command line for messages.
    QString transcript();

private:
    QProcess m_process;
    QByteArray m_output;
};

// The id of a process that has ended (a child run to its end): no running process has it.
qint64 endedProcessId();

} // namespace velumark::test
