#include "reference-peer/ReferencePeer.h"

#include "TransferTestSupport.h"
#include "reference-peer/MultipartReceiver.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;
using velumark::peer::MultipartReceiver;
using velumark::peer::PeerOptions;
using velumark::peer::ReferencePeer;

namespace {

QByteArray multipartRequest(const QByteArray &body, const QByteArray &boundary = "XyZ")
{
    return "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=\"" + boundary +
           "\"\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray filePart(const QByteArray &fileName, const QByteArray &content)
{
    return "--XyZ\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName + "\"\r\n\r\n" +
           content + "\r\n";
}

} // namespace

TEST(MultipartReceiver, FindsTheBoundaryWhereverThePiecesSplitTheBody)
{
    // The file holds near-misses of the delimiter, including one across the end of the content.
    const QByteArray content = "start\r\n--Boundar\r\n-Boundary-42\r--Boundary-42x\r\n--Boundary-4";
    const QByteArray body =
        "preamble to ignore\r\n--Boundary-42  \r\n"
        "Content-Disposition: form-data; name=\"button\"\r\n\r\nRestore/Import\r\n"
        "--Boundary-42\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a b.vdbi\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n" +
        content + "\r\n--Boundary-42--\r\nepilogue\r\n";
    for (const qsizetype piece : {1, 2, 3, 7, 16, 61, 4096}) {
        QTemporaryDir folder;
        MultipartReceiver receiver("Boundary-42", folder.path());
        bool fed = true;
        for (qsizetype at = 0; at < body.size(); at += piece)
            fed = fed && receiver.feed(QByteArrayView(body).sliced(at, std::min(piece, body.size() - at)));
        ASSERT_TRUE(fed) << piece << ": " << qPrintable(receiver.error());
        ASSERT_TRUE(receiver.finish()) << piece << ": " << qPrintable(receiver.error());
        EXPECT_EQ(receiver.storedFilePath(), QDir(folder.path()).filePath(QStringLiteral("a b.vdbi")));
        EXPECT_EQ(test::readFile(receiver.storedFilePath()), content) << piece;
    }
}

TEST(ReferencePeer, RefusesMalformedRequestsAndKeepsUploadsInItsFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("device")));
    const QString folder = dir.filePath(QStringLiteral("device"));
    test::writePatternFile(dir.filePath(QStringLiteral("secret.vdbi")), 100);
    PeerOptions options;
    options.mode = 1;
    options.folder = folder;
    options.maximumBodyLength = 1024 * 1024;
    ReferencePeer peer(options);
    ASSERT_TRUE(peer.listen());

    const QByteArray hugeHead = "GET / HTTP/1.1\r\nX-Padding: " + QByteArray(20000, 'a') + "\r\n\r\n";
    const struct
    {
        const char *what;
        QByteArray request;
        int status;
    } cases[] = {
        {"no request line", "GARBAGE\r\n\r\n", 400},
        {"a bare line feed", "GET / HTTP/1.1\nHost: x\r\n\r\n", 400},
        {"an unknown protocol", "GET / SPDY/9\r\n\r\n", 400},
        {"an endless head", hugeHead, 431},
        {"a length that is no number", "POST / HTTP/1.1\r\nContent-Length: 12abc\r\n\r\n", 400},
        {"a negative length", "POST / HTTP/1.1\r\nContent-Length: -5\r\n\r\n", 400},
        {"two lengths", "POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello", 400},
        {"a length beyond the limit", "POST / HTTP/1.1\r\nContent-Length: 99999999999999\r\n\r\n", 413},
        {"a chunked body", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 501},
        {"an upload without length",
         "POST / HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=a\r\n\r\n", 411},
        {"an upload that is not multipart",
         "POST / HTTP/1.1\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nhi", 400},
        {"a boundary too long", multipartRequest("x", QByteArray(71, 'b')), 400},
        {"a body without its closing boundary", multipartRequest(filePart("cut.vdbi", "data")), 400},
        {"a body without a part \"file\"",
         multipartRequest("--XyZ\r\nContent-Disposition: form-data; name=\"button\"\r\n\r\nx\r\n--XyZ--\r\n"),
         400},
        {"a download from a device that takes uploads", "GET /velumark.vdbi HTTP/1.1\r\n\r\n", 404},
        {"a method the device does not know", "DELETE / HTTP/1.1\r\n\r\n", 405},
        {"a file name that climbs out of the folder",
         multipartRequest(filePart("../secret.vdbi", "overwritten?") + "--XyZ--\r\n"), 200},
        {"a hidden file name", multipartRequest(filePart(".profile", "hidden?") + "--XyZ--\r\n"), 200},
    };
    for (const auto &c : cases) {
        const QByteArray response = test::exchangeRaw(peer.port(), c.request);
        EXPECT_EQ(test::statusOf(response), c.status) << c.what << ": " << response.left(200).constData();
    }

    EXPECT_EQ(test::readFile(dir.filePath(QStringLiteral("secret.vdbi"))).size(), 100)
        << "a file outside changed";
    EXPECT_EQ(test::readFile(QDir(folder).filePath(QStringLiteral("secret.vdbi"))), "overwritten?");
    EXPECT_EQ(test::readFile(QDir(folder).filePath(QLatin1String(MultipartReceiver::kFallbackFileName))),
              "hidden?");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2) << "a refused upload left a file";
}
