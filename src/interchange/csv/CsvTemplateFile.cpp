#include "interchange/csv/CsvTemplateFile.h"

#include "interchange/ExportFile.h"
#include "interchange/csv/CsvExportLines.h"
#include "interchange/csv/CsvTemplate.h"
#include "store/VelumarkUtility.h"

namespace velumark {

Result<> writeCsvTemplate(const QString &path)
{
    ExportFile file(path);
    const QString text =
        CsvExportLines::commentLines(VelumarkUtility::now()) +
        CsvExportLines::sectionStart(CsvTemplate::artworksTitle(), CsvTemplate::artworkColumns()) +
        CsvExportLines::sectionStart(CsvTemplate::clientsTitle(), CsvTemplate::clientColumns()) +
        CsvExportLines::sectionStart(CsvTemplate::submissionsTitle(), CsvTemplate::submissionColumns());
    if (!file.open() || !file.outputString(text) || !file.commit())
        return Failure{file.errorString()};
    return {};
}

} // namespace velumark
