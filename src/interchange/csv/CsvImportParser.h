#pragma once

#include "interchange/csv/CsvValueParser.h"
#include "interchange/csv/InputTextStream.h"
#include "store/Result.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velumark {

class SqliteConnection;

// What a CSV import put into the intermediate database.
struct CsvImportSummary
{
    qint64 artworkCount = 0;
    qint64 clientCount = 0;
    qint64 submissionCount = 0;
    // Distinct medium names of the stored artworks; the default mediums are stored but not counted.
    qint64 mediumCount = 0;
    qint64 artistCount = 0;
    // What ended the reading before the end of the file, and the line (from 1) where what was
    // cut begins. The rows before it were stored; the row it belongs to was not.
    InputTextStream::Cut cut = InputTextStream::Cut::None;
    qint64 cutLine = 0;

    bool storedAnything() const { return artworkCount + clientCount + submissionCount > 0; }
};

// Turns a CSV file in the export's format into an intermediate database made from the template:
// artworks, clients and the submissions between them, mediums and artists, and the version row
// that the database import reads before merging it into a document. Works only on its own files,
// so it may run on a worker thread; it cannot be cancelled (the merge that follows can).
class CsvImportParser
{
public:
    // Told the share of the file read (0 to 1) after every line.
    using Progress = std::function<void(double fraction)>;

    CsvImportParser(QString csvPath, QString databasePath, Progress progress = {});
    ~CsvImportParser();
    CsvImportParser(const CsvImportParser &) = delete;
    CsvImportParser &operator=(const CsvImportParser &) = delete;

    // Fails with the reason when the intermediate database was not written (the file is then
    // removed).
    Result<CsvImportSummary> parse();

private:
    enum class Section
    {
        None,
        Artworks,
        Clients,
        Submissions
    };
    enum class Phase
    {
        NoSection,
        HeaderExpected,
        Rows
    };
    // A stored artwork's title or client's company, for linking submissions.
    struct StoredName
    {
        QString text;
        qint64 key;
        QByteArray sortKey; // made when the submissions begin
    };

    // Database failures are raised.
    Result<> createDatabase();
    Result<> readFile();
    void finishDatabase();

    void processLine(const QString &line);
    bool isCommentLine(const QString &line);
    bool takeTitleLine(const QString &line);
    // The column titles of the current section.
    const QStringList &sectionColumns() const;
    void takeHeaderLine(const QString &line);
    void readRecord(const QString &line);
    void storeArtwork(const QStringList &fields);
    void storeClient(const QStringList &fields);
    void storeSubmission(const QStringList &fields);
    void insertExportHeader(qint64 artworkCount, qint64 clientCount, qint64 submissionCount,
                            qint64 mediumCount, qint64 artistCount);
    void discardDatabase();

    static std::optional<qint64> findStored(const std::vector<StoredName> &sorted, const QString &text);
    QDateTime parseDate(const QString &text);

    const QString m_csvPath;
    const QString m_databasePath;
    const Progress m_progress;
    const CsvValueParser m_values;
    // Title lines and headers are read through a stream that is never opened, so that a stray
    // quote in them cannot swallow the lines after them.
    InputTextStream m_singleLine;
    InputTextStream m_stream;
    std::unique_ptr<SqliteConnection> m_database;

    // Words of the format, localized once per import.
    const QString m_artworksTitle;
    const QString m_clientsTitle;
    const QString m_submissionsTitle;
    const QStringList m_artworkColumns;
    const QStringList m_clientColumns;
    const QStringList m_submissionColumns;
    const QString m_closed;

    Section m_section = Section::None;
    Phase m_phase = Phase::NoSection;
    std::vector<StoredName> m_artworks;
    std::vector<StoredName> m_clients;
    QHash<QString, QDateTime> m_dates; // the dates read so far, by their text
    QSet<QString> m_mediumNames;
    QSet<QString> m_artistNames;
    CsvImportSummary m_summary;
};

} // namespace velumark
