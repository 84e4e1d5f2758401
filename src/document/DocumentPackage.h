#pragma once

#include "document/PackageDestination.h"
#include "store/Result.h"

#include <QString>
#include <memory>
#include <unordered_set>

class QLockFile;

namespace velumark {

// File operations on a catalogue package (a directory ending in ".vdb" holding "velumark.db"
// and the photo files).
class DocumentPackage
{
public:
    // The path with separators, ".", ".." and symbolic links resolved, as far as it exists.
    static QString canonicalPath(const QString &path);
    static bool samePath(const QString &a, const QString &b);
    // Whether `inner` lies inside the folder `outer` (or is it).
    static bool isInside(const QString &inner, const QString &outer);

    // Locks the package against other processes; fails when another process holds it or the
    // package cannot be locked. A lock file that no running process holds (empty,
    // unreadable, or left by a process that ended) never blocks: it is removed and the lock taken.
    // When the only obstacle is that nothing can be written where the package lies (a read-only
    // disk, a folder without write permission) and no running process holds it, `unwritable` is
    // set: the package can then be read without a lock.
    static Result<std::unique_ptr<QLockFile>> lock(const QString &packagePath, bool *unwritable = nullptr);

    // Copies a whole package to the target: first to a temporary name beside the target, then
    // put in place whole (PackageDestination), so a failure leaves any existing target untouched.
    // Refuses a target inside the source, and a target PackageDestination refuses. The lock file
    // is not copied.
    static Result<> copyPackage(const QString &source, const QString &target, ExistingCatalogue existing);

    // Removes the picture files ("vl-<key>.jpg", "...t.jpg", "...ct.jpg") whose key is not among
    // the keys of the package's images: those an import put there before it was killed, and
    // those a restore replaced.
    static void removeUnreferencedPictures(const QString &packagePath,
                                           const std::unordered_set<qint64> &keys);

    // The package of an untitled document: "<name>.vdb" in the application-data folder.
    static QString untitledPackagePath(const QString &displayName);
};

} // namespace velumark
