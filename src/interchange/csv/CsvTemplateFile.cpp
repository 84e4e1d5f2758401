#include "interchange/csv/CsvTemplateFile.h"

#include "interchange/ExportFile.h"
#include "interchange/csv/CsvExportLines.h"
#include "interchange/csv/CsvTemplate.h"
#include "store/Clock.h"

namespace velumark {

Result<> writeCsvTemplate(const QString &path)
{
    ExportFile file(path);
    const QString text =
        CsvExportLines::commentLines(Clock::now()) +
        CsvExportLines::sectionStart(CsvTemplate::artworksTitle(), CsvTemplate::artworkColumns()) +
        CsvExportLines::sectionStart(CsvTemplate::clientsTitle(), CsvTemplate::clientColumns()) +
        CsvExportLines::sectionStart(CsvTemplate::submissionsTitle(), CsvTemplate::submissionColumns());
    if (Result<> opened = file.open(); !opened)
        return opened;
    if (Result<> written = file.outputString(text); !written)
        return written;
    return file.commit();
}

} // namespace velumark
