#pragma once

#include <QString>
#include <QStringView>

namespace velumark {

// The temporary files and folders that operations make (staging beside a destination, working
// folders in the cache) carry the identity of the process that made them: its id and its start
// time. What a killed process left behind can then be told from what a running one is still
// writing, and the next operation removes it.
class Leftovers
{
public:
    // This process as the names carry it: "<pid>-<start time>".
    static QString processStamp();
    // Whether the process a stamp names has ended. A text that is no stamp is never taken for an
    // ended process, so that nothing of unknown origin is removed.
    static bool hasEnded(QStringView stamp);

    // ".NAME.<stamp>.<random>.partial" beside the target, for what is to take the target's name
    // once it is complete.
    static QString stagingPathFor(const QString &target);
    // Removes the staging files and folders (also those moved aside with ".old" appended) of ended
    // processes from a folder.
    static void removeStaleStaging(const QString &folder);

    // A QTemporaryDir template "PREFIX<stamp>-XXXXXX" inside the parent folder, and the removal of
    // the folders of that kind whose process has ended.
    static QString folderTemplate(const QString &parent, const QString &prefix);
    static void removeStaleFolders(const QString &parent, const QString &prefix);
};

} // namespace velumark
