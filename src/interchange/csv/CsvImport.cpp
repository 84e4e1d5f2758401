#include "interchange/csv/CsvImport.h"

#include "interchange/csv/CsvFieldReader.h"
#include "interchange/csv/CsvImportParser.h"
#include "store/Localization.h"

#include <QLocale>

namespace velumark {

CsvImport::CsvImport(VelumarkDatabase &document, QString csvPath, TransferScope scope, QObject *parent)
    : DatabaseImport(document, Source::Prepared, std::move(csvPath), scope, false, parent)
{
    // Reading the file takes about as long as merging what it made.
    setPreparationShare(kParseShare);
}

Result<> CsvImport::prepareForeignDatabase(const QString &target)
{
    CsvImportParser parser(sourcePath(), target, [this](double fraction) { reportPreparation(fraction); });
    const Result<CsvImportSummary> parsed = parser.parse();
    if (!parsed)
        return Failure{parsed.message()};
    if (!parsed->storedAnything())
        return Failure{
            localized("The CSV file holds no artwork, client or submission that could be imported.")};
    m_cut = parsed->cut;
    m_cutLine = parsed->cutLine;
    return {};
}

QString CsvImport::cutMessage(InputTextStream::Cut cut, qint64 line)
{
    const QLocale locale;
    switch (cut) {
    case InputTextStream::Cut::None:
        break;
    case InputTextStream::Cut::LineTooLong:
        return localized("The CSV file was read only up to line %1, which is longer than %2 bytes. The "
                         "records before that line were imported; the rest of the file was not.")
            .arg(line)
            .arg(locale.toString(InputTextStream::kMaximumLineLength));
    case InputTextStream::Cut::FieldTooLong:
        return localized("The CSV file was read only up to line %1: a quoted field that begins there grows "
                         "beyond %2 characters (is a quote left open?). The records before that line were "
                         "imported; that record and the rest of the file were not.")
            .arg(line)
            .arg(locale.toString(kMaximumFieldLength));
    case InputTextStream::Cut::QuoteNotClosed:
        return localized("The CSV file was read only up to line %1: a quoted field that begins there is "
                         "never closed, so it runs to the end of the file. The records before that line "
                         "were imported; that record and the rest of the file were not.")
            .arg(line);
    }
    return {};
}

Result<> CsvImport::finish(Result<> outcome)
{
    outcome = DatabaseImport::finish(std::move(outcome));
    // The records before the cut are in; the user must know the rest is not.
    if (outcome && m_cut != InputTextStream::Cut::None)
        setNote(cutMessage(m_cut, m_cutLine));
    return outcome;
}

CsvImport::~CsvImport()
{
    stopWorker();
}

} // namespace velumark
