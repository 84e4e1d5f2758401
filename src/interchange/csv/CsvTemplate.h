#pragma once

#include <QString>
#include <QStringList>

namespace velumark {

// The words of the CSV file format: section titles and column titles, localized, so that a file
// carries the words of the language it was written in.
class CsvTemplate
{
public:
    static QString artworksTitle();
    static QString clientsTitle();
    static QString submissionsTitle();

    // The column titles of each section, in their order.
    static QStringList artworkColumns();
    static QStringList clientColumns();
    static QStringList submissionColumns();
};

} // namespace velumark
