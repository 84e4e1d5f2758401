#include "store/VelumarkUtility.h"

#include "store/AppPreferences.h"
#include "store/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace velumark {

namespace {

constexpr qint64 kNoFixedNow = std::numeric_limits<qint64>::min();
std::atomic<qint64> fixedNowMsecs{kNoFixedNow};
std::mutex preferencesMutex;

QDateTime moveBy(qint64 amount, const QDateTime &date, qint64 units)
{
    if (!date.isValid() || units == 0)
        return {};
    if (units < 1 || units > 4)
        return date;
    // Calendar fields are ints; an amount beyond them cannot give a date anyway.
    constexpr qint64 kMaxAmount = std::numeric_limits<int>::max() / 12;
    if (amount > kMaxAmount || amount < -kMaxAmount)
        return {};
    const QDateTime local = date.toLocalTime();
    const int n = static_cast<int>(amount);
    QDateTime moved;
    switch (units) {
    case 1:
        moved = local.addDays(n);
        break;
    case 2:
        moved = local.addDays(qint64(n) * 7);
        break;
    case 3:
        moved = local.addMonths(n);
        break;
    default:
        moved = local.addYears(n);
        break;
    }
    return moved.isValid() ? moved : QDateTime();
}

} // namespace

VelumarkUtility::VelumarkUtility() = default;
VelumarkUtility::~VelumarkUtility() = default;

VelumarkUtility &VelumarkUtility::sharedManager()
{
    static VelumarkUtility shared;
    return shared;
}

AppPreferences &VelumarkUtility::getPreferences()
{
    const std::lock_guard lock(preferencesMutex);
    if (!m_preferences)
        m_preferences = std::make_unique<AppPreferences>();
    return *m_preferences;
}

void VelumarkUtility::setPreferences(std::unique_ptr<AppPreferences> preferences)
{
    const std::lock_guard lock(preferencesMutex);
    m_preferences = std::move(preferences);
}

QDateTime VelumarkUtility::now()
{
    const qint64 fixed = fixedNowMsecs.load();
    if (fixed != kNoFixedNow)
        return QDateTime::fromMSecsSinceEpoch(fixed, Qt::UTC);
    return QDateTime::currentDateTimeUtc();
}

void VelumarkUtility::setFixedNow(const QDateTime &instant)
{
    fixedNowMsecs = instant.isValid() ? instant.toMSecsSinceEpoch() : kNoFixedNow;
}

void VelumarkUtility::clearFixedNow()
{
    fixedNowMsecs = kNoFixedNow;
}

namespace {
thread_local int todayScopes = 0;
thread_local QDateTime pinnedToday;
} // namespace

QDateTime VelumarkUtility::today()
{
    if (todayScopes > 0)
        return pinnedToday;
    return roundDate(now());
}

VelumarkUtility::TodayScope::TodayScope() : m_outermost(todayScopes == 0)
{
    if (m_outermost)
        pinnedToday = roundDate(now()).toUTC();
    ++todayScopes;
}

VelumarkUtility::TodayScope::~TodayScope()
{
    --todayScopes;
    if (m_outermost)
        pinnedToday = QDateTime();
}

QDateTime VelumarkUtility::roundDate(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return date.toLocalTime().date().startOfDay();
}

QDateTime VelumarkUtility::subtractInterval(qint64 amount, const QDateTime &date, qint64 units)
{
    if (amount == std::numeric_limits<qint64>::min())
        return {};
    return moveBy(-amount, date, units);
}

QDateTime VelumarkUtility::addInterval(qint64 amount, const QDateTime &date, qint64 units)
{
    return moveBy(amount, date, units);
}

qint64 VelumarkUtility::wholeDaysBetween(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid() || to <= from)
        return 0;
    const QDateTime start = from.toLocalTime();
    const QDateTime end = to.toLocalTime();
    qint64 days = start.date().daysTo(end.date());
    if (end.time() < start.time())
        --days;
    return qMax<qint64>(days, 0);
}

