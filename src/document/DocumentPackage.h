#pragma once

#include "document/PackageDestination.h"

#include <QString>
#include <memory>

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

    // Locks the package against other processes; null with a message when another process
    // holds it or the package cannot be locked.
    static std::unique_ptr<QLockFile> lock(const QString &packagePath, QString *error);

    // Copies a whole package to the target: first to a temporary name beside the target, then
    // put in place whole (PackageDestination), so a failure leaves any existing target untouched.
    // Refuses a target inside the source, and a target PackageDestination refuses. The lock file
    // is not copied.
    static bool copyPackage(const QString &source, const QString &target, ExistingCatalogue existing,
                            QString *error);

    // The package of an untitled document: "<name>.vdb" in the application-data folder.
    static QString untitledPackagePath(const QString &displayName);
};

} // namespace velumark
