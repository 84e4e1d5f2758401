#pragma once

#include "store/Result.h"

#include <QString>

class QIODevice;

namespace velumark {

// The small file operations the catalogue's files need, each with the system's reason when it
// fails.
class FileOperations
{
public:
    // True when nothing is at the path afterwards.
    static bool removeFileIfExists(const QString &path);
    // Writes all the bytes; what the device takes only in part is written again, so that a refused
    // write fails with the system's reason (a full disk), which a short count alone does not give.
    // The reason is then the device's errorString().
    static bool writeAll(QIODevice &device, const char *data, qint64 size);
    // Copies a file to a new one (replacing what is there), without a partial copy; the failure
    // names neither file.
    static Result<> copyFile(const QString &source, const QString &destination);
    // Remove whatever is at the destination, then copy or move; true when done.
    static bool copyFileFrom(const QString &source, const QString &destination);
    static bool moveFileFrom(const QString &source, const QString &destination);
    // Renames, but never over something that exists at the destination (even when it appears at
    // the last moment); the failure gives the system's reason.
    static Result<> renameWithoutReplacing(const QString &from, const QString &to);
    // Exchanges what two paths name, in one step; the failure gives the system's reason
    // (`unsupported` tells that the file system cannot do it at all).
    static Result<> exchangePaths(const QString &a, const QString &b, bool *unsupported = nullptr);

    // Fails, in plain words, when the path cannot be read as a regular file: it does not exist, it
    // is a folder, it is a device or a pipe, or the system's reason.
    static Result<> checkReadableFile(const QString &path);
};

} // namespace velumark
