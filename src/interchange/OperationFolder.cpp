#include "interchange/OperationFolder.h"

#include "store/VelumarkUtility.h"

#include <QDir>
#include <unistd.h>

namespace velumark {

OperationFolder::OperationFolder()
{
    const QString cache = VelumarkUtility::cacheFolder();
    if (cache.isEmpty())
        return;
    m_folder = std::make_unique<QTemporaryDir>(QDir(cache).filePath(QStringLiteral("operation-XXXXXX")));
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

} // namespace velumark
