#include "document/PackageDestination.h"

#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

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

bool PackageDestination::install(const QString &staging, const QString &target, ExistingCatalogue existing,
                                 QString *error)
{
    if (check(target, existing, error) != Problem::None)
        return false;
    if (!occupied(target)) {
        // Something that appears under the name meanwhile is not replaced either.
        QString reason;
        if (VelumarkUtility::renameWithoutReplacing(staging, target, &reason))
            return true;
        if (occupied(target))
            return setError(error,
                            localized("%1 appeared while the package was written; it is left as it is.")
                                .arg(shown(target)));
        return setError(error, localized("The package cannot be moved to %1: %2").arg(shown(target), reason));
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
    QString reason;
    bool unsupported = false;
    if (VelumarkUtility::exchangePaths(staging, target, &reason, &unsupported))
        return true;
    if (unsupported)
        return setError(error,
                        localized("The catalogue %1 cannot be replaced in one step on this disk. Remove it "
                                  "first, or choose another name.")
                            .arg(shown(target)));
    return setError(error, localized("The catalogue %1 cannot be replaced: %2").arg(shown(target), reason));
}

} // namespace velumark
