#pragma once

#include "document/DocumentFixture.h"
#include "interchange/LongOperation.h"
#include "support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

namespace velumark::test {

// A document on a new package at a fixed moment, and the means to run an export on it; the exports
// write into the package's folder.
class ExportFixture : public DocumentFixture
{
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        Clock::setFixedNow(QDateTime(QDate(2024, 6, 11), QTime(15, 30)));
        packageFolder.setPath(QFileInfo(packagePath).absolutePath());
    }

    // `edit` is given the stored submission; the document writes it with its other edits.
    template <typename Edit>
    Submission *addSubmission(Artwork *artwork, Client *client, const QDateTime &sent, Edit edit)
    {
        Submission *submission = catalogue->addSubmission(artwork, client, sent);
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

    QDir packageFolder;
};

} // namespace velumark::test
