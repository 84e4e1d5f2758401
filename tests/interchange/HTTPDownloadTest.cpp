#include "interchange/device/HTTPDownload.h"

#include "TransferTestSupport.h"
#include "reference-peer/ReferencePeer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace velumark;
using velumark::peer::PeerOptions;
using velumark::peer::ReferencePeer;
using velumark::test::TransferRecord;

namespace {

class HTTPDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("device")));
        m_content = test::writePatternFile(m_dir.filePath(QStringLiteral("device/velumark.vdbi")), 300001);
        ASSERT_EQ(m_content.size(), 300001);
    }

    QString destination() const { return m_dir.filePath(QStringLiteral("temp_velumark_import.db")); }

    // A device in Backup Database mode, serving velumark.vdbi.
    ReferencePeer &startPeer(PeerOptions options = {})
    {
        options.mode = 0;
        options.folder = m_dir.filePath(QStringLiteral("device"));
        m_peer = std::make_unique<ReferencePeer>(options);
        EXPECT_TRUE(m_peer->listen()) << qPrintable(m_peer->errorString());
        return *m_peer;
    }

    QUrl fileUrl(const QString &name) const
    {
        QUrl url = m_peer->baseUrl();
        url.setPath(QLatin1Char('/') + name);
        return url;
    }

    // Downloads into the destination and waits for the end.
    void download(HTTPDownload &downloader, TransferRecord &record, const QUrl &url)
    {
        downloader.downloadURL(url, destination());
        EXPECT_TRUE(test::waitUntil([&] { return record.ended(); }));
    }

    QTemporaryDir m_dir;
    QByteArray m_content;
    std::unique_ptr<ReferencePeer> m_peer;
};

} // namespace

TEST_F(HTTPDownloadTest, DownloadsTheFileWithProgress)
{
    startPeer();
    // Whatever was at the destination is replaced.
    test::writePatternFile(destination(), 999999);

    TransferRecord record;
    HTTPDownload downloader;
    test::record(downloader, record);
    download(downloader, record, fileUrl(QStringLiteral("velumark.vdbi")));

    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    EXPECT_EQ(record.failedCount, 0);
    EXPECT_FALSE(downloader.isDownloading());
    EXPECT_TRUE(test::readWholeFile(destination()) == m_content);
    ASSERT_FALSE(record.progress.isEmpty());
    EXPECT_TRUE(record.progressIsOrderly());
    EXPECT_DOUBLE_EQ(record.progress.last(), 100.0);
}

TEST_F(HTTPDownloadTest, WithoutAUsableLengthThereIsNoProgress)
{
    {
        PeerOptions options;
        options.omitContentLength = true;
        startPeer(options);
        TransferRecord record;
        HTTPDownload downloader;
        test::record(downloader, record);
        download(downloader, record, fileUrl(QStringLiteral("velumark.vdbi")));

        EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
        EXPECT_TRUE(record.progress.isEmpty());
        EXPECT_TRUE(test::readWholeFile(destination()) == m_content);
    }
    {
        // A length of 0 must not be divided by.
        ASSERT_TRUE(
            QFile(m_dir.filePath(QStringLiteral("device/velumark_clients.vdbi"))).open(QIODevice::WriteOnly));
        startPeer();
        TransferRecord record;
        HTTPDownload downloader;
        test::record(downloader, record);
        download(downloader, record, fileUrl(QStringLiteral("velumark_clients.vdbi")));

        EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
        EXPECT_TRUE(record.progress.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(destination()));
        EXPECT_EQ(QFileInfo(destination()).size(), 0);
    }
}

TEST_F(HTTPDownloadTest, IncompleteDownloadsFailAndLeaveNoFile)
{
    struct Case
    {
        const char *what;
        PeerOptions options;
        QString file;
        QString message;
    };
    PeerOptions truncated;
    truncated.truncateAt = 100000;
    PeerOptions cut;
    cut.cutAfterBytes = 150000;
    PeerOptions refused;
    refused.forcedStatus = 503;
    const QList<Case> cases{
        {"a file cut short with a clean close", truncated, QStringLiteral("velumark.vdbi"), {}},
        {"a broken connection", cut, QStringLiteral("velumark.vdbi"), {}},
        {"a file the device does not have",
         {},
         QStringLiteral("velumark_clients.vdbi"),
         QStringLiteral("HTTP error 404")},
        {"an error status with a body", refused, QStringLiteral("velumark.vdbi"),
         QStringLiteral("HTTP error 503")},
    };
    for (const Case &c : cases) {
        startPeer(c.options);
        TransferRecord record;
        HTTPDownload downloader;
        test::record(downloader, record);
        download(downloader, record, fileUrl(c.file));

        EXPECT_EQ(record.failedCount, 1) << c.what;
        EXPECT_EQ(record.finishedCount, 0) << c.what;
        EXPECT_FALSE(record.message.isEmpty()) << c.what;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(record.message, c.message) << c.what;
        }
        EXPECT_FALSE(QFileInfo::exists(destination())) << c.what;
        EXPECT_TRUE(record.progressIsOrderly()) << c.what;
        if (!record.progress.isEmpty()) {
            EXPECT_LT(record.progress.last(), 100.0) << c.what;
        }
    }
}

TEST_F(HTTPDownloadTest, FailuresBeforeAnyTransferAreReportedLater)
{
    startPeer();
    {
        // The destination's folder is missing.
        TransferRecord record;
        HTTPDownload downloader;
        test::record(downloader, record);
        downloader.downloadURL(fileUrl(QStringLiteral("velumark.vdbi")),
                               m_dir.filePath(QStringLiteral("no/such.db")));
        EXPECT_FALSE(record.ended()) << "reported before downloadURL returned";
        ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));
        EXPECT_EQ(record.failedCount, 1);
        EXPECT_TRUE(record.message.contains(QStringLiteral("no/such.db"))) << qPrintable(record.message);
    }
    {
        // Nobody listens.
        const QUrl url = fileUrl(QStringLiteral("velumark.vdbi"));
        m_peer.reset();
        TransferRecord record;
        HTTPDownload downloader;
        test::record(downloader, record);
        download(downloader, record, url);
        EXPECT_EQ(record.failedCount, 1);
        EXPECT_FALSE(record.message.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(destination()));
    }
}

TEST_F(HTTPDownloadTest, AbortStopsSilentlyAndRemovesThePartialFile)
{
    PeerOptions slow;
    slow.chunkDelayMs = 50;
    startPeer(slow);

    TransferRecord record;
    HTTPDownload downloader;
    test::record(downloader, record);
    downloader.downloadURL(fileUrl(QStringLiteral("velumark.vdbi")), destination());
    ASSERT_TRUE(test::waitUntil([&] { return !record.progress.isEmpty(); }));
    EXPECT_TRUE(QFileInfo::exists(destination()));
    downloader.abortDownload();
    EXPECT_FALSE(downloader.isDownloading());
    EXPECT_FALSE(QFileInfo::exists(destination()));
    EXPECT_FALSE(test::waitUntil([&] { return record.ended(); }, 300)) << "an aborted download reported";

    // The downloader can be used again.
    startPeer();
    download(downloader, record, fileUrl(QStringLiteral("velumark.vdbi")));
    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    EXPECT_TRUE(test::readWholeFile(destination()) == m_content);
}
