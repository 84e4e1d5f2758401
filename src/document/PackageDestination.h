#pragma once

#include "store/Result.h"

#include <QString>

namespace velumark {

// What to do with a catalogue that already exists where a package is to be written.
enum class ExistingCatalogue
{
    Keep,   // refuse the destination
    Replace // the user asked to replace it
};

// Where a whole catalogue package may be written (Save As, the export to a package) and how it
// takes the destination's name. The destination must be named NAME.vdb; what exists there is
// replaced only when it is a catalogue package, the caller was asked to replace it, and no other
// program has it open. Anything else that exists there is never touched.
class PackageDestination
{
public:
    enum class Problem
    {
        None,
        NotPackageName,  // the name does not end in ".vdb"
        NotCatalogue,    // something that is not a catalogue package exists there
        CatalogueExists, // a catalogue exists there and replacing it was not asked for
    };

    static bool hasPackageName(const QString &path);
    // A folder holding a catalogue database.
    static bool isCataloguePackage(const QString &path);

    // Why a package cannot be written to the target.
    static Problem problemAt(const QString &target, ExistingCatalogue existing);
    // The same, failing with the message for the user.
    static Result<> check(const QString &target, ExistingCatalogue existing);

    // Gives a complete package staged beside the target (Leftovers::stagingPathFor) the target's name,
    // after checking the target again. A replaced catalogue is exchanged with the new package in
    // one step, so the name holds one whole package at every moment, then removed. On failure
    // the staged package is left to the caller and the target is as it was.
    static Result<> install(const QString &staging, const QString &target, ExistingCatalogue existing);

    // The first step of a replacement: the staged package and the existing one exchange their
    // names. Refused where the file system cannot do that in one step.
    static Result<> exchange(const QString &staging, const QString &target);
};

} // namespace velumark
