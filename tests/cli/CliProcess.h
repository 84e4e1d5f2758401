#pragma once

#include "support/ChildProcess.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velumark::test {

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// A list of arguments that may mix strings and u"" literals.
QStringList strings(std::initializer_list<QStringView> parts);

// Runs velumark-cli with the arguments (and extra environment) and waits for it.
CliRun runCli(const QStringList &arguments, const QProcessEnvironment &extra = {});
// The same with arguments that may mix strings and u"" literals.
CliRun runCli(std::initializer_list<QStringView> arguments, const QProcessEnvironment &extra = {});
// The standard output of a run that must succeed (the test fails otherwise).
QString cliOutput(const QStringList &arguments);

// The reference peer run as a process, as the app runs on a device.
class Peer
{
public:
    Peer(int mode, const QString &folder, const QStringList &options = {QStringLiteral("--no-announce")},
         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    bool announced() { return m_process.waitForOutput(QStringLiteral("announced as"), 15000); }
    QString transcript() { return m_process.transcript(); }

private:
    ChildProcess m_process;
    quint16 m_port = 0;
};

} // namespace velumark::test
