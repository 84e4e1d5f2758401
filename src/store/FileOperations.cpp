#include "store/FileOperations.h"

#include "store/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velumark {

namespace {

Failure systemFailure(int code)
{
    return Failure{QString::fromLocal8Bit(std::strerror(code))};
}

} // namespace

bool FileOperations::removeFileIfExists(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool FileOperations::writeAll(QIODevice &device, const char *data, qint64 size)
{
    for (qint64 written = 0; written < size;) {
        const qint64 count = device.write(data + written, size - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

Result<> FileOperations::copyFile(const QString &source, const QString &destination)
{
    QFile from(source);
    QFile to(destination);
    auto fail = [&](const QFile &file) -> Result<> {
        const QString reason = file.errorString();
        if (to.isOpen()) {
            to.close();
            QFile::remove(destination);
        }
        return Failure{reason};
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
    return {};
}

bool FileOperations::copyFileFrom(const QString &source, const QString &destination)
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

bool FileOperations::moveFileFrom(const QString &source, const QString &destination)
{
    if (!QFileInfo::exists(source))
        return false;
    if (!removeFileIfExists(destination))
        return false;
    return QFile::rename(source, destination);
}

Result<> FileOperations::renameWithoutReplacing(const QString &from, const QString &to)
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
        return {};
    return systemFailure(errno);
}

Result<> FileOperations::exchangePaths(const QString &a, const QString &b, bool *unsupported)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(a).constData(), AT_FDCWD, QFile::encodeName(b).constData(),
                    RENAME_EXCHANGE) == 0)
        return {};
    const int code = errno;
    if (unsupported)
        *unsupported = code == EINVAL || code == ENOSYS || code == EOPNOTSUPP;
    return systemFailure(code);
}

Result<> FileOperations::checkReadableFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {};
    if (path.isEmpty() || ::stat(name.constData(), &info) != 0) {
        const int code = path.isEmpty() ? ENOENT : errno;
        struct stat link
        {};
        if (code == ENOENT && ::lstat(name.constData(), &link) == 0)
            return Failure{localized("it is a symbolic link to nothing")};
        return code == ENOENT ? Failure{localized("it does not exist")} : systemFailure(code);
    }
    if (S_ISDIR(info.st_mode))
        return Failure{localized("it is a folder, not a file")};
    if (!S_ISREG(info.st_mode))
        return Failure{localized("it is not a regular file but a device, a pipe or a socket")};
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure(errno);
    ::close(fd);
    return {};
}

} // namespace velumark
