#include "store/Leftovers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>
#include <cerrno>
#include <csignal>
#include <limits>
#include <unistd.h>

namespace velumark {

namespace {

// The start time of a process in clock ticks since boot (field 22 of /proc/PID/stat); 0 when it
// cannot be read. With the id it names one process: an id taken again later has another start.
qint64 startTimeOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces; the fields after it do not.
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    constexpr int kStartTimeIndex = 22 - 3;
    return fields.size() > kStartTimeIndex ? fields.at(kStartTimeIndex).toLongLong() : 0;
}

const QRegularExpression &stagingName()
{
    static const QRegularExpression name(
        QStringLiteral("^\\..+\\.(\\d+-\\d+)\\.[0-9a-f]{32}\\.partial(\\.old)?$"));
    return name;
}

void removeEntry(const QFileInfo &entry)
{
    if (entry.isDir() && !entry.isSymLink())
        QDir(entry.filePath()).removeRecursively();
    else
        QFile::remove(entry.filePath());
}

} // namespace

QString Leftovers::processStamp()
{
    static const QString stamp = [] {
        const qint64 pid = ::getpid();
        return QStringLiteral("%1-%2").arg(pid).arg(startTimeOf(pid));
    }();
    return stamp;
}

bool Leftovers::hasEnded(QStringView stamp)
{
    const qsizetype dash = stamp.indexOf(QLatin1Char('-'));
    bool pidOk = false;
    bool startOk = false;
    const qint64 pid = dash > 0 ? stamp.left(dash).toLongLong(&pidOk) : 0;
    const qint64 start = dash > 0 ? stamp.mid(dash + 1).toLongLong(&startOk) : 0;
    if (!pidOk || !startOk || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    // The id is in use: by the same process unless its start time says otherwise.
    const qint64 running = startTimeOf(pid);
    return start != 0 && running != 0 && running != start;
}

QString Leftovers::stagingPathFor(const QString &target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath())
        .filePath(QStringLiteral(".%1.%2.%3.partial")
                      .arg(info.fileName(), processStamp(), QUuid::createUuid().toString(QUuid::Id128)));
}

void Leftovers::removeStaleStaging(const QString &folder)
{
    QDirIterator entries(folder, {QStringLiteral(".*.partial"), QStringLiteral(".*.partial.old")},
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QRegularExpressionMatch match = stagingName().match(entries.fileName());
        if (match.hasMatch() && hasEnded(match.capturedView(1)))
            removeEntry(entries.fileInfo());
    }
}

QString Leftovers::folderTemplate(const QString &parent, const QString &prefix)
{
    return QDir(parent).filePath(prefix + processStamp() + QStringLiteral("-XXXXXX"));
}

void Leftovers::removeStaleFolders(const QString &parent, const QString &prefix)
{
    const QRegularExpression name(
        QStringLiteral("^%1(\\d+-\\d+)-[^-]+$").arg(QRegularExpression::escape(prefix)));
    QDirIterator entries(parent, {prefix + QLatin1Char('*')},
                         QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QRegularExpressionMatch match = name.match(entries.fileName());
        if (match.hasMatch() && hasEnded(match.capturedView(1)))
            removeEntry(entries.fileInfo());
    }
}

} // namespace velumark
