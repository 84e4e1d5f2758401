#include "CliProcess.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace velumark::test {

CliRun runCli(const QStringList &arguments, const QProcessEnvironment &extra)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &key : extra.keys())
        environment.insert(key, extra.value(key));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELUMARK_CLI), arguments);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.closeWriteChannel();
    process.waitForFinished(180000);
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList strings(std::initializer_list<QStringView> parts)
{
    QStringList list;
    for (const QStringView part : parts)
        list << part.toString();
    return list;
}

CliRun runCli(std::initializer_list<QStringView> arguments, const QProcessEnvironment &extra)
{
    return runCli(strings(arguments), extra);
}

QString cliOutput(const QStringList &arguments)
{
    const CliRun run = runCli(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return run.out;
}

Peer::Peer(int mode, const QString &folder, const QStringList &options,
           const QProcessEnvironment &environment)
{
    // Its first line is the port it listens on.
    if (m_process.start(QStringLiteral(VELUMARK_REFERENCE_PEER),
                        strings({u"--mode", QString::number(mode), u"--folder", folder}) + options,
                        environment) &&
        m_process.waitForOutput(QStringLiteral("\n"), 10000))
        m_port = m_process.transcript().section(QLatin1Char('\n'), 1, 1).toUShort();
    EXPECT_NE(m_port, 0) << m_process.transcript().toStdString();
}

} // namespace velumark::test
