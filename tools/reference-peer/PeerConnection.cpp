#include "PeerConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QTcpSocket>
#include <algorithm>

namespace velumark::peer {

namespace {

// Bytes read from or written to the socket at a time; also the most the socket buffers on read.
constexpr qint64 kPieceSize = 16 * 1024;
// Keep the socket's write buffer this full while sending a file.
constexpr qint64 kWriteAhead = 64 * 1024;
constexpr int kMaximumBoundaryLength = 70;

const QList<QByteArray> &servedFileNames()
{
    static const QList<QByteArray> names{"velumark.vdbi", "velumark_artworks.vdbi", "velumark_clients.vdbi"};
    return names;
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// A Content-Length value: decimal digits only, few enough not to overflow.
std::optional<qint64> parseLength(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool servesFiles(int mode)
{
    return mode == 0 || mode == 2;
}

bool acceptsUploads(int mode)
{
    return mode == 1 || mode == 3;
}

} // namespace

PeerConnection::PeerConnection(QTcpSocket *socket, const PeerOptions &options, QObject *parent)
    : QObject(parent), m_socket(socket), m_options(options)
{
    m_socket->setParent(this);
    // The socket pulls no more from the network than is being handled.
    m_socket->setReadBufferSize(kPieceSize);
    // A slow peer also keeps the kernel from buffering much for it, so the sender sees the pace
    // of reading rather than a burst followed by a long wait.
    if (m_options.chunkDelayMs > 0)
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, int(4 * kPieceSize));
    connect(m_socket, &QTcpSocket::readyRead, this, &PeerConnection::readFromSocket);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        m_idleTimer.start();
        if (m_cutPending && m_socket->bytesToWrite() == 0)
            m_socket->abort();
        else if (m_state == State::SendingFile && !m_paused)
            sendFileChunks();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        const bool answered = m_state == State::Closing;
        m_state = State::Closing;
        if (!answered)
            emit requestHandled(m_head, 0);
        deleteLater();
    });

    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_options.idleTimeoutMs);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] { m_socket->abort(); });
    m_idleTimer.start();
    readFromSocket();
}

PeerConnection::~PeerConnection() = default;

void PeerConnection::readFromSocket()
{
    m_idleTimer.start();
    if (m_state == State::ReadingHead)
        readHead();
    else if (m_state == State::ReadingBody)
        readBody();
}

void PeerConnection::readHead()
{
    const qint64 room = m_options.maximumHeadSize + 4 - m_input.size();
    m_input.append(m_socket->read(std::max<qint64>(room, 0)));
    const qsizetype headEnd = m_input.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (m_input.size() > m_options.maximumHeadSize)
            refuse(431, "request head too large");
        return;
    }
    const std::optional<HttpRequestHead> head =
        HttpRequestHead::parse(QByteArrayView(m_input).first(headEnd));
    m_input.remove(0, headEnd + 4);
    if (!head) {
        refuse(400, "malformed request");
        return;
    }
    m_head = *head;
    if (!routeRequest())
        return;
    m_state = State::ReadingBody;
    if (!m_options.rawBodyPath.isEmpty()) {
        m_rawBody.setFileName(m_options.rawBodyPath);
        if (!m_rawBody.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            refuse(500, "cannot keep the request body");
            return;
        }
    }
    readBody();
}

bool PeerConnection::routeRequest()
{
    if (m_head.field("Transfer-Encoding")) {
        refuse(501, "only bodies with a Content-Length are accepted");
        return false;
    }
    const QList<QByteArray> lengths = m_head.fieldValues("Content-Length");
    m_bodyRemaining = 0;
    if (!lengths.isEmpty()) {
        const std::optional<qint64> length = parseLength(lengths.first());
        const bool consistent = std::all_of(lengths.begin(), lengths.end(), [&](const QByteArray &other) {
            return other == lengths.first();
        });
        if (!length || !consistent) {
            refuse(400, "malformed Content-Length");
            return false;
        }
        if (*length > m_options.maximumBodyLength) {
            refuse(413, "body too large");
            return false;
        }
        m_bodyRemaining = *length;
    }

    if (m_options.forcedStatus != 0) {
        m_route = Route::Forced;
        return true;
    }
    if (m_head.method == "GET") {
        const bool known = m_head.target.startsWith('/') && servedFileNames().contains(m_head.target.mid(1));
        m_route = known && servesFiles(m_options.mode) ? Route::ServeFile : Route::NotFound;
        return true;
    }
    if (m_head.method != "POST") {
        m_route = Route::MethodNotAllowed;
        return true;
    }
    if (m_head.target != "/" || !acceptsUploads(m_options.mode)) {
        m_route = Route::NotFound;
        return true;
    }
    if (lengths.isEmpty()) {
        refuse(411, "an upload needs a Content-Length");
        return false;
    }
    const QByteArray contentType = m_head.field("Content-Type").value_or(QByteArray());
    const QByteArray mediaType = contentType.left(contentType.indexOf(';')).trimmed().toLower();
    const QByteArray boundary = headerParameter(contentType, "boundary").value_or(QByteArray());
    if (mediaType != "multipart/form-data" || boundary.isEmpty() ||
        boundary.size() > kMaximumBoundaryLength) {
        refuse(400, "expected multipart/form-data with a boundary");
        return false;
    }
    m_receiver = std::make_unique<MultipartReceiver>(boundary, m_options.folder);
    m_route = Route::StoreUpload;
    return true;
}

