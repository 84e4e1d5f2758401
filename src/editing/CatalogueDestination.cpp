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
    QString reason;
    if (!DocumentPackage::lock(packagePath, &reason))
        return {State::HeldElsewhere, reason};
    return {State::ReplaceablePackage};
}

bool CatalogueDestination::replacePackage(const QString &packagePath,
                                          const std::function<bool(QString *)> &make, QString *error)
{
    auto lock = DocumentPackage::lock(packagePath, error);
    if (!lock)
        return false;
    const QFileInfo info(packagePath);
    const QString aside = info.absoluteDir().filePath(
        QStringLiteral(".%1.replaced-%2").arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    if (!QDir().rename(packagePath, aside)) {
        if (error)
            *error = localized("%1 cannot be replaced.").arg(QDir::toNativeSeparators(packagePath));
        return false;
    }
    // The lock travelled with the folder. Let it go before the new catalogue takes its own lock
    // under the old name (unlocking removes the file by that name), and drop its file so that the
    // old catalogue, should it come back, is not held by this process.
    lock.reset();
    QFile::remove(QDir(aside).filePath(QString::fromLatin1(VelumarkDatabase::kLockFileName)));
    if (make(error)) {
        QDir(aside).removeRecursively();
        return true;
    }
    QDir(packagePath).removeRecursively();
    QDir().rename(aside, packagePath);
    return false;
}

} // namespace velumark::editing
