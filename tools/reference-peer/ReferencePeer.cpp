#include "ReferencePeer.h"

#include "PeerConnection.h"

#include <QHostAddress>

namespace velumark::peer {

ReferencePeer::ReferencePeer(PeerOptions options, QObject *parent)
    : QObject(parent), m_options(std::move(options))
{
    connect(&m_server, &QTcpServer::newConnection, this, &ReferencePeer::acceptConnections);
}

ReferencePeer::~ReferencePeer() = default;

bool ReferencePeer::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

QUrl ReferencePeer::baseUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port());
    return url;
}

void ReferencePeer::acceptConnections()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto *connection = new PeerConnection(socket, m_options, this);
        connect(connection, &PeerConnection::requestHandled, this, &ReferencePeer::requestHandled);
    }
}

} // namespace velumark::peer
