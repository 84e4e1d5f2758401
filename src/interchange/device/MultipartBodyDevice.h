#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QIODevice>

namespace velumark {

// The body of a multipart upload, read once from start to end: the prefix, then the file in
// blocks of 32768 bytes, then the suffix. Only one block of the file is held at a time, so a
// file of any size is sent in constant memory.
class MultipartBodyDevice : public QIODevice
{
    Q_OBJECT
public:
    static constexpr qint64 kBlockSize = 32768;

    MultipartBodyDevice(QByteArray prefix, const QString &filePath, QByteArray suffix,
                        QObject *parent = nullptr);
    ~MultipartBodyDevice() override;

    // Opens the file and the body for reading; false when the file cannot be opened.
    bool openBody();
    // Prefix, file size at opening and suffix together: what the body delivers.
    qint64 bodyLength() const { return m_bodyLength; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool atEnd() const override;
    // Starts the body again from its first byte: the network layer sends a request again when a
    // kept-alive connection turns out to have been closed by the device.
    bool reset() override;

signals:
    // The file could not be read, or it ended before its size at opening, so the body cannot
    // reach its announced length. Reading stops there.
    void fileReadFailed();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    enum class Phase
    {
        Prefix,
        File,
        Suffix,
        Done,
        Failed
    };

    // Moves to the next piece of the body once the current one is used up; false when nothing
    // follows.
    bool nextSegment();
    bool rewind();
    bool readBlock();

    QByteArray m_prefix;
    QByteArray m_suffix;
    QFile m_file;
    QByteArray m_block;
    QByteArrayView m_segment;
    qsizetype m_segmentOffset = 0;
    Phase m_phase = Phase::Prefix;
    qint64 m_fileSize = 0;
    qint64 m_fileRemaining = 0;
    qint64 m_bodyLength = 0;
    qint64 m_bodyDelivered = 0;
};

} // namespace velumark
