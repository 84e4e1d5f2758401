#include "interchange/device/HTTPUpload.h"

#include "TransferTestSupport.h"
#include "reference-peer/ReferencePeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace velumark;
using velumark::peer::HttpRequestHead;
using velumark::peer::PeerOptions;
using velumark::peer::ReferencePeer;
using Upload = velumark::test::Recorded<HTTPUpload>;

namespace {

QByteArray expectedBody(const QByteArray &boundary, const QByteArray &fileName, const QByteArray &content)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName +
           "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content + "\r\n--" + boundary +
           "\r\nContent-Disposition: form-data; name=\"button\"\r\n\r\nRestore/Import\r\n--" + boundary +
           "--\r\n";
}

class HTTPUploadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("device")));
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString devicePath(const QString &name) const { return path(QStringLiteral("device/") + name); }
    QStringList deviceFiles() const
    {
        return QDir(path(QStringLiteral("device"))).entryList(QDir::Files | QDir::Hidden);
    }

    // A device in Restore Database mode that keeps the last body it read in "raw-body"; the last
    // request it handled lands in m_head and m_status.
    QUrl startPeer(PeerOptions options = {})
    {
        options.mode = 1;
        options.folder = path(QStringLiteral("device"));
        options.rawBodyPath = path(QStringLiteral("raw-body"));
        m_peer = std::make_unique<ReferencePeer>(options);
        m_status = -1;
        EXPECT_TRUE(m_peer->listen()) << qPrintable(m_peer->errorString());
        QObject::connect(m_peer.get(), &ReferencePeer::requestHandled, m_peer.get(),
                         [this](const HttpRequestHead &head, int status) {
                             m_head = head;
                             m_status = status;
                         });
        return m_peer->baseUrl();
    }

    // Sends the file to a new device with the options and waits for the end.
    void send(Upload &upload, const QString &file, const PeerOptions &options = {})
    {
        upload.uploadToURL(startPeer(options), path(file));
        EXPECT_TRUE(upload.waitForEnd(60000));
    }

    // The boundary the last request announced, when its Content-Type is exactly as it must be.
    QByteArray announcedBoundary() const
    {
        static const QRegularExpression contentType(QStringLiteral(
            "^multipart/form-data; boundary=(Boundary-Velumark[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-"
            "[0-9A-F]{4}-[0-9A-F]{12})$"));
        return contentType.match(QString::fromLatin1(m_head.field("Content-Type").value_or(QByteArray())))
            .captured(1)
            .toLatin1();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ReferencePeer> m_peer;
    HttpRequestHead m_head;
    int m_status = -1;
};

} // namespace

TEST_F(HTTPUploadTest, SendsTheExactMultipartBodyWithItsHeaders)
{
    const struct
    {
        QString file;
        qint64 size;
        QByteArray sentName;
    } cases[] = {
        // Several blocks and a partial one, so that the blocks must join up.
        {QStringLiteral("temp_velumark_export.db"), 3 * 32768 + 123, "temp_velumark_export.db"},
        // Nothing but the prefix and the suffix.
        {QStringLiteral("empty.vdbi"), 0, "empty.vdbi"},
        // Plain ASCII that cannot break the part's header.
        {QStringLiteral("Bild \"Ü\"\\.vdbi"), 1000, "Bild ____.vdbi"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sentName.constData());
        const QByteArray content = test::writePatternFile(path(c.file), c.size);
        Upload upload;
        upload.uploadToURL(startPeer(), path(c.file));
        EXPECT_TRUE(upload.isSending());
        ASSERT_TRUE(test::waitUntil([&] { return upload.record.ended() && m_status != -1; }));

        EXPECT_EQ(upload.record.finishedCount, 1) << qPrintable(upload.record.message);
        EXPECT_EQ(upload.record.failedCount, 0);
        EXPECT_FALSE(upload.isSending());
        EXPECT_EQ(m_status, 200);
        EXPECT_EQ(m_head.method + ' ' + m_head.target, "POST /");
        const QByteArray boundary = announcedBoundary();
        ASSERT_FALSE(boundary.isEmpty()) << m_head.field("Content-Type").value_or("(none)").constData();
        const QByteArray expected = expectedBody(boundary, c.sentName, content);
        EXPECT_EQ(m_head.field("Content-Length"), QByteArray::number(expected.size()));
        EXPECT_TRUE(test::readFile(path(QStringLiteral("raw-body"))) == expected) << "the body differs";
        const QString stored = devicePath(QString::fromLatin1(c.sentName));
        ASSERT_TRUE(QFileInfo::exists(stored));
        EXPECT_TRUE(test::readFile(stored) == content);
        ASSERT_FALSE(upload.record.progress.isEmpty());
        EXPECT_TRUE(upload.record.progressIsOrderly());
        EXPECT_DOUBLE_EQ(upload.record.progress.last(), 100.0);
    }
    EXPECT_NE(HTTPUpload::createBoundaryString(), HTTPUpload::createBoundaryString());
}

