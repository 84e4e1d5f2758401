#pragma once

#include <QString>
#include <QStringList>

namespace velumark {

class Artwork;
class ReportSummary;

// The pieces of the HTML report. Every text of a record or of the locale is encoded before it
// reaches the markup, and picture paths are percent-encoded, so that no name can add markup.
class ReportHtml
{
public:
    // Head, title, logo, the export line and the summary table, opening the body.
    static QString head(const ReportSummary &summary, int pageWidth, const QString &logoSource,
                        const QString &exportedOn);
    // One artwork on a page of its own (numbered from 1), with its photos in the given order.
    static QString page(int number, int pageWidth, const Artwork &artwork, const QStringList &photoSources,
                        double totalIncome);
    static QString closing();

    // The text with & " < > replaced by their entities and each line feed by a line break.
    static QString encodeStringToHTML(const QString &text);
    // A relative picture path for a src attribute: folder, "/", file, each percent-encoded.
    static QString sourcePath(const QString &folderName, const QString &fileName);
};

} // namespace velumark
