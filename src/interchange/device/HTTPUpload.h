#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

namespace velumark {

class MultipartBodyDevice;

// Sends one file to a device as an HTTP multipart POST: a part "file" carrying the file, and a
// part "button" with "Restore/Import". The body is streamed from the file, so memory stays
// constant whatever its size.
//
// Every signal arrives on the uploader's thread, after uploadToURL has returned. An upload ends
// with exactly one of finished() or failed(), unless it is aborted first.
class HTTPUpload : public QObject
{
    Q_OBJECT
public:
    // The failure codes. The network layer's own errors are reported as a write failure while the
    // body is still going out and as a read failure once all of it went out, with the network
    // layer's text after the code's own.
    static constexpr int kFileReadError = 100;
    static constexpr int kNetworkWriteError = 101;
    static constexpr int kNetworkReadError = 102;
    static constexpr int kHTTPError = 103;
    // The upload fails when nothing moves for this long.
    static constexpr int kInactivityTimeoutMs = 3000;

    explicit HTTPUpload(QObject *parent = nullptr);
    ~HTTPUpload() override;

    // Starts sending the file; an upload still running is aborted first.
    void uploadToURL(const QUrl &url, const QString &inputFilename);
    // Stops the upload without reporting anything.
    void abortUpload();
    // True while a request is under way.
    bool isSending() const { return m_reply != nullptr; }

    // "Boundary-Velumark" followed by a new UUID.
    static QString createBoundaryString();

signals:
    // Share of the body sent, 0 to 100.
    void progress(double percent);
    void finished();
    void failed(int code, const QString &message);

private:
    void failLater(int code, const QString &message);
    void replyFinished();
    void stop();

    QNetworkAccessManager m_manager;
    QNetworkReply *m_reply = nullptr;
    qint64 m_bodyLength = 0;
    bool m_bodySent = false;
    // Counts uploads, so that a failure queued for one that was aborted is dropped.
    quint64 m_attempt = 0;
};

} // namespace velumark
