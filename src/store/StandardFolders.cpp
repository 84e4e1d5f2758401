#include "store/StandardFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace velumark {

QString StandardFolders::cacheFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (path.isEmpty() || !QDir().mkpath(path))
        return {};
    return path;
}

QString StandardFolders::applicationDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString path = QDir(base).filePath(QStringLiteral("Velumark"));
    if (!QDir().mkpath(path))
        return {};
    return path;
}

} // namespace velumark
