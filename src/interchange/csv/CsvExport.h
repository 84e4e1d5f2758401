#pragma once

#include "interchange/DocumentExport.h"
#include "interchange/TransferScope.h"

#include <QString>
#include <vector>

namespace velumark {

class ExportFile;
class SnapshotReader;

// Writes a document's records to a CSV file in the format the CSV import reads: the comment
// lines, then the sections of the scope, each with its title and header even when empty. Records
// without their identifying text (an artwork's title, a client's company, a submission's artwork
// or client) are left out. The destination changes only when the whole file was written: a
// cancelled export ends Cancelled and a failed write Failed, and either leaves what was there.
class CsvExport : public DocumentExport
{
    Q_OBJECT
public:
    // The complete scope writes artworks, clients and submissions; the others their records.
    CsvExport(VelumarkDatabase &document, QString destination, TransferScope scope,
              QObject *parent = nullptr);
    ~CsvExport() override;

protected:
    Result<> checkParameters() override;
    Result<> run() override;

private:
    // A record's line and what the user calls the record.
    struct Line
    {
        QString text;
        QString record;
    };
    // Writes the section start, then one line per key (an empty line text skips the record).
    // Fails when the export has to end there, also when a record is longer than the CSV import
    // reads back.
    template <typename LineOf>
    Result<> writeSection(ExportFile &file, const QString &title, const QStringList &columns,
                          const std::vector<qint64> &keys, LineOf lineOf);
    Result<> writeSubmissions(ExportFile &file, SnapshotReader &reader);
    void recordDone();

    const QString m_destination;
    const TransferScope m_scope;
    qint64 m_total = 0;
    qint64 m_done = 0;
};

} // namespace velumark
