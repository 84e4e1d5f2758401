#pragma once

#include "document/VelumarkDatabase.h"
#include "interchange/LongOperation.h"
#include "store/VelumarkUtility.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace velumark::test {

// A document on a new package in a temporary folder, and the means to run an export on it.
class ExportFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VelumarkUtility::setFixedNow(QDateTime(QDate(2024, 6, 11), QTime(15, 30)));
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

    Artwork *addArtwork(const QString &title)
    {
        auto artwork = std::make_unique<Artwork>();
        artwork->setTitle(title);
        return document->addArtwork(std::move(artwork));
    }

    Client *addClient(const QString &company)
    {
        auto client = std::make_unique<Client>();
        client->setCompany(company);
        return document->addClient(std::move(client));
    }

    // The submission is given to `edit` before it is stored.
    template <typename Edit>
    Submission *addSubmission(Artwork *artwork, Client *client, const QDateTime &sent, Edit edit)
    {
        auto submission = std::make_unique<Submission>();
        submission->setArtwork(artwork);
        submission->setArtworkKey(artwork->primaryKey());
        submission->setClient(client);
        submission->setClientKey(client->primaryKey());
        submission->setSendDate(sent);
        edit(*submission);
        return document->addSubmission(std::move(submission));
    }

    // Starts the operation and waits for its end; its result.
    static int runToEnd(LongOperation &operation)
    {
        QSignalSpy finished(&operation, &LongOperation::finished);
        QString error;
        const bool started = operation.start(&error);
        EXPECT_TRUE(started) << error.toStdString();
        if (started && finished.isEmpty()) {
            EXPECT_TRUE(finished.wait(120000));
        }
        return operation.result();
    }

    // The names in a folder, sorted by character code and joined by blanks.
    static std::string entries(const QString &path)
    {
        return QDir(path)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)
            .join(QLatin1Char(' '))
            .toStdString();
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QDateTime local(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0)); }

    QTemporaryDir folder;
    QString packagePath;
    std::unique_ptr<VelumarkDatabase> document;
};

} // namespace velumark::test
