#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velumark::test {

struct CliRun
{
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// Runs velumark-cli with the arguments (and extra environment) and waits for it.
CliRun runCli(const QStringList &arguments, const QProcessEnvironment &extra = {});

} // namespace velumark::test
