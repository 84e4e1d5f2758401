#include "document/PackageDestination.h"

#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace velumark {

namespace {

bool setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString reasonOf(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// 0 or the errno of renameat2.
int renameWith(const QString &from, const QString &to, unsigned int flags)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), flags) == 0)
        return 0;
    return errno;
}

// The file system (or the kernel) does not know the flag.
bool flagUnsupported(int code)
{
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP;
}

bool occupied(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

bool PackageDestination::hasPackageName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix == QLatin1String(VelumarkDatabase::kPackageExtension) || suffix == QLatin1String("VDB");
}

bool PackageDestination::isCataloguePackage(const QString &path)
{
    return QFileInfo(path).isDir() &&
           QFileInfo(QDir(path).filePath(QString::fromLatin1(VelumarkDatabase::kDatabaseFileName))).isFile();
}

PackageDestination::Problem PackageDestination::check(const QString &target, ExistingCatalogue existing,
                                                      QString *error)
{
    if (!hasPackageName(target)) {
        setError(
            error,
            localized("%1 is not the name of a catalogue package: it must end in .vdb.").arg(shown(target)));
        return Problem::NotPackageName;
    }
    if (!occupied(target))
        return Problem::None;
    if (!isCataloguePackage(target)) {
        setError(error, localized("%1 already exists and is not a catalogue; it is left as it is. Choose "
                                  "another name.")
                            .arg(shown(target)));
        return Problem::NotCatalogue;
    }
    if (existing == ExistingCatalogue::Keep) {
        setError(error,
                 localized("The catalogue %1 already exists. It is replaced only when that is asked for.")
                     .arg(shown(target)));
        return Problem::CatalogueExists;
    }
    return Problem::None;
}

QString PackageDestination::stagingPathFor(const QString &target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath())
        .filePath(QStringLiteral(".%1.%2.partial")
                      .arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
}

bool PackageDestination::install(const QString &staging, const QString &target, ExistingCatalogue existing,
                                 QString *error)
{
    if (check(target, existing, error) != Problem::None)
        return false;
    if (!occupied(target)) {
        // Something that appears under the name meanwhile is not replaced either.
        int code = renameWith(staging, target, RENAME_NOREPLACE);
        if (flagUnsupported(code))
            code = std::rename(QFile::encodeName(staging).constData(),
                               QFile::encodeName(target).constData()) == 0
                       ? 0
                       : errno;
        if (code == 0)
            return true;
        if (code == EEXIST || code == ENOTEMPTY)
            return setError(error,
                            localized("%1 appeared while the package was written; it is left as it is.")
                                .arg(shown(target)));
        return setError(
            error, localized("The package cannot be moved to %1: %2").arg(shown(target), reasonOf(code)));
    }
    // A catalogue another program works on is not pulled away from under it.
    if (!DocumentPackage::lock(target, error))
        return false;
    if (!exchange(staging, target, error))
        return false;
    // The old package now lies under the staging name. A link to a package was replaced, not the
    // package it led to.
    if (QFileInfo(staging).isSymLink())
        QFile::remove(staging);
    else
        QDir(staging).removeRecursively();
    return true;
}

bool PackageDestination::exchange(const QString &staging, const QString &target, QString *error)
{
    const int code = renameWith(staging, target, RENAME_EXCHANGE);
    if (code == 0)
        return true;
    if (flagUnsupported(code))
        return setError(error,
                        localized("The catalogue %1 cannot be replaced in one step on this disk. Remove it "
                                  "first, or choose another name.")
                            .arg(shown(target)));
    return setError(error,
                    localized("The catalogue %1 cannot be replaced: %2").arg(shown(target), reasonOf(code)));
}

} // namespace velumark
