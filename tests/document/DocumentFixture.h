#pragma once

#include "document/VelumarkDatabase.h"
#include "store/VelumarkUtility.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace velumark::test {

// A document on a new package in a temporary folder.
class DocumentFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        packagePath = folder.filePath(QStringLiteral("Studio.vdb"));
        document = std::make_unique<VelumarkDatabase>();
        QString error;
        ASSERT_TRUE(document->readFromURL(packagePath, &error)) << error.toStdString();
    }
    void TearDown() override { VelumarkUtility::clearFixedNow(); }

    // Closes the document and opens the package again in a new document object.
    void reopen()
    {
        QString error;
        ASSERT_TRUE(document->close(&error)) << error.toStdString();
        document = std::make_unique<VelumarkDatabase>();
        ASSERT_TRUE(document->readFromURL(packagePath, &error)) << error.toStdString();
    }

    qint64 count(const char *table)
    {
        auto statement = document->database()->prepare(QByteArray("SELECT count(*) FROM ").append(table).constData());
        return statement && statement->step() == SqliteStatement::Step::Row ? statement->columnInt64(0) : -1;
    }

    Artwork *addArtwork(const QString &title, const QString &artist = {})
    {
        auto artwork = std::make_unique<Artwork>();
        artwork->setTitle(title);
        artwork->setArtist(artist);
        return document->addArtwork(std::move(artwork));
    }

    Client *addClient(const QString &company)
    {
        auto client = std::make_unique<Client>();
        client->setCompany(company);
        return document->addClient(std::move(client));
    }

    Submission *addSubmission(Artwork *artwork, Client *client, const QDateTime &sent)
    {
        auto submission = std::make_unique<Submission>();
        submission->setArtwork(artwork);
        submission->setArtworkKey(artwork ? artwork->primaryKey() : 0);
        submission->setClient(client);
        submission->setClientKey(client ? client->primaryKey() : 0);
        submission->setSendDate(sent);
        return document->addSubmission(std::move(submission));
    }

    static QDateTime local(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0)); }

    QTemporaryDir folder;
    QString packagePath;
    std::unique_ptr<VelumarkDatabase> document;
};

} // namespace velumark::test
