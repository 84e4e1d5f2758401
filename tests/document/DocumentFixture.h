#pragma once

#include "document/ArtworkListController.h"
#include "document/VelumarkDatabase.h"
#include "store/Clock.h"
#include "support/SampleCatalogue.h"
#include "support/Succeeded.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace velumark::test {

// The records a list shows, in row order.
template <typename T> std::vector<T *> shown(const RecordList &list)
{
    std::vector<T *> rows;
    for (qsizetype row = 0; row < list.rowCount(); ++row)
        rows.push_back(static_cast<T *>(list.recordAt(row)));
    return rows;
}

// A document on a new package, with the sample catalogue's helpers, and a folder for other files.
class DocumentFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        catalogue = std::make_unique<SampleCatalogue>();
        ASSERT_TRUE(catalogue->isValid());
        document = &catalogue->document();
        packagePath = catalogue->packagePath();
    }
    void TearDown() override { Clock::clearFixedNow(); }

    // Closes the document and opens the package again in a new document object.
    void reopen()
    {
        catalogue->reopen();
        document = &catalogue->document();
    }
    qint64 count(const char *table) { return catalogue->count(table); }
    Artwork *addArtwork(const QString &title, const QString &artist = {})
    {
        return catalogue->addArtwork(title, artist);
    }
    Client *addClient(const QString &company) { return catalogue->addClient(company); }
    Submission *addSubmission(Artwork *artwork, Client *client, const QDateTime &sent)
    {
        return catalogue->addSubmission(artwork, client, sent);
    }
    // A submission with a due date, added through the document so that it counts as overdue.
    Submission *addDueSubmission(Artwork *artwork, Client *client, const QDateTime &sent,
                                 const QDateTime &due)
    {
        auto submission = std::make_unique<Submission>();
        submission->setArtwork(artwork);
        submission->setArtworkKey(artwork->primaryKey());
        submission->setClient(client);
        submission->setClientKey(client->primaryKey());
        submission->setSendDate(sent);
        submission->setValidDueDate(true);
        submission->setResponseDueDate(due);
        return document->addSubmission(std::move(submission));
    }
    static QDateTime local(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0)); }
    QString shownTitles() const { return titles(shown<Artwork>(*document->artworkListController())); }
    // The titles of artworks, joined by commas.
    static QString titles(const std::vector<Artwork *> &list)
    {
        QStringList result;
        for (const Artwork *artwork : list)
            result << artwork->title();
        return result.join(QLatin1Char(','));
    }

    QTemporaryDir folder;
    QString packagePath;
    std::unique_ptr<SampleCatalogue> catalogue;
    VelumarkDatabase *document = nullptr;
};

} // namespace velumark::test
