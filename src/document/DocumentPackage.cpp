#include "document/DocumentPackage.h"

#include "document/VelumarkDatabase.h"
#include "store/Localization.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

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

std::unique_ptr<QLockFile> DocumentPackage::lock(const QString &packagePath, QString *error)
{
    auto lockFile = std::make_unique<QLockFile>(
        QDir(packagePath).filePath(QString::fromLatin1(VelumarkDatabase::kLockFileName)));
    lockFile->setStaleLockTime(0);
    if (lockFile->tryLock(0))
        return lockFile;
    if (error) {
        if (lockFile->error() == QLockFile::LockFailedError) {
            qint64 pid = 0;
            QString host;
            QString application;
            lockFile->getLockInfo(&pid, &host, &application);
            *error =
                localized("The catalogue %1 is open in another program (process %2). Close it there first.")
                    .arg(QDir::toNativeSeparators(packagePath))
                    .arg(pid);
        } else {
            *error =
                localized("The catalogue %1 cannot be locked for writing; it may be on a read-only disk.")
                    .arg(QDir::toNativeSeparators(packagePath));
        }
    }
    return nullptr;
}

namespace {

bool copyTree(const QString &source, const QString &target, QString *error)
{
    if (!QDir().mkdir(target)) {
        if (error)
            *error = localized("Cannot create %1.").arg(QDir::toNativeSeparators(target));
        return false;
    }
    QDirIterator it(source, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.fileName() == QLatin1String(VelumarkDatabase::kLockFileName))
            continue;
        const QString destination = QDir(target).filePath(info.fileName());
        if (info.isDir() && !info.isSymLink()) {
            if (!copyTree(info.filePath(), destination, error))
                return false;
        } else if (!QFile::copy(info.filePath(), destination)) {
            if (error)
                *error = localized("Cannot copy %1 to %2.")
                             .arg(QDir::toNativeSeparators(info.filePath()),
                                  QDir::toNativeSeparators(destination));
            return false;
        }
    }
    return true;
}

} // namespace

bool DocumentPackage::copyPackage(const QString &source, const QString &target, ExistingCatalogue existing,
                                  QString *error)
{
    if (isInside(target, source)) {
        if (error)
            *error = localized("A catalogue cannot be saved inside itself.");
        return false;
    }
    // Refused before the copy is made; install() checks again when it is complete.
    if (PackageDestination::check(target, existing, error) != PackageDestination::Problem::None)
        return false;
    const QString staging = PackageDestination::stagingPathFor(target);
    if (!copyTree(source, staging, error) || !PackageDestination::install(staging, target, existing, error)) {
        QDir(staging).removeRecursively();
        return false;
    }
    return true;
}

QString DocumentPackage::untitledPackagePath(const QString &displayName)
{
    const QString folder = VelumarkUtility::applicationDataFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QFileInfo(displayName).completeBaseName() + QStringLiteral(".") +
                                 QString::fromLatin1(VelumarkDatabase::kPackageExtension));
}

} // namespace velumark
