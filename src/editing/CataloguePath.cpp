#include "editing/CataloguePath.h"

#include "document/VelumarkDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace velumark::editing {

namespace {
const QString &databaseFileName()
{
    static const QString name = QString::fromLatin1(VelumarkDatabase::kDatabaseFileName);
    return name;
}

const QString &packageSuffix()
{
    static const QString suffix =
        QStringLiteral(".") + QString::fromLatin1(VelumarkDatabase::kPackageExtension);
    return suffix;
}
} // namespace

bool CataloguePath::isPackage(const QString &folder)
{
    const QFileInfo database(QDir(folder).filePath(databaseFileName()));
    return QFileInfo(folder).isDir() && database.isFile();
}

CataloguePath CataloguePath::forOpening(const QString &path)
{
    const QFileInfo info(path);
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    if (!info.exists())
        return {Kind::Missing, absolute};
    if (info.isDir())
        return {isPackage(absolute) ? Kind::Catalogue : Kind::Unknown, absolute};
    if (info.fileName() == databaseFileName() && isPackage(info.absolutePath()))
        return {Kind::Catalogue, QDir::cleanPath(info.absolutePath())};
    if (info.suffix().compare(QLatin1String("vdbi"), Qt::CaseInsensitive) == 0)
        return {Kind::Interchange, absolute};
    return {Kind::Unknown, absolute};
}

QString CataloguePath::withPackageExtension(const QString &path)
{
    if (path.endsWith(packageSuffix(), Qt::CaseInsensitive))
        return path;
    return path + packageSuffix();
}

QString CataloguePath::displayName(const QString &packagePath)
{
    const QString name = QFileInfo(packagePath).fileName();
    if (name.endsWith(packageSuffix(), Qt::CaseInsensitive))
        return name.chopped(packageSuffix().size());
    return name;
}

} // namespace velumark::editing
