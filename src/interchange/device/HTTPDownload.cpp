#include "interchange/device/HTTPDownload.h"

#include "interchange/device/DeviceTransfer.h"
#include "store/Localization.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace velumark {

namespace {
// What the network layer may hold for us before we write it out.
constexpr qint64 kReadBufferSize = 1024 * 1024;
} // namespace

HTTPDownload::HTTPDownload(QObject *parent) : QObject(parent)
{
    configureDeviceNetwork(m_manager);
}

HTTPDownload::~HTTPDownload()
{
    stop(false);
}

void HTTPDownload::downloadURL(const QUrl &url, const QString &destinationPath)
{
    stop(false);
    m_bytesReceived = 0;
    m_expectedLength = -1;
    m_destination.setFileName(destinationPath);
    if (!m_destination.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        failLater(localized("The file %1 could not be written: %2")
                      .arg(destinationPath, m_destination.errorString()));
        return;
    }

    m_reply = m_manager.get(deviceRequest(url, kInactivityTimeoutMs));
    m_reply->setReadBufferSize(kReadBufferSize);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HTTPDownload::readAnnouncedLength);
    connect(m_reply, &QNetworkReply::readyRead, this, &HTTPDownload::writeReceivedData);
    connect(m_reply, &QNetworkReply::finished, this, &HTTPDownload::replyFinished);
}

void HTTPDownload::abortDownload()
{
    stop(false);
}

void HTTPDownload::failLater(const QString &message)
{
    QMetaObject::invokeMethod(
        this,
        [this, attempt = m_attempt, message] {
            if (attempt == m_attempt)
                emit failed(message);
        },
        Qt::QueuedConnection);
}

void HTTPDownload::readAnnouncedLength()
{
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    m_expectedLength = length.isValid() ? length.toLongLong() : -1;
}

void HTTPDownload::writeReceivedData()
{
    // A receiver of progress() may abort the download, which drops the reply.
    while (m_reply && m_reply->bytesAvailable() > 0) {
        const QByteArray data = m_reply->read(kReadBufferSize);
        // The text of an error page is no part of the file; the end of the reply reports it.
        if (failedHttpStatus(*m_reply))
            continue;
        if (m_destination.write(data) != data.size()) {
            fail(localized("The file %1 could not be written: %2")
                     .arg(m_destination.fileName(), m_destination.errorString()));
            return;
        }
        m_bytesReceived += data.size();
        if (const auto percent = transferPercent(m_bytesReceived, m_expectedLength))
            emit progress(*percent);
    }
}

void HTTPDownload::replyFinished()
{
    if (const auto status = failedHttpStatus(*m_reply)) {
        fail(localized("HTTP error %1").arg(*status));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(transferErrorText(*m_reply));
        return;
    }
    writeReceivedData();
    if (!m_reply)
        return;
    // A connection that closes early can look like a normal end; the announced length tells.
    if (m_expectedLength >= 0 && m_bytesReceived != m_expectedLength) {
        fail(
            localized("The download ended after %1 of %2 bytes.").arg(m_bytesReceived).arg(m_expectedLength));
        return;
    }
    if (!m_destination.flush()) {
        fail(localized("The file %1 could not be written: %2")
                 .arg(m_destination.fileName(), m_destination.errorString()));
        return;
    }
    stop(true);
    emit finished();
}

void HTTPDownload::fail(const QString &message)
{
    stop(false);
    emit failed(message);
}

void HTTPDownload::stop(bool keepFile)
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
    if (m_destination.isOpen()) {
        m_destination.close();
        if (!keepFile)
            m_destination.remove();
    }
}

} // namespace velumark
