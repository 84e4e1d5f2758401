#include "interchange/device/HTTPUpload.h"

#include "interchange/device/DeviceTransfer.h"
#include "interchange/device/MultipartBodyDevice.h"
#include "store/Localization.h"

#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUuid>

namespace velumark {

namespace {

// The file name as it may stand between the quotes of a part header: printable ASCII without
// quote or backslash, anything else replaced, so the header can neither break nor carry text
// that is not ASCII.
QByteArray quotableFileName(const QString &name)
{
    QByteArray result;
    result.reserve(name.size());
    for (const QChar c : name) {
        const char16_t code = c.unicode();
        const bool plain = code >= 0x20 && code <= 0x7e && code != u'"' && code != u'\\';
        result.append(plain ? char(code) : '_');
    }
    return result;
}

QByteArray multipartPrefix(const QByteArray &boundary, const QByteArray &fileName)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName +
           "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
}

QByteArray multipartSuffix(const QByteArray &boundary)
{
    return "\r\n--" + boundary +
           "\r\nContent-Disposition: form-data; name=\"button\"\r\n\r\nRestore/Import\r\n--" + boundary +
           "--\r\n";
}

} // namespace

HTTPUpload::HTTPUpload(QObject *parent) : QObject(parent)
{
    configureDeviceNetwork(m_manager);
}

HTTPUpload::~HTTPUpload()
{
    stop();
}

QString HTTPUpload::createBoundaryString()
{
    return QStringLiteral("Boundary-Velumark") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

void HTTPUpload::uploadToURL(const QUrl &url, const QString &inputFilename)
{
    stop();
    const QByteArray boundary = createBoundaryString().toLatin1();
    auto *body = new MultipartBodyDevice(
        multipartPrefix(boundary, quotableFileName(QFileInfo(inputFilename).fileName())), inputFilename,
        multipartSuffix(boundary));
    if (!body->openBody()) {
        delete body;
        failLater(kFileReadError, localized("File read error"));
        return;
    }
    m_bodyLength = body->bodyLength();
    m_bodySent = false;

    QNetworkRequest request = deviceRequest(url, kInactivityTimeoutMs);
    request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary);
    request.setHeader(QNetworkRequest::ContentLengthHeader, m_bodyLength);
    // Without this the network layer reads the whole body into memory before sending it.
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);

    m_reply = m_manager.post(request, body);
    // The body lives exactly as long as the request that reads it.
    body->setParent(m_reply);

    // Queued: the body reports from inside the network layer's read, which must not be torn down
    // under its feet.
    connect(
        body, &MultipartBodyDevice::fileReadFailed, this,
        [this, attempt = m_attempt] {
            if (attempt != m_attempt)
                return;
            stop();
            emit failed(kFileReadError, localized("File read error"));
        },
        Qt::QueuedConnection);
    connect(m_reply, &QNetworkReply::uploadProgress, this, [this](qint64 sent, qint64 total) {
        // The network layer closes with a report of 0 of 0 bytes, which is no news.
        if (total <= 0)
            return;
        m_bodySent = sent >= m_bodyLength;
        if (const auto percent = transferPercent(sent, m_bodyLength))
            emit progress(*percent);
    });
    // Whatever the device answers besides its status is of no use; it must not pile up.
    connect(m_reply, &QNetworkReply::readyRead, this, [this] { m_reply->skip(m_reply->bytesAvailable()); });
    connect(m_reply, &QNetworkReply::finished, this, &HTTPUpload::replyFinished);
}

void HTTPUpload::abortUpload()
{
    stop();
}

void HTTPUpload::failLater(int code, const QString &message)
{
    QMetaObject::invokeMethod(
        this,
        [this, attempt = m_attempt, code, message] {
            if (attempt == m_attempt)
                emit failed(code, message);
        },
        Qt::QueuedConnection);
}

void HTTPUpload::replyFinished()
{
    const auto status = failedHttpStatus(*m_reply);
    const int error = transferError(*m_reply);
    const QString errorText = transferErrorText(*m_reply);
    stop();
    if (status)
        emit failed(kHTTPError, localized("HTTP error %1").arg(*status));
    else if (error != QNetworkReply::NoError && m_bodySent)
        emit failed(kNetworkReadError,
                    QStringLiteral("%1: %2").arg(localized("Network read error"), errorText));
    else if (error != QNetworkReply::NoError)
        emit failed(kNetworkWriteError,
                    QStringLiteral("%1: %2").arg(localized("Network write error"), errorText));
    else
        emit finished();
}

void HTTPUpload::stop()
{
    ++m_attempt;
    if (QNetworkReply *reply = std::exchange(m_reply, nullptr)) {
        reply->disconnect(this);
        // A reply that has already failed winds down by itself.
        if (reply->error() == QNetworkReply::NoError)
            reply->abort();
        // It may be ending inside one of its own signals.
        reply->deleteLater();
    }
}

} // namespace velumark
