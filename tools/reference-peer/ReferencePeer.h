#pragma once

#include "HttpRequestHead.h"
#include "PeerOptions.h"

#include <QObject>
#include <QTcpServer>
#include <QUrl>

namespace velumark::peer {

// A stand-in for the mobile application's side of a transfer, over HTTP/1.1 on 127.0.0.1:
// in modes 0 and 2 it serves "/velumark.vdbi", "/velumark_artworks.vdbi" and
// "/velumark_clients.vdbi" from its folder; in modes 1 and 3 it takes a multipart POST to "/"
// and stores the part "file" in its folder. Each connection carries one request.
class ReferencePeer : public QObject
{
    Q_OBJECT
public:
    explicit ReferencePeer(PeerOptions options, QObject *parent = nullptr);
    ~ReferencePeer() override;

    // Starts listening on 127.0.0.1; port 0 takes any free port.
    bool listen(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    // "http://127.0.0.1:<port>", the base a device's address gives.
    QUrl baseUrl() const;

    const PeerOptions &options() const { return m_options; }

signals:
    // One request is over: what was asked, and the status answered (0 when the connection was
    // cut before an answer). head is empty when the request could not be parsed.
    void requestHandled(const velumark::peer::HttpRequestHead &head, int status);

private:
    void acceptConnections();

    PeerOptions m_options;
    QTcpServer m_server;
};

} // namespace velumark::peer
