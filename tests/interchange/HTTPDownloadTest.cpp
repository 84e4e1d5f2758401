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
using Download = velumark::test::Recorded<HTTPDownload>;

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

    // A device in Backup Database mode serving its folder; the address of the file there.
    QUrl startPeer(const QString &file, PeerOptions options = {})
    {
        options.mode = 0;
        options.folder = m_dir.filePath(QStringLiteral("device"));
        m_peer = std::make_unique<ReferencePeer>(options);
        EXPECT_TRUE(m_peer->listen()) << qPrintable(m_peer->errorString());
        QUrl url = m_peer->baseUrl();
        url.setPath(QLatin1Char('/') + file);
        return url;
    }

    // Downloads the file from a new device into the destination and waits for the end.
    void fetch(Download &download, const QString &file = QStringLiteral("velumark.vdbi"),
               const PeerOptions &options = {})
    {
        download.downloadURL(startPeer(file, options), destination());
        EXPECT_TRUE(download.waitForEnd());
    }

    QTemporaryDir m_dir;
    QByteArray m_content;
    std::unique_ptr<ReferencePeer> m_peer;
};

} // namespace

// Whatever was at the destination is replaced; progress is shown only when the length is known
// (and a length of 0 must not be divided by).
TEST_F(HTTPDownloadTest, DownloadsTheFileWithProgressWhenTheLengthIsKnown)
{
    PeerOptions noLength;
    noLength.omitContentLength = true;
    ASSERT_TRUE(
        QFile(m_dir.filePath(QStringLiteral("device/velumark_clients.vdbi"))).open(QIODevice::WriteOnly));
    for (const auto &[file, options, content, withProgress] :
         {std::tuple{QStringLiteral("velumark.vdbi"), PeerOptions{}, m_content, true},
          std::tuple{QStringLiteral("velumark.vdbi"), noLength, m_content, false},
          std::tuple{QStringLiteral("velumark_clients.vdbi"), PeerOptions{}, QByteArray(), false}}) {
        SCOPED_TRACE(file.toStdString() + (withProgress ? "" : ", no progress"));
        test::writePatternFile(destination(), 999999);
        Download download;
        fetch(download, file, options);
        EXPECT_EQ(download.record.finishedCount, 1) << qPrintable(download.record.message);
        EXPECT_EQ(download.record.failedCount, 0);
        EXPECT_FALSE(download.isDownloading());
        ASSERT_TRUE(QFileInfo::exists(destination()));
        EXPECT_TRUE(test::readFile(destination()) == content);
        EXPECT_EQ(download.record.progress.isEmpty(), !withProgress);
        EXPECT_TRUE(download.record.progressIsOrderly());
        if (withProgress) {
            EXPECT_DOUBLE_EQ(download.record.progress.last(), 100.0);
        }
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
        bool peerGone = false;
    };
    PeerOptions truncated, cut, refused;
    truncated.truncateAt = 100000;
    cut.cutAfterBytes = 150000;
    refused.forcedStatus = 503;
    const QString file = QStringLiteral("velumark.vdbi");
    for (const Case &c : {
             Case{"a file cut short with a clean close", truncated, file, {}},
             Case{"a broken connection", cut, file, {}},
             Case{"a file the device does not have",
                  {},
                  QStringLiteral("velumark_clients.vdbi"),
                  QStringLiteral("HTTP error 404")},
             Case{"an error status with a body", refused, file, QStringLiteral("HTTP error 503")},
             Case{"nobody listens", {}, file, {}, true},
         }) {
        SCOPED_TRACE(c.what);
        Download download;
        const QUrl url = startPeer(c.file, c.options);
        if (c.peerGone)
            m_peer.reset();
        download.downloadURL(url, destination());
        ASSERT_TRUE(download.waitForEnd());

        EXPECT_EQ(download.record.failedCount, 1);
        EXPECT_EQ(download.record.finishedCount, 0);
        EXPECT_FALSE(download.record.message.isEmpty());
        if (!c.message.isEmpty()) {
            EXPECT_EQ(download.record.message, c.message);
        }
        EXPECT_FALSE(QFileInfo::exists(destination()));
        EXPECT_TRUE(download.record.progressIsOrderly());
        EXPECT_FALSE(download.record.progress.contains(100.0));
    }

    // The destination's folder is missing.
    Download download;
    download.downloadURL(startPeer(file), m_dir.filePath(QStringLiteral("no/such.db")));
    EXPECT_FALSE(download.record.ended()) << "reported before downloadURL returned";
    ASSERT_TRUE(download.waitForEnd());
    EXPECT_EQ(download.record.failedCount, 1);
    EXPECT_TRUE(download.record.message.contains(QStringLiteral("no/such.db")))
        << qPrintable(download.record.message);
}

TEST_F(HTTPDownloadTest, AbortStopsSilentlyAndRemovesThePartialFile)
{
    PeerOptions slow;
    slow.chunkDelayMs = 50;
    Download download;
    download.downloadURL(startPeer(QStringLiteral("velumark.vdbi"), slow), destination());
    ASSERT_TRUE(test::waitUntil([&] { return !download.record.progress.isEmpty(); }));
    EXPECT_TRUE(QFileInfo::exists(destination()));
    download.abortDownload();
    EXPECT_FALSE(download.isDownloading());
    EXPECT_FALSE(QFileInfo::exists(destination()));
    EXPECT_FALSE(download.waitForEnd(300)) << "an aborted download reported";

    // The downloader can be used again.
    fetch(download);
    EXPECT_EQ(download.record.finishedCount, 1) << qPrintable(download.record.message);
    EXPECT_TRUE(test::readFile(destination()) == m_content);
}