TEST_F(HTTPUploadTest, ErrorStatusFailsWithCode103)
{
    test::writePatternFile(path(QStringLiteral("export.vdbi")), 50000);
    for (const int status : {404, 500, 302}) {
        PeerOptions options;
        options.forcedStatus = status;
        Upload upload;
        send(upload, QStringLiteral("export.vdbi"), options);
        // Nothing more may follow the failure.
        test::waitUntil([] { return false; }, 100);

        EXPECT_EQ(upload.record.failedCount, 1) << status;
        EXPECT_EQ(upload.record.finishedCount, 0) << status;
        EXPECT_EQ(upload.record.code, HTTPUpload::kHTTPError);
        EXPECT_EQ(upload.record.message, QStringLiteral("HTTP error %1").arg(status));
        EXPECT_FALSE(upload.isSending());
    }
}

// Failures of the network layer carry the uploader's codes, never the network layer's own numbers,
// and its text after the code's.
TEST_F(HTTPUploadTest, BrokenConnectionsFailAsNetworkWriteErrors)
{
    // Far more than the sockets between the two ends can hold: the cut comes while sending.
    test::writePatternFile(path(QStringLiteral("export.vdbi")), 32 * 1024 * 1024);
    PeerOptions cut;
    cut.cutAfterBytes = 100000;
    Upload upload;
    send(upload, QStringLiteral("export.vdbi"), cut);
    EXPECT_EQ(upload.record.failedCount, 1);
    EXPECT_EQ(upload.record.finishedCount, 0);
    EXPECT_EQ(upload.record.code, HTTPUpload::kNetworkWriteError);
    EXPECT_TRUE(upload.record.message.startsWith(QStringLiteral("Network write error: ")) &&
                upload.record.message.size() > 21)
        << upload.record.message.toStdString();
    EXPECT_EQ(deviceFiles(), QStringList()) << "the device kept part of a file";

    // A port nobody listens on any more.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    QUrl url(QStringLiteral("http://127.0.0.1"));
    url.setPort(closed.serverPort());
    closed.close();
    Upload refused;
    refused.uploadToURL(url, path(QStringLiteral("export.vdbi")));
    ASSERT_TRUE(refused.waitForEnd());
    EXPECT_EQ(refused.record.failedCount, 1);
    EXPECT_EQ(refused.record.code, HTTPUpload::kNetworkWriteError);
    EXPECT_EQ(refused.record.message, QStringLiteral("Network write error: Connection refused"));
}

TEST_F(HTTPUploadTest, PeerSilentForThreeSecondsTimesOut)
{
    test::writePatternFile(path(QStringLiteral("export.vdbi")), 50000);
    PeerOptions options;
    // The answer would come, and be a success, were the uploader to wait for it.
    options.responseDelayMs = 6000;
    QElapsedTimer clock;
    clock.start();
    Upload upload;
    send(upload, QStringLiteral("export.vdbi"), options);

    // The whole body went out; the answer did not come.
    EXPECT_EQ(upload.record.failedCount, 1);
    EXPECT_EQ(upload.record.code, HTTPUpload::kNetworkReadError);
    EXPECT_EQ(upload.record.message, QStringLiteral("Network read error: The request timed out."));
    // Timers may fire a little early.
    EXPECT_GE(clock.elapsed(), HTTPUpload::kInactivityTimeoutMs * 9 / 10);
}

