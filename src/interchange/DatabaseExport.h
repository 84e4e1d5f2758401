#pragma once

#include "document/OperationClaim.h"
#include "document/PackageDestination.h"
#include "interchange/LongOperation.h"
#include "interchange/OperationFolder.h"
#include "interchange/TransferScope.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace velumark {

class Image;
class SqliteConnection;
class VelumarkDatabase;

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
    DatabaseExport(VelumarkDatabase &document, QString destination, TransferScope scope,
                   ExistingCatalogue existing = ExistingCatalogue::Keep, QObject *parent = nullptr);
    ~DatabaseExport() override;

    const QString &destination() const { return m_destination; }
    static bool isInterchangePath(const QString &path);

protected:
    Result<> prepare() override;
    Result<> run() override;
    Result<> finish(Result<> outcome) override;

private:
    Result<> checkDestination() const;
    Result<> writeHeader(const QString &copy) const;
    // The copy reduced to the scope (or compacted for the complete scope).
    Result<> reduceToScope(const QString &copy) const;
    Result<> putPicturesIntoBlobs(const QString &copy);
    Result<> writeInterchangeFile(const QString &copy);
    Result<> writePackage(const QString &copy);
    Result<> copyPictures(const QString &copy, const QString &staging);
    // Worker: remembers the image's files that could not be read, unless its row holds its pictures.
    void noteUnreadable(SqliteConnection &copy, const Image &image, const QStringList &files);

    VelumarkDatabase &m_document;
    QString m_destination;
    TransferScope m_scope;
    ExistingCatalogue m_existing;
    bool m_interchange;
    OperationClaim m_claim;
    // The export header of the version row, taken on the main thread.
    struct Header
    {
        qint64 versionKey = -1;
        QDateTime exportDate;
        qint64 counts[6] = {}; // artworks, clients, submissions, mediums, artists, images
    };
    Header m_header;
    QString m_databasePath;
    QString m_packagePath;
    OperationFolder m_folder;
    QStringList m_unreadablePhotos;
};

} // namespace velumark
