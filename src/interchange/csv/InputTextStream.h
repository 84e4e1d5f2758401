#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QFile;

namespace velumark {

// Reads a text file line by line in 128-byte chunks, so that memory stays bounded by one line
// whatever the file holds. A line ends at LF, CR or CR LF (also when the CR and the LF fall in
// different chunks); the terminator is not part of the line. Lines are decoded as UTF-8, or as
// Windows-1252 when their bytes are not valid UTF-8; a UTF-8 byte-order mark that opens the file
// is skipped.
class InputTextStream
{
public:
    // Results of readLine().
    static constexpr int kLineRead = 0;
    static constexpr int kEndOfInput = -1;
    static constexpr int kLineTooLong = 255;

    static constexpr qsizetype kChunkSize = 128;
    // Bytes, terminator not counted: room for a line of a million characters in any script (UTF-8
    // takes at most three bytes for each UTF-16 unit), the longest record the CSV export writes.
    static constexpr qsizetype kMaximumLineLength = 3 * 1000 * 1000;

    // Why the reading ended before the end of the file.
    enum class Cut
    {
        None,
        LineTooLong,   // a line longer than kMaximumLineLength
        FieldTooLong,  // a quoted field that grew beyond the field reader's limit
        QuoteNotClosed // the file ended inside a quoted field
    };

    InputTextStream();
    ~InputTextStream();
    InputTextStream(const InputTextStream &) = delete;
    InputTextStream &operator=(const InputTextStream &) = delete;

    // False when already open, when the path is not a regular file or when it cannot be read.
    // Otherwise starts over at the beginning of the file.
    bool open(const QString &path);
    // False when not open.
    bool close();
    bool isOpen() const { return m_inputStream != nullptr; }

    // kLineRead with the next line; kEndOfInput, with the last line when it had no terminator
    // (and at once on a stream that is not open); kLineTooLong when a line exceeds
    // kMaximumLineLength bytes, and from then on at every call until the next open().
    int readLine(std::optional<QString> &line);

    // For callers that join lines into one text. A field that grew too long ends the reading as an
    // over-long line does; a quoted field the file ended inside is noted. Both with the line the
    // field began on.
    void markFieldTooLong(qint64 fromLine);
    void markQuoteNotClosed(qint64 fromLine);
    bool lineTooLong() const { return m_lineTooLong; }
    // What cut the reading short, and the line (from 1) where what was cut begins.
    Cut cut() const { return m_cut; }
    qint64 cutLine() const { return m_cutLine; }
    // The file could not be read to its end (an I/O error, not the end of the file).
    bool readFailed() const { return m_readFailed; }
    // Number (from 1) of the line last delivered or, once too long, of the line that was.
    qint64 lineNumber() const { return m_lineNumber; }
    // The share of the file read so far, 0 to 1 (0 on a stream that is not open or an empty file).
    double fractionRead() const;

private:
    // Moves the unread part of the chunk up to `end` into the line; false when that makes the
    // line too long.
    bool takeBytesUntil(qsizetype end);
    // False at the end of the file.
    bool readChunk();
    int stopTooLong();
    static QString decode(const QByteArray &bytes);

    std::unique_ptr<QFile> m_inputStream;
    QByteArray m_data;
    char m_buf[kChunkSize];
    qsizetype m_bytesRead = 0;
    qsizetype m_index = 0;
    qsizetype m_startpos = 0;
    bool m_lineTooLong = false;
    bool m_crFound = false;
    bool m_atFileStart = true;
    bool m_readFailed = false;
    Cut m_cut = Cut::None;
    qint64 m_cutLine = 0;
    qint64 m_linesEnded = 0;
    qint64 m_lineNumber = 0;
    qint64 m_fileSize = 0;
};

} // namespace velumark
