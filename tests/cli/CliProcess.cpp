#include "CliProcess.h"

#include <QProcess>

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

CliRun runCli(std::initializer_list<QStringView> arguments, const QProcessEnvironment &extra)
{
    QStringList list;
    for (const QStringView argument : arguments)
        list << argument.toString();
    return runCli(list, extra);
}

} // namespace velumark::test
