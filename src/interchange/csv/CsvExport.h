#pragma once

#include "interchange/DocumentExport.h"

#include <QString>
#include <optional>
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
    // The scope codes of the export dialog.
    enum Scope
    {
        Everything = 0,         // artworks, clients, submissions
        ArtworksAndClients = 1, // artworks, clients
        ArtworksOnly = 2,
        ClientsOnly = 3
    };

    CsvExport(VelumarkDatabase &document, QString destination, int scope, QObject *parent = nullptr);
    ~CsvExport() override;

protected:
    bool checkParameters(QString *error) override;
    Outcome run() override;

private:
    // A record's line and what the user calls the record.
    struct Line
    {
        QString text;
        QString record;
    };
    // Writes the section start, then one line per key (an empty line text skips the record);
    // an outcome when the export has to end there, also when a record is longer than the
    // CSV import reads back.
    template <typename LineOf>
    std::optional<Outcome> writeSection(ExportFile &file, const QString &title, const QStringList &columns,
                                        const std::vector<qint64> &keys, LineOf lineOf);
    std::optional<Outcome> writeSubmissions(ExportFile &file, SnapshotReader &reader);
    void recordDone();

    const QString m_destination;
    const int m_scope;
    qint64 m_total = 0;
    qint64 m_done = 0;
};

} // namespace velumark
