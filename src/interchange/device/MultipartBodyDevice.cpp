#include "interchange/device/MultipartBodyDevice.h"

#include <algorithm>
#include <cstring>

namespace velumark {

MultipartBodyDevice::MultipartBodyDevice(QByteArray prefix, const QString &filePath, QByteArray suffix,
                                         QObject *parent)
    : QIODevice(parent), m_prefix(std::move(prefix)), m_suffix(std::move(suffix)), m_file(filePath)
{}

MultipartBodyDevice::~MultipartBodyDevice() = default;

bool MultipartBodyDevice::openBody()
{
    // Unbuffered: the block below is the only copy of file data this side of the network layer.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    m_fileSize = m_file.size();
    m_bodyLength = m_prefix.size() + m_fileSize + m_suffix.size();
    return rewind() && open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool MultipartBodyDevice::reset()
{
    return isOpen() && rewind();
}

bool MultipartBodyDevice::rewind()
{
    if (!m_file.isOpen() && !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    if (!m_file.seek(0))
        return false;
    m_fileRemaining = m_fileSize;
    m_bodyDelivered = 0;
    m_phase = Phase::Prefix;
    m_segment = m_prefix;
    m_segmentOffset = 0;
    return true;
}

qint64 MultipartBodyDevice::bytesAvailable() const
{
    if (m_phase == Phase::Failed)
        return QIODevice::bytesAvailable();
    return m_bodyLength - m_bodyDelivered + QIODevice::bytesAvailable();
}

bool MultipartBodyDevice::atEnd() const
{
    return m_phase == Phase::Done || m_phase == Phase::Failed;
}

qint64 MultipartBodyDevice::readData(char *data, qint64 maxSize)
{
    qint64 copied = 0;
    while (copied < maxSize) {
        if (m_segmentOffset == m_segment.size() && !nextSegment())
            break;
        const qint64 count = std::min<qint64>(maxSize - copied, m_segment.size() - m_segmentOffset);
        std::memcpy(data + copied, m_segment.data() + m_segmentOffset, size_t(count));
        m_segmentOffset += count;
        copied += count;
    }
    m_bodyDelivered += copied;
    if (copied == 0 && atEnd())
        return -1;
    return copied;
}

qint64 MultipartBodyDevice::writeData(const char *, qint64)
{
    return -1;
}

bool MultipartBodyDevice::nextSegment()
{
    switch (m_phase) {
    case Phase::Prefix:
        m_phase = Phase::File;
        m_block.resize(kBlockSize);
        return readBlock();
    case Phase::File:
        return readBlock();
    case Phase::Suffix:
        m_phase = Phase::Done;
        return false;
    case Phase::Done:
    case Phase::Failed:
        return false;
    }
    return false;
}

bool MultipartBodyDevice::readBlock()
{
    if (m_fileRemaining == 0) {
        m_file.close();
        m_block = QByteArray();
        m_phase = Phase::Suffix;
        m_segment = m_suffix;
        m_segmentOffset = 0;
        return true;
    }
    const qint64 count = m_file.read(m_block.data(), std::min(kBlockSize, m_fileRemaining));
    if (count <= 0) {
        m_file.close();
        m_block = QByteArray();
        m_phase = Phase::Failed;
        m_segment = {};
        m_segmentOffset = 0;
        emit fileReadFailed();
        return false;
    }
    m_fileRemaining -= count;
    m_segment = QByteArrayView(m_block.constData(), count);
    m_segmentOffset = 0;
    return true;
}

} // namespace velumark
