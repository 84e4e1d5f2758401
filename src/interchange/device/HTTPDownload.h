#pragma once

#include <QFile>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

namespace velumark {

// Fetches one file from a device with an HTTP GET, writing it to the destination as it arrives.
// A download that does not end complete (an error status, a broken connection, fewer bytes than
// the device announced, a file that cannot be written) fails and leaves no file behind.
//
// Every signal arrives on the downloader's thread, after downloadURL has returned. A download
// ends with exactly one of finished() or failed(), unless it is aborted first.
class HTTPDownload : public QObject
{
    Q_OBJECT
public:
    // The download fails when nothing arrives for this long.
    static constexpr int kInactivityTimeoutMs = 60000;

    explicit HTTPDownload(QObject *parent = nullptr);
    ~HTTPDownload() override;

    // Starts the download, replacing whatever is at the destination; a download still running is
    // aborted first.
    void downloadURL(const QUrl &url, const QString &destinationPath);
    // Stops the download without reporting anything and removes the partial file.
    void abortDownload();
    bool isDownloading() const { return m_reply != nullptr; }

signals:
    // Share of the file received, 0 to 100; only when the device announced its length.
    void progress(double percent);
    void finished();
    void failed(const QString &message);

private:
    void failLater(const QString &message);
    void readAnnouncedLength();
    void writeReceivedData();
    void replyFinished();
    // Ends the transfer; the partial file is removed unless the download completed.
    void stop(bool keepFile);
    void fail(const QString &message);

    QNetworkAccessManager m_manager;
    QNetworkReply *m_reply = nullptr;
    QFile m_destination;
    qint64 m_bytesReceived = 0;
    qint64 m_expectedLength = -1;
    // Counts downloads, so that a failure queued for one that was aborted is dropped.
    quint64 m_attempt = 0;
};

} // namespace velumark