VelumarkUtility::LocalDay VelumarkUtility::localDay(const QDateTime &date)
{
    LocalDay day;
    if (!date.isValid())
        return day;
    const QDateTime local = date.toLocalTime();
    if (!local.date().isValid() || !local.time().isValid())
        return day;
    day.usable = true;
    day.msecs = date.toMSecsSinceEpoch();
    day.julianDay = local.date().toJulianDay();
    day.msecsOfDay = local.time().msecsSinceStartOfDay();
    return day;
}

qint64 VelumarkUtility::wholeDaysBetween(const LocalDay &from, const LocalDay &to)
{
    if (to.msecs <= from.msecs)
        return 0;
    qint64 days = to.julianDay - from.julianDay;
    if (to.msecsOfDay < from.msecsOfDay)
        --days;
    return qMax<qint64>(days, 0);
}

bool VelumarkUtility::removeFileIfExists(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool VelumarkUtility::writeAll(QIODevice &device, const char *data, qint64 size)
{
    for (qint64 written = 0; written < size;) {
        const qint64 count = device.write(data + written, size - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

bool VelumarkUtility::copyFile(const QString &source, const QString &destination, QString *reason)
{
    QFile from(source);
    QFile to(destination);
    auto fail = [&](const QFile &file) {
        if (reason)
            *reason = file.errorString();
        if (to.isOpen()) {
            to.close();
            QFile::remove(destination);
        }
        return false;
    };
    if (!from.open(QIODevice::ReadOnly))
        return fail(from);
    if (!to.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(to);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 count = from.read(block.data(), block.size());
        if (count < 0)
            return fail(from);
        if (count == 0)
            break;
        if (!writeAll(to, block.constData(), count))
            return fail(to);
    }
    to.close();
    return true;
}

bool VelumarkUtility::copyFileFrom(const QString &source, const QString &destination)
{
    if (!QFileInfo(source).isFile())
        return false;
    if (!removeFileIfExists(destination))
        return false;
    if (!QFile::copy(source, destination))
        return false;
    // Copies out of the resource system are read-only; the user's files must stay writable.
    QFile::setPermissions(destination,
                          QFile::permissions(destination) | QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

bool VelumarkUtility::moveFileFrom(const QString &source, const QString &destination)
{
    if (!QFileInfo::exists(source))
        return false;
    if (!removeFileIfExists(destination))
        return false;
    return QFile::rename(source, destination);
}

bool VelumarkUtility::renameWithoutReplacing(const QString &from, const QString &to, QString *reason)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    int result = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the flag: checked first, then renamed.
        const QFileInfo existing(to);
        errno = EEXIST;
        result = existing.exists() || existing.isSymLink()
                     ? -1
                     : std::rename(source.constData(), target.constData());
    }
    if (result == 0)
        return true;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool VelumarkUtility::exchangePaths(const QString &a, const QString &b, QString *reason, bool *unsupported)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(a).constData(), AT_FDCWD, QFile::encodeName(b).constData(),
                    RENAME_EXCHANGE) == 0)
        return true;
    const int code = errno;
    if (unsupported)
        *unsupported = code == EINVAL || code == ENOSYS || code == EOPNOTSUPP;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

QString VelumarkUtility::whyNotReadableFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {};
    if (path.isEmpty() || ::stat(name.constData(), &info) != 0) {
        const int code = path.isEmpty() ? ENOENT : errno;
        struct stat link
        {};
        if (code == ENOENT && ::lstat(name.constData(), &link) == 0)
            return localized("it is a symbolic link to nothing");
        return code == ENOENT ? localized("it does not exist") : QString::fromLocal8Bit(std::strerror(code));
    }
    if (S_ISDIR(info.st_mode))
        return localized("it is a folder, not a file");
    if (!S_ISREG(info.st_mode))
        return localized("it is not a regular file but a device, a pipe or a socket");
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return {};
}

QString VelumarkUtility::cacheFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (path.isEmpty() || !QDir().mkpath(path))
        return {};
    return path;
}

QString VelumarkUtility::applicationDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString path = QDir(base).filePath(QStringLiteral("Velumark"));
    if (!QDir().mkpath(path))
        return {};
    return path;
}

} // namespace velumark
