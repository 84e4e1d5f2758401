#pragma once

#include <QSaveFile>
#include <QString>

namespace velumark {

// A file that an export writes piece by piece, in blocks. The blocks go to a temporary file beside the
// destination, which takes the destination's name only when commit() succeeds; a file that is
// dropped without a commit is removed, so a failed or cancelled export leaves whatever was at the
// destination before.
class ExportFile
{
public:
    explicit ExportFile(const QString &destination);
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    // False when the temporary file cannot be made (see errorString()).
    bool open();
    // Adds the text's UTF-8 bytes to the file; they are written in blocks. False when a block
    // was refused.
    bool outputString(const QString &text);
    // Puts the file in place of the destination; false when that failed (the file is then gone).
    bool commit();

    // What went wrong, naming the destination.
    QString errorString() const;

private:
    static constexpr qsizetype kBlockSize = 64 * 1024;

    bool writePending();

    QSaveFile m_file;
    QByteArray m_pending;
    QString m_destination;
};

} // namespace velumark