TEST_F(HTTPUploadTest, SteadyProgressIsNotCutOffByTheInactivityLimit)
{
    // The device takes 16 KB every 2 ms: well over the limit in all, but the uploader sees
    // progress all along. The file is larger than what the kernel buffers, so the last progress
    // report comes shortly before the device has read everything.
    const QByteArray content = test::writePatternFile(path(QStringLiteral("export.vdbi")), 28 * 1024 * 1024);
    PeerOptions options;
    options.chunkDelayMs = 2;
    QElapsedTimer clock;
    clock.start();
    Upload upload;
    send(upload, QStringLiteral("export.vdbi"), options);

    EXPECT_EQ(upload.record.finishedCount, 1) << qPrintable(upload.record.message);
    EXPECT_GT(clock.elapsed(), HTTPUpload::kInactivityTimeoutMs) << "the device was too quick to tell";
    EXPECT_TRUE(test::readFile(devicePath(QStringLiteral("export.vdbi"))) == content);
}

TEST_F(HTTPUploadTest, UnreadableFileFailsWithCode100)
{
    // A missing file; one that shrinks while it is sent, so that the body can no longer reach
    // its length.
    test::writePatternFile(path(QStringLiteral("shrinking.vdbi")), 4 * 1024 * 1024);
    for (const QString &file : {QStringLiteral("missing.vdbi"), QStringLiteral("shrinking.vdbi")}) {
        SCOPED_TRACE(file.toStdString());
        const bool missing = !QFileInfo::exists(path(file));
        PeerOptions slow;
        slow.chunkDelayMs = 20;
        Upload upload;
        QObject::connect(&upload, &HTTPUpload::progress, &upload, [&] { QFile::resize(path(file), 0); });
        upload.uploadToURL(startPeer(slow), path(file));
        EXPECT_FALSE(upload.record.ended()) << "reported before uploadToURL returned";
        EXPECT_EQ(upload.isSending(), !missing);
        ASSERT_TRUE(upload.waitForEnd());
        EXPECT_EQ(upload.record.failedCount, 1);
        EXPECT_EQ(upload.record.code, HTTPUpload::kFileReadError);
        EXPECT_EQ(upload.record.message, QStringLiteral("File read error"));
        if (missing)
            EXPECT_FALSE(test::waitUntil([&] { return m_status != -1; }, 300)) << "a request went out";
        else
            EXPECT_TRUE(test::waitUntil([&] { return m_status == 0; }, 5000))
                << "the device took a short body";
        EXPECT_EQ(deviceFiles(), QStringList());
    }
}

TEST_F(HTTPUploadTest, AbortStopsSilentlyAndTheUploaderCanBeUsedAgain)
{
    const QByteArray content = test::writePatternFile(path(QStringLiteral("export.vdbi")), 1024 * 1024);
    PeerOptions slow;
    slow.chunkDelayMs = 20;
    Upload upload;
    upload.uploadToURL(startPeer(slow), path(QStringLiteral("export.vdbi")));
    ASSERT_TRUE(test::waitUntil([&] { return !upload.record.progress.isEmpty(); }));
    upload.abortUpload();
    EXPECT_FALSE(upload.isSending());
    EXPECT_TRUE(test::waitUntil([&] { return m_status == 0; }, 5000)) << "the connection was not closed";
    EXPECT_FALSE(upload.waitForEnd(300)) << "an aborted upload reported";
    EXPECT_EQ(deviceFiles(), QStringList());

    // A missing file's failure is reported later; an abort before then silences it too.
    upload.uploadToURL(m_peer->baseUrl(), path(QStringLiteral("missing.vdbi")));
    upload.abortUpload();
    EXPECT_FALSE(upload.waitForEnd(300));

    send(upload, QStringLiteral("export.vdbi"));
    EXPECT_EQ(upload.record.finishedCount, 1) << qPrintable(upload.record.message);
    EXPECT_TRUE(test::readFile(devicePath(QStringLiteral("export.vdbi"))) == content);
}
