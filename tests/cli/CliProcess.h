#pragma once

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

// Runs velumark-cli with the arguments (and extra environment) and waits for it.
CliRun runCli(const QStringList &arguments, const QProcessEnvironment &extra = {});
// The same with arguments that may mix strings and u"" literals.
CliRun runCli(std::initializer_list<QStringView> arguments, const QProcessEnvironment &extra = {});

} // namespace velumark::test
