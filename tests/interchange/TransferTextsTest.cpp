#include "interchange/device/TransferAlert.h"
#include "interchange/device/TransferProgress.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace velumark;

TEST(TransferAlert, TextsAndUploadErrorNumbers)
{
    const std::pair<std::optional<qint64>, qint64> numbers[] = {
        {std::nullopt, 104}, {100, 104}, {101, 101}, {150, 150},
        {199, 199},          {200, 104}, {0, 104},   {-103, 104}};
    for (const auto &[code, number] : numbers) {
        const auto error = code ? std::optional(TransferError{*code, QStringLiteral("x")}) : std::nullopt;
        EXPECT_EQ(TransferAlert::uploadErrorNumber(error), number) << code.value_or(-1);
    }

    // The alerts of a finished push or pull, and of a refused upload, are seen whole in the
    // device browser's tests.
    const QString error = QStringLiteral("Error transferring database!\n\n(%1)");
    EXPECT_EQ(TransferAlert::uploadFailed(TransferError{100, QStringLiteral("File read error")}).text,
              error.arg(QStringLiteral("104 - File read error")));
    EXPECT_EQ(TransferAlert::uploadFailed(std::nullopt).text, error.arg(QStringLiteral("104 - ?")));
    EXPECT_EQ(TransferAlert::downloadFailed(TransferError{5, QStringLiteral("Connection refused")}).text,
              error.arg(QStringLiteral("Connection refused")));
    EXPECT_EQ(TransferAlert::downloadFailed(std::nullopt).text, error.arg(QStringLiteral("?")));

    EXPECT_FALSE(TransferAlert::importFinished(OperationResult::Cancelled))
        << "a cancelled import shows nothing";
    {
        const auto alert = TransferAlert::importFinished(OperationResult::Failed);
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->title, QStringLiteral("Import Error"));
        EXPECT_EQ(alert->text,
                  QStringLiteral("An error occurred during the import! Database import was aborted "
                                 "and no changes were made."));
    }
}

TEST(TransferProgress, ImportIsHalfDownloadHalfImport)
{
    TransferProgress progress;
    progress.beginImport();
    EXPECT_EQ(progress.title(), QStringLiteral("Importing Database"));
    EXPECT_EQ(progress.value(), 0);
    const std::pair<double, double> download[] = {{0, 0}, {40, 20}, {100, 50}, {-5, 0}, {250, 50}, {NAN, 0}};
    for (const auto &[percent, shown] : download) {
        progress.downloadProgressUpdate(percent);
        EXPECT_EQ(progress.value(), shown) << percent;
    }
    progress.downloadProgressUpdate(10);
    progress.downloadDidFinish();
    EXPECT_EQ(progress.value(), 50) << "a download of unknown length jumps to half when done";
    const std::pair<double, double> import[] = {{0, 50},  {50, 75},  {100, 100},
                                                {-1, 50}, {NAN, 50}, {101, 100}};
    for (const auto &[percent, shown] : import) {
        progress.importProgressUpdate(percent);
        EXPECT_EQ(progress.value(), shown) << percent;
    }

    progress.beginExport();
    EXPECT_EQ(progress.title(), QStringLiteral("Exporting Database"));
    EXPECT_EQ(progress.value(), 0);
    progress.uploadProgressUpdate(30);
    EXPECT_EQ(progress.value(), 30);
    progress.uploadDidFinish();
    EXPECT_EQ(progress.value(), 100);
}
