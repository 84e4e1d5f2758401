#include "gui/shell/CatalogueDocument.h"

#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "editing/CataloguePath.h"
#include "store/Localization.h"
#include "store/StandardFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace velumark::gui {

namespace {
constexpr int kMostUntitledNames = 1000;

bool freeForUntitled(const QString &packagePath)
{
    if (packagePath.isEmpty() || DocumentRegistry::shared().isDatabaseLoaded(packagePath))
        return false;
    return !QFileInfo::exists(packagePath) || DocumentPackage::lock(packagePath).ok();
}
} // namespace

CatalogueDocument::CatalogueDocument(std::unique_ptr<VelumarkDatabase> database)
    : m_database(std::move(database))
{}

CatalogueDocument::~CatalogueDocument()
{
    const QString package = packagePath();
    const bool discard = m_discard && isUntitled();
    m_database.reset();
    if (discard)
        QDir(package).removeRecursively();
}

Result<std::unique_ptr<CatalogueDocument>> CatalogueDocument::open(const QString &packagePath)
{
    auto database = std::make_unique<VelumarkDatabase>();
    if (const Result<> opened = database->readFromURL(packagePath); !opened)
        return Failure{opened.message()};
    return std::unique_ptr<CatalogueDocument>(new CatalogueDocument(std::move(database)));
}

Result<std::unique_ptr<CatalogueDocument>> CatalogueDocument::openUntitled()
{
    for (int number = 1; number <= kMostUntitledNames; ++number) {
        const QString name = number == 1 ? localized("Untitled") : localized("Untitled %1").arg(number);
        const QString path = DocumentPackage::untitledPackagePath(name);
        if (!freeForUntitled(path))
            continue;
        const bool leftOver = QFileInfo::exists(path);
        auto database = std::make_unique<VelumarkDatabase>();
        const Result<> opened = database->openUntitled(name);
        if (opened)
            return std::unique_ptr<CatalogueDocument>(new CatalogueDocument(std::move(database)));
        // A damaged package left by an earlier run stays for the user to look at; the next name
        // serves. A new package that cannot be made means the folder itself is unusable.
        if (!leftOver)
            return Failure{opened.message()};
    }
    return Failure{localized("No name is free for a new untitled catalogue in %1.")
                       .arg(QDir::toNativeSeparators(StandardFolders::applicationDataFolder()))};
}

QString CatalogueDocument::packagePath() const
{
    return m_database->packageFilename();
}

QString CatalogueDocument::displayName() const
{
    return editing::CataloguePath::displayName(packagePath());
}

bool CatalogueDocument::isUntitled() const
{
    return m_database->unsavedDocument();
}

Result<> CatalogueDocument::save()
{
    return m_database->saveChanges();
}

Result<> CatalogueDocument::saveAs(const QString &targetPackagePath, ExistingCatalogue existing)
{
    const QString previous = packagePath();
    const bool wasUntitled = isUntitled();
    if (const Result<> saved = m_database->writeSafelyToURL(targetPackagePath, existing); !saved)
        return saved;
    if (wasUntitled && !DocumentPackage::samePath(previous, packagePath()))
        QDir(previous).removeRecursively();
    return {};
}

Result<> CatalogueDocument::close()
{
    return m_database->close();
}

void CatalogueDocument::becomeMain()
{
    DocumentRegistry::shared().registerAsMainDocument(m_database.get());
}

} // namespace velumark::gui
