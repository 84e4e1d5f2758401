#include "document/PackageDestination.h"

#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"
#include "store/FileOperations.h"
#include "store/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace velumark {

namespace {

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

PackageDestination::Problem PackageDestination::problemAt(const QString &target, ExistingCatalogue existing)
{
    if (!hasPackageName(target))
        return Problem::NotPackageName;
    if (!occupied(target))
        return Problem::None;
    if (!isCataloguePackage(target))
        return Problem::NotCatalogue;
    return existing == ExistingCatalogue::Keep ? Problem::CatalogueExists : Problem::None;
}

Result<> PackageDestination::check(const QString &target, ExistingCatalogue existing)
{
    switch (problemAt(target, existing)) {
    case Problem::None:
        return {};
    case Problem::NotPackageName:
        return Failure{
            localized("%1 is not the name of a catalogue package: it must end in .vdb.").arg(shown(target))};
    case Problem::NotCatalogue:
        return Failure{localized("%1 already exists and is not a catalogue; it is left as it is. Choose "
                                 "another name.")
                           .arg(shown(target))};
    case Problem::CatalogueExists:
        break;
    }
    return Failure{localized("The catalogue %1 already exists. It is replaced only when that is asked for.")
                       .arg(shown(target))};
}

Result<> PackageDestination::install(const QString &staging, const QString &target,
                                     ExistingCatalogue existing)
{
    if (const Result<> allowed = check(target, existing); !allowed)
        return allowed;
    if (!occupied(target)) {
        // Something that appears under the name meanwhile is not replaced either.
        const Result<> renamed = FileOperations::renameWithoutReplacing(staging, target);
        if (renamed)
            return {};
        if (occupied(target))
            return Failure{localized("%1 appeared while the package was written; it is left as it is.")
                               .arg(shown(target))};
        return Failure{
            localized("The package cannot be moved to %1: %2").arg(shown(target), renamed.message())};
    }
    // A catalogue another program works on is not pulled away from under it.
    const Result<std::unique_ptr<QLockFile>> lock = DocumentPackage::lock(target);
    if (!lock)
        return Failure{lock.message()};
    if (const Result<> exchanged = exchange(staging, target); !exchanged)
        return exchanged;
    // The old package now lies under the staging name. A link to a package was replaced, not the
    // package it led to.
    if (QFileInfo(staging).isSymLink())
        QFile::remove(staging);
    else
        QDir(staging).removeRecursively();
    return {};
}

Result<> PackageDestination::exchange(const QString &staging, const QString &target)
{
    bool unsupported = false;
    const Result<> exchanged = FileOperations::exchangePaths(staging, target, &unsupported);
    if (exchanged)
        return {};
    if (unsupported)
        return Failure{localized("The catalogue %1 cannot be replaced in one step on this disk. Remove it "
                                 "first, or choose another name.")
                           .arg(shown(target))};
    return Failure{
        localized("The catalogue %1 cannot be replaced: %2").arg(shown(target), exchanged.message())};
}

} // namespace velumark
