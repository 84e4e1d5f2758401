#pragma once

#include "interchange/csv/CsvFieldReader.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace velumark {

class Artwork;
class Client;
class Submission;

// The lines of the CSV file format, in the words and value styles of the user's locale, as the
// CSV import reads them back. Every record line ends with a line feed; a field is always quoted.
class CsvExportLines
{
public:
    // The longest record line (in characters) the CSV import reads back whole: no field of it can
    // be longer, and none of its lines has more bytes than the import's line limit.
    static constexpr qsizetype kMaximumRecordLength = kMaximumFieldLength;

    // The two comment lines, naming the moment of the export.
    static QString commentLines(const QDateTime &exported);
    // An empty line, the title line and the column header line of a section.
    static QString sectionStart(const QString &title, const QStringList &columns);

    static QString artworkLine(const Artwork &artwork);
    static QString clientLine(const Client &client);
    // The artwork's title and the client's company are those of the linked records.
    static QString submissionLine(const Submission &submission, const QString &artworkTitle,
                                  const QString &clientCompany);

    // The text in double quotes, each double quote inside written twice.
    static QString field(const QString &text);
};

} // namespace velumark
