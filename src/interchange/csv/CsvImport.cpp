#include "interchange/csv/CsvImport.h"

#include "interchange/csv/CsvImportParser.h"
#include "store/Localization.h"

namespace velumark {

CsvImport::CsvImport(VelumarkDatabase &document, QString csvPath, int scope, QObject *parent)
    : DatabaseImport(document, Source::Prepared, std::move(csvPath), scope, false, parent)
{}

DatabaseImport::Outcome CsvImport::prepareForeignDatabase(const QString &target)
{
    CsvImportParser parser(sourcePath(), target);
    const CsvImportResult parsed = parser.parse();
    if (!parsed.succeeded())
        return failed(parsed.errorText);
    if (!parsed.storedAnything())
        return failed(
            localized("The CSV file holds no artwork, client or submission that could be imported."));
    if (parsed.stoppedEarly)
        m_stoppedAtLine = parsed.stoppedAtLine;
    return {};
}

DatabaseImport::Outcome CsvImport::finish(Outcome outcome)
{
    outcome = DatabaseImport::finish(std::move(outcome));
    if (outcome.result == OperationResult::Done && m_stoppedAtLine > 0) {
        // The records before the long line are in; the user must know the rest is not.
        outcome.message =
            localized("The CSV file was read only up to line %1, which is longer than 10,000 bytes. "
                      "The records before that line were imported; the rest of the file was not.")
                .arg(m_stoppedAtLine);
    }
    return outcome;
}

CsvImport::~CsvImport()
{
    stopWorker();
}

} // namespace velumark
