#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace velumark::peer {

// Reads a multipart/form-data body piece by piece and stores the part named "file" in a folder,
// under the file name it carries. The file appears only once the whole body has arrived intact;
// what is held in memory is bounded by the size of one piece plus the boundary.
class MultipartReceiver
{
public:
    // The name used when a part's own file name is missing or unusable.
    static constexpr const char *kFallbackFileName = "upload.vdbi";

    MultipartReceiver(const QByteArray &boundary, QString folder);
    ~MultipartReceiver();

    // False once the body is malformed or the file cannot be written; error() says why.
    bool feed(QByteArrayView data);
    // The body has ended: stores the file. False when the body was cut short, had no part
    // "file", or the file could not be stored.
    bool finish();

    QString storedFilePath() const { return m_storedFilePath; }
    QString error() const { return m_error; }

private:
    enum class State
    {
        Preamble,
        AfterDelimiter,
        PartHeaders,
        PartBody,
        Epilogue,
        Failed
    };

    bool step();
    bool startPart(QByteArrayView headers);
    bool writePartData(QByteArrayView data);
    bool fail(const QString &message);

    QByteArray m_delimiter;
    QString m_folder;
    QByteArray m_pending;
    State m_state = State::Preamble;
    std::unique_ptr<QSaveFile> m_file;
    bool m_writingFile = false;
    QString m_storedFilePath;
    QString m_error;
};

} // namespace velumark::peer
