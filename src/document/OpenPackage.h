#pragma once

#include "store/Result.h"

#include <QString>
#include <memory>

class QLockFile;

namespace velumark {

// The package a document has open: where it and its database file are, the lock that keeps other
// processes out, and whether it could only be opened read-only.
class OpenPackage
{
public:
    OpenPackage();
    ~OpenPackage();
    OpenPackage(const OpenPackage &) = delete;
    OpenPackage &operator=(const OpenPackage &) = delete;

    // Points at a package (not locked yet).
    void setPath(const QString &packagePath);
    // Locks the package. When the only obstacle is that nothing can be written where it lies, it
    // is opened read-only without a lock; a write-protected database file makes it read-only too.
    // Fails when another process holds it or it cannot be locked for another reason.
    Result<> lockOrOpenReadOnly();
    // Moves onto a complete copy of the package at the target: locks the copy and takes its paths
    // (the copy may be writable where the original was not). Changes nothing when the copy
    // cannot be locked.
    Result<> moveTo(const QString &targetPackagePath);
    void unlock();

    const QString &packagePath() const { return m_packagePath; }
    const QString &databasePath() const { return m_databasePath; }
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }
    // Fails with the reason when the catalogue is read-only.
    Result<> checkWritable() const;
    // The lock file was there before this process locked: its owner ended without letting go.
    bool ownerWasKilled() const { return m_ownerWasKilled; }

private:
    QString m_packagePath;
    QString m_databasePath;
    QString m_readOnlyReason;
    bool m_ownerWasKilled = false;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace velumark
