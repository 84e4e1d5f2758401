#include "interchange/device/HTTPUpload.h"

#include "TransferTestSupport.h"
#include "reference-peer/ReferencePeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace velumark;
using velumark::peer::HttpRequestHead;
using velumark::peer::PeerOptions;
using velumark::peer::ReferencePeer;
using velumark::test::TransferRecord;

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
    QString devicePath(const QString &name) const { return m_dir.filePath(QStringLiteral("device/") + name); }
    QStringList deviceFiles() const
    {
        return QDir(m_dir.filePath(QStringLiteral("device"))).entryList(QDir::Files | QDir::Hidden);
    }

    // A device in Restore Database mode; the last request it handled lands in m_head and m_status.
    ReferencePeer &startPeer(PeerOptions options = {})
    {
        options.mode = 1;
        options.folder = m_dir.filePath(QStringLiteral("device"));
        m_peer = std::make_unique<ReferencePeer>(options);
        EXPECT_TRUE(m_peer->listen()) << qPrintable(m_peer->errorString());
        QObject::connect(m_peer.get(), &ReferencePeer::requestHandled, m_peer.get(),
                         [this](const HttpRequestHead &head, int status) {
                             m_head = head;
                             m_status = status;
                         });
        return *m_peer;
    }

    // The boundary the last request announced, when its Content-Type is exactly as it must be.
    QByteArray announcedBoundary() const
    {
        static const QRegularExpression contentType(QStringLiteral(
            "^multipart/form-data; boundary=(Boundary-Velumark[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-"
            "[0-9A-F]{4}-[0-9A-F]{12})$"));
        const QRegularExpressionMatch match =
            contentType.match(QString::fromLatin1(m_head.field("Content-Type").value_or(QByteArray())));
        return match.captured(1).toLatin1();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ReferencePeer> m_peer;
    HttpRequestHead m_head;
    int m_status = -1;
};

} // namespace

TEST_F(HTTPUploadTest, SendsTheExactMultipartBodyWithItsHeaders)
{
    // Several blocks and a partial one, so the blocks must join up.
    const QString file = path(QStringLiteral("temp_velumark_export.db"));
    const QByteArray content = test::writePatternFile(file, 3 * 32768 + 123);
    PeerOptions options;
    options.rawBodyPath = path(QStringLiteral("raw-body"));
    ReferencePeer &peer = startPeer(options);

    TransferRecord record;
    HTTPUpload upload;
    test::record(upload, record);
    upload.uploadToURL(peer.baseUrl(), file);
    EXPECT_TRUE(upload.isSending());
    ASSERT_TRUE(test::waitUntil([&] { return record.ended() && m_status != -1; }));

    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    EXPECT_EQ(record.failedCount, 0);
    EXPECT_FALSE(upload.isSending());
    EXPECT_EQ(m_status, 200);
    EXPECT_EQ(m_head.method, "POST");
    EXPECT_EQ(m_head.target, "/");

    const QByteArray boundary = announcedBoundary();
    ASSERT_FALSE(boundary.isEmpty()) << m_head.field("Content-Type").value_or("(none)").constData();
    const QByteArray expected = expectedBody(boundary, "temp_velumark_export.db", content);
    EXPECT_EQ(m_head.field("Content-Length"), QByteArray::number(expected.size()));
    EXPECT_TRUE(test::readWholeFile(path(QStringLiteral("raw-body"))) == expected) << "the body differs";
    EXPECT_TRUE(test::readWholeFile(devicePath(QStringLiteral("temp_velumark_export.db"))) == content);

    ASSERT_FALSE(record.progress.isEmpty());
    EXPECT_TRUE(record.progressIsOrderly());
    EXPECT_DOUBLE_EQ(record.progress.last(), 100.0);

    EXPECT_NE(HTTPUpload::createBoundaryString(), HTTPUpload::createBoundaryString());
}

