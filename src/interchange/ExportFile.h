#pragma once

#include <QSaveFile>
#include <QString>

namespace velumark {

// A file that an export writes piece by piece. The pieces go to a temporary file beside the
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
    // Writes the text's UTF-8 bytes; true only when every byte was accepted.
    bool outputString(const QString &text);
    // Puts the file in place of the destination; false when that failed (the file is then gone).
    bool commit();

    // What went wrong, naming the destination.
    QString errorString() const;

private:
    QSaveFile m_file;
    QString m_destination;
};

} // namespace velumark
