#include "interchange/csv/InputTextStream.h"

#include "interchange/csv/Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace velumark {

InputTextStream::InputTextStream()
{
    m_data.reserve(kChunkSize);
}

InputTextStream::~InputTextStream() = default;

bool InputTextStream::open(const QString &path)
{
    // Only regular files: reading a pipe or a device could block or never end.
    if (m_inputStream || !QFileInfo(path).isFile())
        return false;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return false;
    m_fileSize = file->size();
    m_inputStream = std::move(file);
    m_data.clear();
    m_bytesRead = 0;
    m_index = 0;
    m_startpos = 0;
    m_lineTooLong = false;
    m_crFound = false;
    m_atFileStart = true;
    m_readFailed = false;
    m_cut = Cut::None;
    m_cutLine = 0;
    m_linesEnded = 0;
    m_lineNumber = 0;
    return true;
}

bool InputTextStream::close()
{
    if (!m_inputStream)
        return false;
    m_inputStream.reset();
    return true;
}

int InputTextStream::readLine(std::optional<QString> &line)
{
    line.reset();
    if (m_lineTooLong)
        return kLineTooLong;
    if (!m_inputStream)
        return kEndOfInput;
    for (;;) {
        while (m_index >= m_bytesRead) {
            if (!takeBytesUntil(m_bytesRead))
                return stopTooLong();
            if (!readChunk()) {
                if (!m_data.isEmpty()) {
                    line = decode(m_data);
                    m_data.clear();
                    m_lineNumber = ++m_linesEnded;
                }
                return kEndOfInput;
            }
        }
        const char byte = m_buf[m_index];
        if (m_crFound) {
            m_crFound = false;
            if (byte == '\n') {
                m_startpos = ++m_index;
                continue;
            }
        }
        if (byte == '\n' || byte == '\r') {
            if (!takeBytesUntil(m_index))
                return stopTooLong();
            m_crFound = byte == '\r';
            m_startpos = ++m_index;
            line = decode(m_data);
            m_data.clear();
            m_lineNumber = ++m_linesEnded;
            return kLineRead;
        }
        ++m_index;
    }
}

bool InputTextStream::takeBytesUntil(qsizetype end)
{
    if (end > m_startpos)
        m_data.append(m_buf + m_startpos, end - m_startpos);
    m_startpos = end;
    return m_data.size() <= kMaximumLineLength;
}

bool InputTextStream::readChunk()
{
    qint64 count = m_inputStream->read(m_buf, kChunkSize);
    if (count < 0) {
        m_readFailed = true;
        count = 0;
    }
    m_bytesRead = count;
    m_index = 0;
    m_startpos = 0;
    if (m_atFileStart) {
        m_atFileStart = false;
        if (count >= 3 && m_buf[0] == '\xEF' && m_buf[1] == '\xBB' && m_buf[2] == '\xBF')
            m_index = m_startpos = 3;
    }
    return count > 0;
}

double InputTextStream::fractionRead() const
{
    if (!m_inputStream || m_fileSize <= 0)
        return 0;
    return std::min(1.0, static_cast<double>(m_inputStream->pos()) / static_cast<double>(m_fileSize));
}

int InputTextStream::stopTooLong()
{
    m_lineTooLong = true;
    m_data.clear();
    m_lineNumber = m_linesEnded + 1;
    m_cut = Cut::LineTooLong;
    m_cutLine = m_lineNumber;
    return kLineTooLong;
}

void InputTextStream::markFieldTooLong(qint64 fromLine)
{
    m_lineTooLong = true;
    m_cut = Cut::FieldTooLong;
    m_cutLine = fromLine;
}

void InputTextStream::markQuoteNotClosed(qint64 fromLine)
{
    m_cut = Cut::QuoteNotClosed;
    m_cutLine = fromLine;
}

QString InputTextStream::decode(const QByteArray &bytes)
{
    // Each line on its own: a file edited in two programs may mix both encodings.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

} // namespace velumark