TEST_F(HTTPUploadTest, EmptyFileIsSentAsPrefixAndSuffixOnly)
{
    const QString file = path(QStringLiteral("empty.vdbi"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    PeerOptions options;
    options.rawBodyPath = path(QStringLiteral("raw-body"));
    ReferencePeer &peer = startPeer(options);

    TransferRecord record;
    HTTPUpload upload;
    test::record(upload, record);
    upload.uploadToURL(peer.baseUrl(), file);
    ASSERT_TRUE(test::waitUntil([&] { return record.ended() && m_status != -1; }));

    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    const QByteArray expected = expectedBody(announcedBoundary(), "empty.vdbi", {});
    EXPECT_EQ(m_head.field("Content-Length"), QByteArray::number(expected.size()));
    EXPECT_EQ(test::readWholeFile(path(QStringLiteral("raw-body"))), expected);
    ASSERT_TRUE(QFileInfo::exists(devicePath(QStringLiteral("empty.vdbi"))));
    EXPECT_EQ(QFileInfo(devicePath(QStringLiteral("empty.vdbi"))).size(), 0);
}

TEST_F(HTTPUploadTest, FileNameIsSentAsPlainAsciiThatCannotBreakThePartHeader)
{
    const QString file = path(QStringLiteral("Bild \"Ü\"\\.vdbi"));
    const QByteArray content = test::writePatternFile(file, 1000);
    PeerOptions options;
    options.rawBodyPath = path(QStringLiteral("raw-body"));
    ReferencePeer &peer = startPeer(options);

    TransferRecord record;
    HTTPUpload upload;
    test::record(upload, record);
    upload.uploadToURL(peer.baseUrl(), file);
    ASSERT_TRUE(test::waitUntil([&] { return record.ended() && m_status != -1; }));

    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    EXPECT_EQ(test::readWholeFile(path(QStringLiteral("raw-body"))),
              expectedBody(announcedBoundary(), "Bild ____.vdbi", content));
    EXPECT_TRUE(test::readWholeFile(devicePath(QStringLiteral("Bild ____.vdbi"))) == content);
}

TEST_F(HTTPUploadTest, ErrorStatusFailsWithCode103)
{
    test::writePatternFile(path(QStringLiteral("export.vdbi")), 50000);
    for (const int status : {404, 500, 302}) {
        PeerOptions options;
        options.forcedStatus = status;
        ReferencePeer &peer = startPeer(options);

        TransferRecord record;
        HTTPUpload upload;
        test::record(upload, record);
        upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("export.vdbi")));
        ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));
        // Nothing more may follow the failure.
        test::waitUntil([] { return false; }, 100);

        EXPECT_EQ(record.failedCount, 1) << status;
        EXPECT_EQ(record.finishedCount, 0) << status;
        EXPECT_EQ(record.code, HTTPUpload::kHTTPError);
        EXPECT_EQ(record.message, QStringLiteral("HTTP error %1").arg(status));
        EXPECT_FALSE(upload.isSending());
    }
}

TEST_F(HTTPUploadTest, BrokenConnectionsFailWithTheNetworkError)
{
    test::writePatternFile(path(QStringLiteral("export.vdbi")), 1024 * 1024);
    {
        PeerOptions options;
        options.cutAfterBytes = 100000;
        ReferencePeer &peer = startPeer(options);

        TransferRecord record;
        HTTPUpload upload;
        test::record(upload, record);
        upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("export.vdbi")));
        ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));

        EXPECT_EQ(record.failedCount, 1);
        EXPECT_EQ(record.finishedCount, 0);
        EXPECT_TRUE(record.code > 0 && (record.code < 100 || record.code > 199)) << record.code;
        EXPECT_FALSE(record.message.isEmpty());
        EXPECT_EQ(deviceFiles(), QStringList()) << "the device kept part of a file";
    }
    {
        // A port nobody listens on any more.
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        QUrl url(QStringLiteral("http://127.0.0.1"));
        url.setPort(closed.serverPort());
        closed.close();

        TransferRecord record;
        HTTPUpload upload;
        test::record(upload, record);
        upload.uploadToURL(url, path(QStringLiteral("export.vdbi")));
        ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));
        EXPECT_EQ(record.failedCount, 1);
        EXPECT_EQ(record.code, int(QNetworkReply::ConnectionRefusedError));
        EXPECT_FALSE(record.message.isEmpty());
    }
}

