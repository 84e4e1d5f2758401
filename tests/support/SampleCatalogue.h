#pragma once

#include "document/VelumarkDatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace velumark::test {

// The record of that title or company in an open document, or null.
Artwork *artworkTitled(const VelumarkDatabase &document, const QString &title);
Client *clientNamed(const VelumarkDatabase &document, const QString &company);

// A document on a new package inside a temporary folder, with helpers that add records
// through the document's own operations.
class SampleCatalogue
{
public:
    explicit SampleCatalogue(const QString &name = QStringLiteral("Studio"));
    ~SampleCatalogue();

    VelumarkDatabase &document() { return *m_document; }
    const QString &packagePath() const { return m_packagePath; }
    QString folderPath(const QString &name) const { return m_folder.filePath(name); }
    bool isValid() const { return m_valid; }

    Artwork *addArtwork(const QString &title, const QString &artist = {}, const QString &medium = {});
    Client *addClient(const QString &company);
    Submission *addSubmission(Artwork *artwork, Client *client, const QDateTime &sent);
    // A photo of the given size, linked to the artwork after its other photos.
    Image *addPhoto(Artwork *artwork, int width = 400, int height = 300);
    Medium *addMedium(const QString &name);
    Artist *addArtist(const QString &name);

    // Closes and opens the package again.
    void reopen();
    qint64 count(const char *table);

    // Two artworks (one with two photos), two clients, three submissions, an extra medium
    // "Encaustic" and an artist "ann lee" written in lower case.
    void fillWithSamples();

private:
    QTemporaryDir m_folder;
    QString m_packagePath;
    std::unique_ptr<VelumarkDatabase> m_document;
    bool m_valid = false;
};

} // namespace velumark::test
