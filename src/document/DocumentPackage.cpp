#include "document/DocumentPackage.h"

#include "document/VelumarkDatabase.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/StandardFolders.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velumark {

QString DocumentPackage::canonicalPath(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // Resolve the longest part that exists, then append the rest as written.
    QString existing = clean;
    QStringList rest;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const QFileInfo info(existing);
        rest.prepend(info.fileName());
        const QString parent = info.path();
        if (parent == existing)
            break;
        existing = parent;
    }
    QString resolved = QFileInfo(existing).canonicalFilePath();
    if (resolved.isEmpty())
        resolved = existing;
    for (const QString &part : rest)
        resolved = QDir(resolved).filePath(part);
    return QDir::cleanPath(resolved);
}

bool DocumentPackage::samePath(const QString &a, const QString &b)
{
    return canonicalPath(a) == canonicalPath(b);
}

bool DocumentPackage::isInside(const QString &inner, const QString &outer)
{
    const QString in = canonicalPath(inner);
    const QString out = canonicalPath(outer);
    return in == out || in.startsWith(out + QLatin1Char('/'));
}

namespace {

// How long a process that has just made the lock file may take to write who it is.
constexpr int kLockSettleMs = 2000;

enum class LockHolder
{
    None,    // no running process holds the file (or there is none)
    Running, // a running process holds it
    Unknown, // the file cannot even be opened to ask
};

// The owner of a lock file keeps it locked (flock) from the moment it made it until it lets go;
// the system lets go for a process that ended, however it ended.
LockHolder holderOf(const QString &lockPath)
{
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LockHolder::None : LockHolder::Unknown;
    const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const int code = errno;
    ::close(fd);
    if (taken)
        return LockHolder::None;
    return code == EWOULDBLOCK ? LockHolder::Running : LockHolder::Unknown;
}

// Removes a lock file that no running process holds, holding it meanwhile so that nobody can take
// it in between; 0 or the reason it could not be removed.
int removeAbandonedLock(const QString &lockPath)
{
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : errno;
    int code = EWOULDBLOCK;
    struct stat opened
    {};
    struct stat named
    {};
    // Only the file that was looked at: another process may have replaced it meanwhile.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
        ::stat(path.constData(), &named) == 0 && opened.st_ino == named.st_ino &&
        opened.st_dev == named.st_dev)
        code = ::unlink(path.constData()) == 0 ? 0 : errno;
    ::close(fd);
    return code;
}

bool isUnwritableReason(int code)
{
    return code == EROFS || code == EACCES || code == EPERM;
}

QString heldMessage(const QString &packagePath, qint64 pid)
{
    if (pid > 0)
        return localized("The catalogue %1 is open in another program (process %2). Close it there first.")
            .arg(QDir::toNativeSeparators(packagePath))
            .arg(pid);
    return localized("The catalogue %1 is being opened by another program. Close it there first.")
        .arg(QDir::toNativeSeparators(packagePath));
}

} // namespace

Result<std::unique_ptr<QLockFile>> DocumentPackage::lock(const QString &packagePath, bool *unwritable)
{
    if (unwritable)
        *unwritable = false;
    const QString lockPath = QDir(packagePath).filePath(QString::fromLatin1(VelumarkDatabase::kLockFileName));
    auto lockFile = std::make_unique<QLockFile>(lockPath);
    // Whether a lock is stale is told by whether its owner still runs, never by its age.
    lockFile->setStaleLockTime(0);
    const QDeadlineTimer patience(kLockSettleMs);
    auto refuse = [](const QString &message) -> Result<std::unique_ptr<QLockFile>> {
        return Failure{message};
    };
    for (;;) {
        if (lockFile->tryLock(0))
            return lockFile;
        const QLockFile::LockError failure = lockFile->error();
        const LockHolder holder = holderOf(lockPath);
        if (failure == QLockFile::LockFailedError && holder == LockHolder::Running) {
            qint64 pid = 0;
            QString host;
            QString application;
            if (lockFile->getLockInfo(&pid, &host, &application) && pid > 0)
                return refuse(heldMessage(packagePath, pid));
            // The owner has made the file and is about to write who it is.
            if (patience.hasExpired())
                return refuse(heldMessage(packagePath, 0));
            QThread::msleep(20);
            continue;
        }
        int reason = failure == QLockFile::PermissionError ? EACCES : 0;
        if (failure == QLockFile::LockFailedError && holder == LockHolder::None) {
            // Left by a process that ended (or made empty by one killed at the wrong moment).
            reason = removeAbandonedLock(lockPath);
            if ((reason == 0 || reason == EWOULDBLOCK) && !patience.hasExpired())
                continue;
        }
        if (isUnwritableReason(reason) && holder != LockHolder::Running) {
            if (unwritable)
                *unwritable = true;
            return refuse(localized("Nothing can be written in %1: it is on a read-only disk or in a folder "
                                    "without write permission.")
                              .arg(QDir::toNativeSeparators(packagePath)));
        }
        return refuse(
            localized("The catalogue %1 cannot be locked: its lock file %2 cannot be written%3.")
                .arg(QDir::toNativeSeparators(packagePath), QDir::toNativeSeparators(lockPath),
                     reason > 0 ? QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(reason)))
                                : QString()));
    }
}

namespace {

Result<> copyTree(const QString &source, const QString &target)
{
    if (!QDir().mkdir(target))
        return Failure{localized("Cannot create %1.").arg(QDir::toNativeSeparators(target))};
    QDirIterator it(source, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.fileName() == QLatin1String(VelumarkDatabase::kLockFileName))
            continue;
        const QString destination = QDir(target).filePath(info.fileName());
        if (info.isDir() && !info.isSymLink()) {
            if (const Result<> copied = copyTree(info.filePath(), destination); !copied)
                return copied;
        } else if (!QFile::copy(info.filePath(), destination)) {
            return Failure{
                localized("Cannot copy %1 to %2.")
                    .arg(QDir::toNativeSeparators(info.filePath()), QDir::toNativeSeparators(destination))};
        }
    }
    return {};
}

} // namespace

Result<> DocumentPackage::copyPackage(const QString &source, const QString &target,
                                      ExistingCatalogue existing)
{
    if (isInside(target, source))
        return Failure{localized("A catalogue cannot be saved inside itself.")};
    // Refused before the copy is made; install() checks again when it is complete.
    if (const Result<> allowed = PackageDestination::check(target, existing); !allowed)
        return allowed;
    Leftovers::removeStaleStaging(QFileInfo(target).absolutePath());
    const QString staging = Leftovers::stagingPathFor(target);
    Result<> copied = copyTree(source, staging);
    if (copied)
        copied = PackageDestination::install(staging, target, existing);
    if (!copied)
        QDir(staging).removeRecursively();
    return copied;
}

void DocumentPackage::removeUnreferencedPictures(const QString &packagePath,
                                                 const std::unordered_set<qint64> &keys)
{
    static const QRegularExpression pictureName(QStringLiteral("^vl-(\\d+)(t|ct)?\\.jpg$"));
    QDirIterator it(packagePath, {QStringLiteral("vl-*.jpg")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QRegularExpressionMatch match = pictureName.match(it.fileName());
        if (match.hasMatch() && !keys.count(match.captured(1).toLongLong()))
            QFile::remove(it.filePath());
    }
}

QString DocumentPackage::untitledPackagePath(const QString &displayName)
{
    const QString folder = StandardFolders::applicationDataFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QFileInfo(displayName).completeBaseName() + QStringLiteral(".") +
                                 QString::fromLatin1(VelumarkDatabase::kPackageExtension));
}

} // namespace velumark
