#include "document/DocumentRegistry.h"

#include "document/ArtworkListController.h"
#include "document/DocumentPackage.h"
#include "document/VelumarkDatabase.h"

#include <algorithm>

namespace velumark {

DocumentRegistry &DocumentRegistry::shared()
{
    static DocumentRegistry registry;
    return registry;
}

void DocumentRegistry::registerDatabase(VelumarkDatabase *database)
{
    if (std::find(m_dbArray.begin(), m_dbArray.end(), database) == m_dbArray.end())
        m_dbArray.push_back(database);
    followPreferences();
}

void DocumentRegistry::followPreferences()
{
    AppPreferences &preferences = getPreferences();
    if (m_followed == &preferences)
        return;
    // The connections go with a replaced preferences object.
    m_followed = &preferences;
    QObject::connect(&preferences, &AppPreferences::sortArtworksByArtistChanged, &preferences,
                     [this] { notifyDatabasesOfArtworkReSort(); });
    QObject::connect(&preferences, &AppPreferences::deadlineHighlightingChanged, &preferences,
                     [this] { notifyDatabasesOfDeadlineSetting(); });
}

void DocumentRegistry::deregisterDatabase(VelumarkDatabase *database)
{
    std::erase(m_dbArray, database);
    if (m_mainDocument == database)
        m_mainDocument = nullptr;
}

bool DocumentRegistry::isDatabaseLoaded(const QString &packagePath) const
{
    if (packagePath.isEmpty())
        return false;
    const QString wanted = DocumentPackage::canonicalPath(packagePath);
    return std::any_of(m_dbArray.begin(), m_dbArray.end(), [&](const VelumarkDatabase *database) {
        return !database->packageFilename().isEmpty() &&
               DocumentPackage::canonicalPath(database->packageFilename()) == wanted;
    });
}

void DocumentRegistry::notifyDatabasesOfArtworkReSort()
{
    // The artwork list's sections follow the preference, also while another list is shown.
    for (VelumarkDatabase *database : m_dbArray) {
        database->sortArtwork();
        if (database->currentList() != VelumarkDatabase::ListKind::Artworks)
            database->artworkListController()->refreshData();
        database->refreshData();
    }
}

void DocumentRegistry::notifyDatabasesOfDeadlineSetting()
{
    for (VelumarkDatabase *database : m_dbArray)
        database->refreshData();
}

} // namespace velumark
