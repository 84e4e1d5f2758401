#pragma once

#include "document/VelumarkDatabase.h"
#include "store/VelumarkUtility.h"
#include "support/SampleCatalogue.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace velumark::test {

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
    void TearDown() override { VelumarkUtility::clearFixedNow(); }

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
    static QDateTime local(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0)); }

    QTemporaryDir folder;
    QString packagePath;
    std::unique_ptr<SampleCatalogue> catalogue;
    VelumarkDatabase *document = nullptr;
};

} // namespace velumark::test
