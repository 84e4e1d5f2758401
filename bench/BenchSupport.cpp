#include "BenchSupport.h"

#include "interchange/LongOperation.h"
#include "store/AppPreferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unicode/locid.h>

namespace velumark::bench {

double Runs::best() const
{
    return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end());
}

double Runs::median() const
{
    if (seconds.empty())
        return 0;
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}

QString optionValue(const QString &name, const QString &fallback)
{
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(name);
    return at > 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

int runsOption(int fallback)
{
    const QString runs = optionValue(QStringLiteral("--runs"));
    return runs.isEmpty() ? fallback : std::max(1, runs.toInt());
}

void configureRun(const QString &home, const QString &preferencesFile)
{
    const QByteArray folder = QFile::encodeName(home);
    setenv("XDG_CONFIG_HOME", (folder + "/config").constData(), 1);
    setenv("XDG_CACHE_HOME", (folder + "/cache").constData(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").constData(), 1);
    QCoreApplication::setOrganizationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationName(QStringLiteral("Velumark"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US"), status);
    setPreferences(std::make_unique<AppPreferences>(
        preferencesFile.isEmpty() ? QDir(home).filePath(QStringLiteral("preferences.ini"))
                                  : preferencesFile));
}

Result<> runOperation(LongOperation &operation)
{
    QEventLoop loop;
    QObject::connect(&operation, &LongOperation::finished, &loop, &QEventLoop::quit);
    if (const Result<> started = operation.start(); !started)
        return started;
    loop.exec();
    if (operation.result() != OperationResult::Done)
        return Failure{QStringLiteral("result %1: %2")
                           .arg(static_cast<int>(operation.result()))
                           .arg(operation.message())};
    return {};
}

qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void removePath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else if (info.exists() || info.isSymLink())
        QFile::remove(path);
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size();
}

void note(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace velumark::bench
