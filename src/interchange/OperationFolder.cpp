#include "interchange/OperationFolder.h"

#include "store/Leftovers.h"
#include "store/StandardFolders.h"

#include <QDir>
#include <unistd.h>

namespace velumark {

OperationFolder::OperationFolder()
{
    const QString cache = StandardFolders::cacheFolder();
    if (cache.isEmpty())
        return;
    const QString prefix = QStringLiteral("operation-");
    // What killed operations left here goes first; the folders of running ones stay.
    Leftovers::removeStaleFolders(cache, prefix);
    m_folder = std::make_unique<QTemporaryDir>(Leftovers::folderTemplate(cache, prefix));
}

QString OperationFolder::file(const char *name) const
{
    return isValid() ? QDir(m_folder->path()).filePath(QString::fromLatin1(name)) : QString();
}

void crashPoint(const char *name)
{
    static const QByteArray wanted = qgetenv("VELUMARK_CRASH_AT");
    if (!wanted.isEmpty() && wanted == name)
        ::_exit(86);
}

void crashAtProgress(int percent)
{
    static const int wanted = [] {
        const QByteArray point = qgetenv("VELUMARK_CRASH_AT");
        bool ok = false;
        const int at = point.startsWith("progress-") ? point.mid(9).toInt(&ok) : -1;
        return ok ? at : -1;
    }();
    if (wanted >= 0 && percent >= wanted)
        ::_exit(86);
}

} // namespace velumark
