#include "editing/CatalogueDestination.h"

#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "editing/CataloguePath.h"
#include "store/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>

namespace velumark::editing {

namespace {
bool liesInsideCatalogue(const QString &path)
{
    QDir folder = QFileInfo(path).absoluteDir();
    do {
        if (CataloguePath::isPackage(folder.absolutePath()))
            return true;
    } while (folder.cdUp());
    return false;
}
} // namespace

CatalogueDestination CatalogueDestination::check(const QString &packagePath)
{
    if (DocumentRegistry::shared().isDatabaseLoaded(packagePath))
        return {State::OpenHere};
    if (liesInsideCatalogue(packagePath))
        return {State::InsideCatalogue};
    const QFileInfo info(packagePath);
    if (!info.exists() && !info.isSymLink())
        return {State::Free};
    if (!CataloguePath::isPackage(packagePath))
        return {State::NotACatalogue};
    if (const auto lock = DocumentPackage::lock(packagePath); !lock)
        return {State::HeldElsewhere, lock.message()};
    return {State::ReplaceablePackage};
}

Result<> CatalogueDestination::replacePackage(const QString &packagePath,
                                              const std::function<Result<>()> &make)
{
    auto lock = DocumentPackage::lock(packagePath);
    if (!lock)
        return Failure{lock.message()};
    const QFileInfo info(packagePath);
    const QString aside = info.absoluteDir().filePath(
        QStringLiteral(".%1.replaced-%2").arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    if (!QDir().rename(packagePath, aside))
        return Failure{localized("%1 cannot be replaced.").arg(QDir::toNativeSeparators(packagePath))};
    // The lock travelled with the folder. Let it go before the new catalogue takes its own lock
    // under the old name (unlocking removes the file by that name), and drop its file so that the
    // old catalogue, should it come back, is not held by this process.
    lock.value().reset();
    QFile::remove(QDir(aside).filePath(QString::fromLatin1(VelumarkDatabase::kLockFileName)));
    const Result<> made = make();
    if (made) {
        QDir(aside).removeRecursively();
        return made;
    }
    QDir(packagePath).removeRecursively();
    QDir().rename(aside, packagePath);
    return made;
}

} // namespace velumark::editing
