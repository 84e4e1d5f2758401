#include "document/OpenPackage.h"

#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace velumark {

namespace {

// Why a database file cannot be written (its mode, whoever asks), or nothing.
QString writeProtectionOf(const QString &databasePath)
{
    const QFileInfo file(databasePath);
    if (file.permission(QFileDevice::WriteOwner) && file.isWritable())
        return {};
    return localized("its database file is write-protected");
}

} // namespace

OpenPackage::OpenPackage() = default;
OpenPackage::~OpenPackage() = default;

void OpenPackage::setPath(const QString &packagePath)
{
    m_packagePath = packagePath;
    m_databasePath = QDir(packagePath).filePath(QString::fromLatin1(VelumarkDatabase::kDatabaseFileName));
}

Result<> OpenPackage::lockOrOpenReadOnly()
{
    m_readOnlyReason.clear();
    bool unwritable = false;
    m_ownerWasKilled =
        QFileInfo::exists(QDir(m_packagePath).filePath(QString::fromLatin1(VelumarkDatabase::kLockFileName)));
    Result<std::unique_ptr<QLockFile>> lock = DocumentPackage::lock(m_packagePath, &unwritable);
    if (!lock && !unwritable)
        return Failure{lock.message()};
    m_lock = lock ? std::move(lock).value() : nullptr;
    m_readOnlyReason = unwritable
                           ? localized("it is on a read-only disk or in a folder without write permission")
                           : writeProtectionOf(m_databasePath);
    return {};
}

Result<> OpenPackage::moveTo(const QString &targetPackagePath)
{
    Result<std::unique_ptr<QLockFile>> lock = DocumentPackage::lock(targetPackagePath);
    if (!lock)
        return Failure{lock.message()};
    m_lock = std::move(lock).value();
    setPath(targetPackagePath);
    m_readOnlyReason = writeProtectionOf(m_databasePath);
    return {};
}

void OpenPackage::unlock()
{
    m_lock.reset();
}

Result<> OpenPackage::checkWritable() const
{
    if (!isReadOnly())
        return {};
    return Failure{localized("The catalogue %1 is open read-only because %2; nothing in it can be changed.")
                       .arg(QDir::toNativeSeparators(m_packagePath), m_readOnlyReason)};
}

} // namespace velumark
