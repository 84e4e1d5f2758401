#pragma once

#include "document/PackageDestination.h"
#include "interchange/LongOperation.h"
#include "interchange/OperationFolder.h"

#include <QString>
#include <QStringList>

namespace velumark {

class Image;
class SqliteConnection;
class VelumarkDatabase;

// Export scopes (shared with imports): what a transfer carries.
namespace ExportScope {
constexpr int Complete = 0;           // artworks, clients, submissions, mediums, artists, images
constexpr int ArtworksAndClients = 1; // with the artworks' images, without submissions
constexpr int Artworks = 2;           // with their images
constexpr int Clients = 3;
inline bool isValid(int scope)
{
    return scope >= Complete && scope <= Clients;
}
} // namespace ExportScope

// Writes the document's data to an interchange file (".vdbi": pictures in blobs, the export
// header in the version row) or to another document package (".vdb": the database and the
// picture files), reduced to a scope. The destination appears only when it is complete; a
// cancelled or failed export leaves whatever was there before. A package destination follows the
// rules of PackageDestination. Photo files that cannot be read are left out, and the end's message
// names them with the reason.
class DatabaseExport : public LongOperation
{
    Q_OBJECT
public:
    DatabaseExport(VelumarkDatabase &document, QString destination, int scope,
                   ExistingCatalogue existing = ExistingCatalogue::Keep, QObject *parent = nullptr);
    ~DatabaseExport() override;

    const QString &destination() const { return m_destination; }
    static bool isInterchangePath(const QString &path);

protected:
    bool prepare(QString *error) override;
    Outcome run() override;
    Outcome finish(Outcome outcome) override;

private:
    static Outcome failed(const QString &message) { return {OperationResult::Failed, message}; }
    static Outcome cancelled() { return {OperationResult::Cancelled, {}}; }
    bool writeHeader(QString *error);
    Outcome putPicturesIntoBlobs(const QString &copy);
    Outcome writeInterchangeFile(const QString &copy);
    Outcome writePackage(const QString &copy);
    Outcome copyPictures(const QString &copy, const QString &staging);
    // Worker: remembers the image's files that could not be read, unless its row holds its pictures.
    void noteUnreadable(SqliteConnection &copy, const Image &image, const QStringList &files);

    VelumarkDatabase &m_document;
    QString m_destination;
    int m_scope;
    ExistingCatalogue m_existing;
    bool m_interchange;
    bool m_began = false;
    QString m_databasePath;
    QString m_packagePath;
    OperationFolder m_folder;
    QStringList m_unreadablePhotos;
};

} // namespace velumark
