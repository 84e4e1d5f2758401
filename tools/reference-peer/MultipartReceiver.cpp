#include "MultipartReceiver.h"

#include "HttpRequestHead.h"

#include <QDir>

namespace velumark::peer {

namespace {

constexpr qsizetype kMaximumPartHeaders = 8 * 1024;
constexpr qsizetype kMaximumPadding = 256;

// The last component of a client's file name, or the fallback when nothing usable is left:
// a part may never place its file outside the folder.
QString safeFileName(const QByteArray &rawName)
{
    QString name = QString::fromUtf8(rawName);
    name = name.mid(name.lastIndexOf(u'/') + 1);
    name = name.mid(name.lastIndexOf(u'\\') + 1);
    bool usable = !name.isEmpty() && !name.startsWith(u'.');
    for (const QChar c : name)
        usable = usable && c.isPrint();
    return usable ? name : QString::fromLatin1(MultipartReceiver::kFallbackFileName);
}

} // namespace

MultipartReceiver::MultipartReceiver(const QByteArray &boundary, QString folder)
    : m_delimiter("\r\n--" + boundary), m_folder(std::move(folder))
{
    // The first delimiter may open the body without a line break before it.
    m_pending = "\r\n";
}

MultipartReceiver::~MultipartReceiver() = default;

bool MultipartReceiver::feed(QByteArrayView data)
{
    if (m_state == State::Failed)
        return false;
    m_pending.append(data);
    while (step()) {
    }
    return m_state != State::Failed;
}

bool MultipartReceiver::finish()
{
    if (m_state == State::Failed)
        return false;
    if (m_state != State::Epilogue)
        return fail(QStringLiteral("the body ended before its closing boundary"));
    if (!m_file)
        return fail(QStringLiteral("the body had no part named \"file\""));
    if (!m_file->commit())
        return fail(QStringLiteral("could not store %1: %2").arg(m_file->fileName(), m_file->errorString()));
    m_storedFilePath = m_file->fileName();
    m_file.reset();
    return true;
}

// Takes one step through the pending bytes; false when more input is needed.
bool MultipartReceiver::step()
{
    switch (m_state) {
    case State::Preamble:
    case State::PartBody: {
        const qsizetype found = m_pending.indexOf(m_delimiter);
        // Without a delimiter, all but its possible beginning at the end is part data.
        const qsizetype settled = found >= 0 ? found : m_pending.size() - (m_delimiter.size() - 1);
        if (settled > 0) {
            if (m_state == State::PartBody && !writePartData(QByteArrayView(m_pending).first(settled)))
                return false;
            m_pending.remove(0, settled);
        }
        if (found < 0)
            return false;
        m_pending.remove(0, m_delimiter.size());
        m_writingFile = false;
        m_state = State::AfterDelimiter;
        return true;
    }
    case State::AfterDelimiter: {
        if (m_pending.size() < 2)
            return false;
        if (m_pending.startsWith("--")) {
            m_pending.clear();
            m_state = State::Epilogue;
            return false;
        }
        const qsizetype lineEnd = m_pending.indexOf("\r\n");
        if (lineEnd < 0)
            return m_pending.size() > kMaximumPadding ? fail(QStringLiteral("malformed boundary line"))
                                                      : false;
        for (qsizetype i = 0; i < lineEnd; ++i) {
            if (m_pending[i] != ' ' && m_pending[i] != '\t')
                return fail(QStringLiteral("malformed boundary line"));
        }
        m_pending.remove(0, lineEnd + 2);
        m_state = State::PartHeaders;
        return true;
    }
    case State::PartHeaders: {
        qsizetype headersEnd = 0;
        qsizetype consumed = 2;
        if (!m_pending.startsWith("\r\n")) {
            headersEnd = m_pending.indexOf("\r\n\r\n");
            consumed = headersEnd + 4;
        }
        if (headersEnd < 0) {
            if (m_pending.size() > kMaximumPartHeaders)
                return fail(QStringLiteral("part headers too long"));
            return false;
        }
        if (!startPart(QByteArrayView(m_pending).first(headersEnd)))
            return false;
        m_pending.remove(0, consumed);
        m_state = State::PartBody;
        return true;
    }
    case State::Epilogue:
        m_pending.clear();
        return false;
    case State::Failed:
        return false;
    }
    return false;
}

bool MultipartReceiver::startPart(QByteArrayView headers)
{
    // Part headers look like request header fields; a made-up request line lets them share the parser.
    const std::optional<HttpRequestHead> head =
        HttpRequestHead::parse(QByteArray("PART / HTTP/1.1\r\n").append(headers));
    if (!head)
        return fail(QStringLiteral("malformed part headers"));
    const QByteArray disposition = head->field("Content-Disposition").value_or(QByteArray());
    if (headerParameter(disposition, "name") != QByteArray("file") || m_file)
        return true;
    const QString path = QDir(m_folder).filePath(
        safeFileName(headerParameter(disposition, "filename").value_or(QByteArray())));
    m_file = std::make_unique<QSaveFile>(path);
    if (!m_file->open(QIODevice::WriteOnly))
        return fail(QStringLiteral("could not write %1: %2").arg(path, m_file->errorString()));
    m_writingFile = true;
    return true;
}

bool MultipartReceiver::writePartData(QByteArrayView data)
{
    if (!m_writingFile)
        return true;
    if (m_file->write(data.data(), data.size()) != data.size())
        return fail(QStringLiteral("could not write %1: %2").arg(m_file->fileName(), m_file->errorString()));
    return true;
}

bool MultipartReceiver::fail(const QString &message)
{
    m_state = State::Failed;
    m_error = message;
    m_pending.clear();
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();
    }
    return false;
}

} // namespace velumark::peer
