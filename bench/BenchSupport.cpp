#include "BenchSupport.h"

#include "interchange/LongOperation.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

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

bool runOperation(LongOperation &operation, QString *error)
{
    QEventLoop loop;
    int result = -1;
    QString message;
    QObject::connect(&operation, &LongOperation::finished, &loop, [&](int r, const QString &m) {
        result = r;
        message = m;
        loop.quit();
    });
    if (!operation.start(error))
        return false;
    loop.exec();
    if (result != OperationResult::Done) {
        if (error)
            *error = QStringLiteral("result %1: %2").arg(result).arg(message);
        return false;
    }
    return true;
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
