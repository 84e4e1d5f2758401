#pragma once

#include "HttpRequestHead.h"
#include "MultipartReceiver.h"
#include "PeerOptions.h"

#include <QFile>
#include <QObject>
#include <QTimer>
#include <memory>

class QTcpSocket;

namespace velumark::peer {

// One client connection of the reference peer: reads one request, answers it, closes. Deletes
// itself when the connection is gone.
class PeerConnection : public QObject
{
    Q_OBJECT
public:
    PeerConnection(QTcpSocket *socket, const PeerOptions &options, QObject *parent);
    ~PeerConnection() override;

signals:
    void requestHandled(const velumark::peer::HttpRequestHead &head, int status);

private:
    enum class State
    {
        ReadingHead,
        ReadingBody,
        Answering,
        SendingFile,
        Closing
    };
    // What becomes of a request once its body has been read.
    enum class Route
    {
        Forced,
        ServeFile,
        StoreUpload,
        NotFound,
        MethodNotAllowed
    };

    void readFromSocket();
    void readHead();
    // Checks the head and picks the route; false when the request was refused outright.
    bool routeRequest();
    void readBody();
    void processBody(QByteArrayView piece);
    void bodyComplete();
    void answer(int status, const QByteArray &text);
    void answerWithFile();
    void sendFileChunks();
    void refuse(int status, const QByteArray &text);
    void writeHead(int status, qint64 contentLength, const QByteArray &contentType);
    void finishAnswer(int status);
    void cut();

    QTcpSocket *m_socket;
    const PeerOptions m_options;
    State m_state = State::ReadingHead;
    Route m_route = Route::NotFound;
    HttpRequestHead m_head;
    QByteArray m_input;
    qint64 m_bodyRemaining = 0;
    qint64 m_bodyRead = 0;
    bool m_paused = false;
    std::unique_ptr<MultipartReceiver> m_receiver;
    QFile m_rawBody;
    QFile m_servedFile;
    qint64 m_sendLimit = 0;
    qint64 m_sent = 0;
    bool m_cutPending = false;
    QTimer m_idleTimer;
};

} // namespace velumark::peer