void PeerConnection::readBody()
{
    while (m_bodyRemaining > 0 && !m_paused) {
        if (m_options.cutAfterBytes >= 0 && m_bodyRead >= m_options.cutAfterBytes) {
            cut();
            return;
        }
        qint64 wanted = std::min(m_bodyRemaining, kPieceSize);
        if (m_options.cutAfterBytes >= 0)
            wanted = std::min(wanted, m_options.cutAfterBytes - m_bodyRead);
        QByteArray piece;
        if (!m_input.isEmpty()) {
            piece = m_input.left(wanted);
            m_input.remove(0, piece.size());
        } else {
            piece = m_socket->read(wanted);
        }
        if (piece.isEmpty())
            return;
        processBody(piece);
        m_bodyRead += piece.size();
        m_bodyRemaining -= piece.size();
        if (m_options.chunkDelayMs > 0 && m_bodyRemaining > 0) {
            m_paused = true;
            QTimer::singleShot(m_options.chunkDelayMs, this, [this] {
                m_paused = false;
                if (m_state == State::ReadingBody)
                    readBody();
            });
        }
    }
    if (m_bodyRemaining == 0 && m_state == State::ReadingBody)
        bodyComplete();
}

void PeerConnection::processBody(QByteArrayView piece)
{
    if (m_rawBody.isOpen())
        m_rawBody.write(piece.data(), piece.size());
    if (m_receiver)
        m_receiver->feed(piece);
}

void PeerConnection::bodyComplete()
{
    m_rawBody.close();
    switch (m_route) {
    case Route::Forced:
        answer(m_options.forcedStatus, "as told");
        break;
    case Route::ServeFile:
        answerWithFile();
        break;
    case Route::StoreUpload:
        if (m_receiver->finish())
            answer(200, "stored " + QFileInfo(m_receiver->storedFilePath()).fileName().toUtf8());
        else
            answer(400, m_receiver->error().toUtf8());
        break;
    case Route::NotFound:
        answer(404, "not found");
        break;
    case Route::MethodNotAllowed:
        answer(405, "method not allowed");
        break;
    }
}

void PeerConnection::answer(int status, const QByteArray &text)
{
    m_state = State::Answering;
    m_idleTimer.stop();
    QTimer::singleShot(m_options.responseDelayMs, this, [this, status, text] {
        if (m_state != State::Answering)
            return;
        writeHead(status, text.size(), "text/plain");
        m_socket->write(text);
        finishAnswer(status);
    });
}

void PeerConnection::answerWithFile()
{
    m_state = State::Answering;
    m_idleTimer.stop();
    m_servedFile.setFileName(QDir(m_options.folder).filePath(QString::fromLatin1(m_head.target.mid(1))));
    if (!m_servedFile.open(QIODevice::ReadOnly)) {
        answer(404, "not found");
        return;
    }
    QTimer::singleShot(m_options.responseDelayMs, this, [this] {
        if (m_state != State::Answering)
            return;
        const qint64 size = m_servedFile.size();
        m_sendLimit = m_options.truncateAt >= 0 ? std::min(m_options.truncateAt, size) : size;
        writeHead(200, m_options.omitContentLength ? -1 : size, "application/octet-stream");
        m_state = State::SendingFile;
        m_idleTimer.start();
        sendFileChunks();
    });
}

void PeerConnection::sendFileChunks()
{
    while (m_socket->bytesToWrite() < kWriteAhead) {
        if (m_options.cutAfterBytes >= 0 && m_sent >= m_options.cutAfterBytes) {
            cut();
            return;
        }
        if (m_sent >= m_sendLimit) {
            finishAnswer(200);
            return;
        }
        qint64 wanted = std::min(kPieceSize, m_sendLimit - m_sent);
        if (m_options.cutAfterBytes >= 0)
            wanted = std::min(wanted, m_options.cutAfterBytes - m_sent);
        const QByteArray piece = m_servedFile.read(wanted);
        if (piece.isEmpty()) {
            cut();
            return;
        }
        m_socket->write(piece);
        m_sent += piece.size();
        if (m_options.chunkDelayMs > 0) {
            m_paused = true;
            QTimer::singleShot(m_options.chunkDelayMs, this, [this] {
                m_paused = false;
                if (m_state == State::SendingFile)
                    sendFileChunks();
            });
            return;
        }
    }
}

void PeerConnection::refuse(int status, const QByteArray &text)
{
    // The rest of the request cannot be trusted to be framed, so the connection ends after
    // the answer.
    m_state = State::Answering;
    m_idleTimer.stop();
    writeHead(status, text.size(), "text/plain");
    m_socket->write(text);
    finishAnswer(status);
}

void PeerConnection::writeHead(int status, qint64 contentLength, const QByteArray &contentType)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    head += "Content-Type: " + contentType + "\r\n";
    if (contentLength >= 0)
        head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    head += "Connection: close\r\n\r\n";
    m_socket->write(head);
}

void PeerConnection::finishAnswer(int status)
{
    m_state = State::Closing;
    m_servedFile.close();
    emit requestHandled(m_head, status);
    m_socket->disconnectFromHost();
}

void PeerConnection::cut()
{
    // The bytes counted so far reach the client, then the connection breaks off.
    m_state = State::Closing;
    m_servedFile.close();
    m_rawBody.close();
    emit requestHandled(m_head, 0);
    if (m_socket->bytesToWrite() == 0)
        m_socket->abort();
    else
        m_cutPending = true;
}

} // namespace velumark::peer
