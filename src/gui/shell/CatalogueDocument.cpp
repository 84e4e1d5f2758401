#include "gui/shell/CatalogueDocument.h"

#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "editing/CataloguePath.h"
#include "store/Localization.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFileInfo>

namespace velumark::gui {

namespace {
constexpr int kMostUntitledNames = 1000;

bool freeForUntitled(const QString &packagePath)
{
    if (packagePath.isEmpty() || DocumentRegistry::shared().isDatabaseLoaded(packagePath))
        return false;
    return !QFileInfo::exists(packagePath) || DocumentPackage::lock(packagePath, nullptr) != nullptr;
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

std::unique_ptr<CatalogueDocument> CatalogueDocument::open(const QString &packagePath, QString *error)
{
    auto database = std::make_unique<VelumarkDatabase>();
    if (!database->readFromURL(packagePath, error))
        return nullptr;
    return std::unique_ptr<CatalogueDocument>(new CatalogueDocument(std::move(database)));
}

std::unique_ptr<CatalogueDocument> CatalogueDocument::openUntitled(QString *error)
{
    for (int number = 1; number <= kMostUntitledNames; ++number) {
        const QString name = number == 1 ? localized("Untitled") : localized("Untitled %1").arg(number);
        const QString path = DocumentPackage::untitledPackagePath(name);
        if (!freeForUntitled(path))
            continue;
        const bool leftOver = QFileInfo::exists(path);
        auto database = std::make_unique<VelumarkDatabase>();
        if (database->openUntitled(name, error))
            return std::unique_ptr<CatalogueDocument>(new CatalogueDocument(std::move(database)));
        // A damaged package left by an earlier run stays for the user to look at; the next name
        // serves. A new package that cannot be made means the folder itself is unusable.
        if (!leftOver)
            return nullptr;
    }
    if (error)
        *error = localized("No name is free for a new untitled catalogue in %1.")
                     .arg(QDir::toNativeSeparators(VelumarkUtility::applicationDataFolder()));
    return nullptr;
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

bool CatalogueDocument::save(QString *error)
{
    return m_database->saveChanges(error);
}

bool CatalogueDocument::saveAs(const QString &targetPackagePath, ExistingCatalogue existing, QString *error)
{
    const QString previous = packagePath();
    const bool wasUntitled = isUntitled();
    if (!m_database->writeSafelyToURL(targetPackagePath, error, existing))
        return false;
    if (wasUntitled && !DocumentPackage::samePath(previous, packagePath()))
        QDir(previous).removeRecursively();
    return true;
}

bool CatalogueDocument::close(QString *error)
{
    return m_database->close(error);
}

void CatalogueDocument::becomeMain()
{
    DocumentRegistry::shared().registerAsMainDocument(m_database.get());
}

} // namespace velumark::gui
