#include "document/CatalogueContents.h"

namespace velumark {

void CatalogueContents::useConnection(std::unique_ptr<SqliteConnection> connection)
{
    auto reopenAll = [db = connection.get()](auto &records) {
        for (auto &record : records)
            record->reopen(db);
    };
    reopenAll(artworks);
    reopenAll(clients);
    reopenAll(submissions);
    reopenAll(mediums);
    reopenAll(artists);
    reopenAll(images);
    database = std::move(connection);
}

void CatalogueContents::clearRecords()
{
    for (auto &artwork : artworks) {
        artwork->clearSubmissions();
        artwork->clearImages();
    }
    for (auto &client : clients)
        client->clearSubmissions();
    availableArtworks.clear();
    availableClients.clear();
    submissions.clear();
    artworks.clear();
    clients.clear();
    mediums.clear();
    artists.clear();
    images.clear();
}

} // namespace velumark
