#pragma once

#include "store/Result.h"

#include <QFile>
#include <QString>

namespace velumark {

// A file that an export writes piece by piece, in blocks. The blocks go to a staging file beside
// the destination (named as Leftovers names them, so that what a killed export left is removed by
// the next one), which takes the destination's name only when commit() succeeds; a file that is
// dropped without a commit is removed, so a failed or cancelled export leaves whatever was at the
// destination before. A destination that is a symbolic link is written where the link leads.
class ExportFile
{
public:
    explicit ExportFile(const QString &destination);
    ~ExportFile();
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    // Each fails naming the destination with the reason; the file is then gone.
    // Makes the staging file.
    Result<> open();
    // Adds the text's UTF-8 bytes to the file; they are written in blocks. Fails when a block was
    // refused.
    Result<> outputString(const QString &text);
    // Writes what is pending and puts it on the disk, without touching the destination yet.
    Result<> complete();
    // Completes the file and puts it in place of the destination.
    Result<> commit();

private:
    static constexpr qsizetype kBlockSize = 64 * 1024;

    Result<> writePending();
    Failure fail(const QString &reason);
    void discard();

    QString m_destination;
    QFile m_file;
    QByteArray m_pending;
    QString m_reason;
    bool m_completed = false;
};

} // namespace velumark
