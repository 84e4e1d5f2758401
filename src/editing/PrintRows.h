#pragma once

#include "editing/PrintOptions.h"
#include "store/Submission.h"

#include <QString>
#include <vector>

namespace velumark {
class Client;
class Image;
class RecordList;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::editing {

// What one printed row shows: the texts of the list's cells, the picture and the status marks.
struct PrintRow
{
    QString line1; // title or company
    QString line2; // artist, or the client of a submission
    QString line3; // medium, or the date line of a submission
    QString line4; // the client of an artwork's latest submission
    QString status;
    QString subStatus;
    QString sizeText;
    QString createdText;
    Image *image = nullptr;
    QString statusImage;
    QString statusImage2;
    bool overdue = false;
};

// The rows a list printout shows, in order: the rows of the document's list as the window shows
// it (search applied), or only the selected ones, or a client's submissions that still wait for
// a response.
class PrintRows
{
public:
    PrintRows(VelumarkDatabase &document, const PrintOptions &options);

    qsizetype count() const;
    // The row's texts; those of submissions at the context's "now" (taken once for many rows).
    PrintRow row(qsizetype index, const Submission::TextContext &context) const;
    // The picture of a row alone (what row() would give), without making its texts.
    Image *image(qsizetype index) const;
    // The client of an outstanding list (null otherwise).
    const Client *client() const { return m_client; }

private:
    qsizetype listRowOf(qsizetype index) const
    {
        return m_selectedOnly ? m_selected[static_cast<size_t>(index)] : index;
    }
    PrintRow listRow(qsizetype listRow) const;
    static PrintRow submissionRow(Submission &submission, const Submission::TextContext &context);
    static PrintRow outstandingRow(Submission &submission);

    PrintScreen m_screen;
    RecordList *m_list = nullptr;
    bool m_selectedOnly = false;
    std::vector<qsizetype> m_selected;
    const Client *m_client = nullptr;
    std::vector<Submission *> m_outstanding;
};

} // namespace velumark::editing
