#include "TransferTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTimer>

namespace velumark::test {

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // Wakes the loop now and then, so the deadline is seen even when nothing else happens.
    QTimer tick;
    tick.start(10);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QByteArray writePatternFile(const QString &path, qint64 size)
{
    QByteArray content(size, Qt::Uninitialized);
    quint32 state = 0x9e3779b9u;
    for (qint64 i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        content[i] = char(state >> 24);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != size)
        return {};
    return content;
}

bool TransferRecord::progressIsOrderly() const
{
    double last = 0;
    for (const double value : progress) {
        if (value < last || value > 100)
            return false;
        last = value;
    }
    return true;
}

QByteArray exchangeRaw(quint16 port, const QByteArray &request, int timeoutMs)
{
    QTcpSocket socket;
    QByteArray response;
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { response += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [&] { closed = true; });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &socket, [&] { closed = true; });
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    waitUntil([&] { return closed; }, timeoutMs);
    response += socket.readAll();
    return response;
}

int statusOf(const QByteArray &response)
{
    if (!response.startsWith("HTTP/1.1 ") || response.size() < 12)
        return 0;
    return response.mid(9, 3).toInt();
}

} // namespace velumark::test
