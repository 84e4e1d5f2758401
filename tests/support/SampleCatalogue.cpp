#include "support/SampleCatalogue.h"

#include "support/LegacyDatabases.h"
#include "support/Succeeded.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace velumark::test {

Artwork *artworkTitled(const VelumarkDatabase &document, const QString &title)
{
    const auto &artworks = document.artworks();
    const auto found = std::find_if(artworks.begin(), artworks.end(),
                                    [&title](const auto &artwork) { return artwork->title() == title; });
    return found == artworks.end() ? nullptr : found->get();
}

Client *clientNamed(const VelumarkDatabase &document, const QString &company)
{
    const auto &clients = document.clients();
    const auto found = std::find_if(clients.begin(), clients.end(),
                                    [&company](const auto &client) { return client->company() == company; });
    return found == clients.end() ? nullptr : found->get();
}

SampleCatalogue::SampleCatalogue(const QString &name)
    : m_packagePath(m_folder.filePath(name + QStringLiteral(".vdb"))),
      m_document(std::make_unique<VelumarkDatabase>())
{
    const Result<> opened = m_document->readFromURL(m_packagePath);
    m_valid = opened.ok();
    EXPECT_TRUE(succeeded(opened));
}

SampleCatalogue::~SampleCatalogue()
{
    if (m_document && m_document->isOpen())
        (void)m_document->close();
}

Artwork *SampleCatalogue::addArtwork(const QString &title, const QString &artist, const QString &medium)
{
    auto artwork = std::make_unique<Artwork>();
    artwork->setTitle(title);
    artwork->setArtist(artist);
    artwork->setMedium(medium);
    return m_document->addArtwork(std::move(artwork));
}

Client *SampleCatalogue::addClient(const QString &company)
{
    auto client = std::make_unique<Client>();
    client->setCompany(company);
    return m_document->addClient(std::move(client));
}

Submission *SampleCatalogue::addSubmission(Artwork *artwork, Client *client, const QDateTime &sent)
{
    auto submission = std::make_unique<Submission>();
    submission->setArtwork(artwork);
    submission->setArtworkKey(artwork ? artwork->primaryKey() : 0);
    submission->setClient(client);
    submission->setClientKey(client ? client->primaryKey() : 0);
    submission->setSendDate(sent);
    return m_document->addSubmission(std::move(submission));
}

Image *SampleCatalogue::addPhoto(Artwork *artwork, int width, int height)
{
    auto image = std::make_unique<Image>();
    image->setLinkedType(Image::kOwnerArtwork);
    image->setLinkedKey(artwork->primaryKey());
    image->setTagValue(static_cast<qint64>(artwork->images().size()) + 1);
    image->setCaption(
        QStringLiteral("Photo %1 of %2").arg(artwork->images().size() + 1).arg(artwork->title()));
    image->setPhoto(QImage::fromData(jpegBytes(width, height)));
    Image *added = m_document->addImage(std::move(image));
    artwork->addImage(added, -1);
    return added;
}

Medium *SampleCatalogue::addMedium(const QString &name)
{
    auto medium = std::make_unique<Medium>();
    medium->setName(name);
    Medium *added = m_document->addMedium(std::move(medium));
    m_document->updateMedium();
    return added;
}

Artist *SampleCatalogue::addArtist(const QString &name)
{
    auto artist = std::make_unique<Artist>();
    artist->setName(name);
    Artist *added = m_document->addArtist(std::move(artist));
    m_document->updateArtist();
    return added;
}

void SampleCatalogue::reopen()
{
    ASSERT_TRUE(succeeded(m_document->close()));
    m_document = std::make_unique<VelumarkDatabase>();
    ASSERT_TRUE(succeeded(m_document->readFromURL(m_packagePath)));
}

qint64 SampleCatalogue::count(const char *table)
{
    auto statement =
        m_document->database()->prepare(QByteArray("SELECT count(*) FROM ").append(table).constData());
    return statement && statement->step() == SqliteStatement::Step::Row ? statement->columnInt64(0) : -1;
}

void SampleCatalogue::fillWithSamples()
{
    Artwork *harbour =
        addArtwork(QStringLiteral("Harbour at Dusk"), QStringLiteral("ann lee"), QStringLiteral("Oil"));
    harbour->setNotes(QStringLiteral("Varnished, framed."));
    harbour->setPrice(1200);
    addPhoto(harbour, 800, 600);
    addPhoto(harbour, 600, 800);
    Artwork *dunes =
        addArtwork(QStringLiteral("Dunes"), QStringLiteral("Bob Marsh"), QStringLiteral("Encaustic"));
    Client *north = addClient(QStringLiteral("Gallery North"));
    Client *fair = addClient(QStringLiteral("Art Fair"));
    Submission *sold = addSubmission(harbour, north, QDateTime(QDate(2021, 3, 1), QTime(0, 0)));
    sold->setResponseReceived(1);
    sold->setSubmissionState(1);
    sold->setIncome(950);
    addSubmission(dunes, north, QDateTime(QDate(2022, 5, 1), QTime(0, 0)));
    addSubmission(harbour, fair, QDateTime(QDate(2023, 1, 10), QTime(0, 0)));
    addMedium(QStringLiteral("Encaustic"));
    addArtist(QStringLiteral("ann lee"));
    EXPECT_TRUE(succeeded(m_document->saveChanges()));
}

} // namespace velumark::test
