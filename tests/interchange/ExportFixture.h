#pragma once

#include "interchange/LongOperation.h"
#include "store/Clock.h"
#include "support/SampleCatalogue.h"
#include "support/Succeeded.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace velumark::test {

// A document on a new package in a temporary folder, and the means to run an export on it.
class ExportFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixedNow(QDateTime(QDate(2024, 6, 11), QTime(15, 30)));
        ASSERT_TRUE(sample.isValid());
    }
    void TearDown() override { Clock::clearFixedNow(); }

    void reopen()
    {
        sample.reopen();
        document = &sample.document();
    }
    Artwork *addArtwork(const QString &title, const QString &artist = {})
    {
        return sample.addArtwork(title, artist);
    }
    Client *addClient(const QString &company) { return sample.addClient(company); }

    // `edit` is given the stored submission; the document writes it with its other edits.
    template <typename Edit>
    Submission *addSubmission(Artwork *artwork, Client *client, const QDateTime &sent, Edit edit)
    {
        Submission *submission = sample.addSubmission(artwork, client, sent);
        edit(*submission);
        document->updateSubmission(submission);
        return submission;
    }

    // Starts the operation and waits for its end; its result.
    static OperationResult runToEnd(LongOperation &operation)
    {
        QSignalSpy finished(&operation, &LongOperation::finished);
        const Result<> started = operation.start();
        EXPECT_TRUE(succeeded(started));
        if (started && finished.isEmpty()) {
            EXPECT_TRUE(finished.wait(120000));
        }
        return operation.result();
    }

    // Cancels the operation on its worker at its first progress of `percent` or more, so that the
    // moment is certain.
    static void cancelFrom(LongOperation &operation, double percent)
    {
        QObject::connect(
            &operation, &LongOperation::progress, &operation,
            [&operation, percent](double done) {
                if (done >= percent)
                    operation.abort();
            },
            Qt::DirectConnection);
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

    SampleCatalogue sample;
    VelumarkDatabase *document = &sample.document();
    const QDir folder{QFileInfo(sample.packagePath()).absolutePath()};
};

} // namespace velumark::test