TEST_F(HTTPUploadTest, PeerSilentForThreeSecondsTimesOut)
{
    test::writePatternFile(path(QStringLiteral("export.vdbi")), 50000);
    PeerOptions options;
    // The answer would come, and be a success, were the uploader to wait for it.
    options.responseDelayMs = 6000;
    ReferencePeer &peer = startPeer(options);

    TransferRecord record;
    HTTPUpload upload;
    test::record(upload, record);
    QElapsedTimer clock;
    clock.start();
    upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("export.vdbi")));
    ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));

    EXPECT_EQ(record.failedCount, 1);
    EXPECT_EQ(record.code, int(QNetworkReply::TimeoutError));
    EXPECT_EQ(record.message, QStringLiteral("The request timed out."));
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
    ReferencePeer &peer = startPeer(options);

    TransferRecord record;
    HTTPUpload upload;
    test::record(upload, record);
    QElapsedTimer clock;
    clock.start();
    upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("export.vdbi")));
    ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }, 60000));

    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    EXPECT_GT(clock.elapsed(), HTTPUpload::kInactivityTimeoutMs) << "the device was too quick to tell";
    EXPECT_TRUE(test::readWholeFile(devicePath(QStringLiteral("export.vdbi"))) == content);
}

TEST_F(HTTPUploadTest, UnreadableFileFailsWithCode100)
{
    ReferencePeer &peer = startPeer();
    {
        TransferRecord record;
        HTTPUpload upload;
        test::record(upload, record);
        upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("missing.vdbi")));
        EXPECT_FALSE(record.ended()) << "reported before uploadToURL returned";
        EXPECT_FALSE(upload.isSending());
        ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));
        EXPECT_EQ(record.failedCount, 1);
        EXPECT_EQ(record.code, HTTPUpload::kFileReadError);
        EXPECT_EQ(record.message, QStringLiteral("File read error"));
        EXPECT_EQ(m_status, -1) << "a request went out";
    }
    {
        // The file shrinks while it is being sent: the body could no longer reach its length.
        const QString file = path(QStringLiteral("shrinking.vdbi"));
        test::writePatternFile(file, 4 * 1024 * 1024);
        PeerOptions options;
        options.chunkDelayMs = 20;
        ReferencePeer &slowPeer = startPeer(options);

        TransferRecord record;
        HTTPUpload upload;
        test::record(upload, record);
        QObject::connect(&upload, &HTTPUpload::progress, &upload, [&] { QFile::resize(file, 0); });
        upload.uploadToURL(slowPeer.baseUrl(), file);
        ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));
        EXPECT_EQ(record.failedCount, 1);
        EXPECT_EQ(record.code, HTTPUpload::kFileReadError);
        EXPECT_EQ(record.message, QStringLiteral("File read error"));
        EXPECT_TRUE(test::waitUntil([&] { return m_status == 0; }, 5000)) << "the device took a short body";
        EXPECT_EQ(deviceFiles(), QStringList());
    }
}

TEST_F(HTTPUploadTest, AbortStopsSilentlyAndTheUploaderCanBeUsedAgain)
{
    const QByteArray content = test::writePatternFile(path(QStringLiteral("export.vdbi")), 1024 * 1024);
    PeerOptions options;
    options.chunkDelayMs = 20;
    ReferencePeer &peer = startPeer(options);

    TransferRecord record;
    HTTPUpload upload;
    test::record(upload, record);
    upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("export.vdbi")));
    ASSERT_TRUE(test::waitUntil([&] { return !record.progress.isEmpty(); }));
    upload.abortUpload();
    EXPECT_FALSE(upload.isSending());
    EXPECT_TRUE(test::waitUntil([&] { return m_status == 0; }, 5000)) << "the connection was not closed";
    EXPECT_FALSE(test::waitUntil([&] { return record.ended(); }, 300)) << "an aborted upload reported";
    EXPECT_EQ(deviceFiles(), QStringList());

    // A missing file's failure is reported later; an abort before then silences it too.
    upload.uploadToURL(peer.baseUrl(), path(QStringLiteral("missing.vdbi")));
    upload.abortUpload();
    EXPECT_FALSE(test::waitUntil([&] { return record.ended(); }, 300));

    PeerOptions quick;
    ReferencePeer &quickPeer = startPeer(quick);
    upload.uploadToURL(quickPeer.baseUrl(), path(QStringLiteral("export.vdbi")));
    ASSERT_TRUE(test::waitUntil([&] { return record.ended(); }));
    EXPECT_EQ(record.finishedCount, 1) << qPrintable(record.message);
    EXPECT_TRUE(test::readWholeFile(devicePath(QStringLiteral("export.vdbi"))) == content);
}
