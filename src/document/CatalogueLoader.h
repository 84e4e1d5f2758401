#pragma once

#include "document/CatalogueContents.h"
#include "store/Result.h"

#include <QString>
#include <functional>
#include <unordered_map>

namespace velumark {

// Loads a catalogue database into linked records, sorted as the lists show them: the version row
// (written for a new file), the upgrade of an older file, every table, the defaults of a new or
// upgraded file, then the links of the submissions and images to their artworks and clients.
// Everything it writes is one transaction, kept only when the whole load worked. It touches
// nothing outside what it makes, so any one thread may run it: the document's open runs it on
// the main thread, an import on its worker, and the document takes the result over.
class CatalogueLoader
{
public:
    struct Settings
    {
        QString databasePath;
        // The folder of the images' picture files.
        QString packagePath;
        // When not empty, the load writes nothing (rows it would delete are only left out) and a
        // load that cannot do without writing fails with this text.
        QString writeRefusal;
        // The creation date becomes now (a file just made from the template).
        bool writeCreationDate = false;
        // A file just made from the template gets the default mediums.
        bool addMediums = false;
        CatalogueOrder order;
        // Called between the steps with how far the load is (0 to 1); returning false stops it.
        std::function<bool(double)> progress;
    };

    explicit CatalogueLoader(Settings settings);

    // The contents with their own connection (read-only when writes are refused), or why not.
    Result<CatalogueLoad> load();

    // A connection to a catalogue database, with the document's page cache.
    static Result<std::unique_ptr<SqliteConnection>> connect(const QString &databasePath, bool readOnly);

private:
    Result<> initializeDatabase();
    Result<> readVersionRow();
    Result<> loadRecords();
    void sortRecords();
    void addDefaultMediumsToDatabase();
    void addDefaultArtistsToDatabase();
    void mapUpgradedImages();
    void mapSubmissionsAndImages();
    void linkSubmissions(const std::unordered_map<qint64, Artwork *> &artworkByKey,
                         const std::unordered_map<qint64, Client *> &clientByKey);
    void linkImages(const std::unordered_map<qint64, Artwork *> &artworkByKey);
    // The images owned by nothing: their rows go with the load, their files once it is taken over.
    void dropUnownedImages();
    // Deletes the image's row and keeps the image for the removal of its files.
    void dropImage(Image *image);
    bool reportProgress(double fraction) const;
    bool readOnly() const { return !m_settings.writeRefusal.isEmpty(); }

    Settings m_settings;
    CatalogueLoad m_load;
    OwnedRecords<Image> m_unownedImages;
    bool m_addArtists = false;
    bool m_mapUpgradedImages = false;
};

} // namespace velumark
