#pragma once

#include "document/CellContent.h"
#include "store/Submission.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace velumark {

class Artwork;
class Client;
class Submission;
class VelumarkDatabase;

// What a submission list shows: the document's displayed submissions (the main list), or the
// submissions of one artwork or client (history mode), in year sections, with overdue rows
// highlighted. The main list also keeps the document's count of overdue submissions.
class SubmissionListController
{
public:
    static constexpr double kNormalCellHeight = 80;
    static constexpr double kImageDimension = 54;

    explicit SubmissionListController(VelumarkDatabase &database);
    ~SubmissionListController();
    SubmissionListController(const SubmissionListController &) = delete;
    SubmissionListController &operator=(const SubmissionListController &) = delete;

    // History mode: the artwork's (or, without artwork, the client's) own submissions.
    void setHistory(Artwork *artwork, Client *client);
    bool historyScreen() const { return m_artworkForHistory || m_clientForHistory; }
    Artwork *artworkForHistory() const { return m_artworkForHistory; }
    Client *clientForHistory() const { return m_clientForHistory; }

    // Rebuilds the document's displayed submissions: artwork title, client company, status or
    // date line containing the text, ignoring case; all for an empty text.
    void handleSearch(const QString &text);
    void refreshData(const QString *text = nullptr);
    // Marks the first row of each send-date year.
    void refreshHeadings();

    const std::vector<Submission *> &rows() const;
    qsizetype rowCount() const { return static_cast<qsizetype>(rows().size()); }
    Submission *submissionAt(qsizetype row) const;
    // Column 0 "Submission", column 1 "Status".
    CellContent cell(qsizetype row, int column) const;
    double rowHeight(qsizetype row) const;
    static bool matches(const Submission &submission, const QString &text);
    // The year of the send date, or "#" without one.
    static QString sectionTitle(const Submission &submission);

    quint64 overdueSubs() const { return m_overdueSubs; }
    void recalculateOverdue();
    void incrementOverdue();
    // Never below 0.
    void decrementOverdue();

private:
    struct SearchIndex;
    void setOverdue(quint64 count);
    // Whether the index holds the texts of the document's submissions as they are now.
    bool indexIsCurrent(const Submission::TextContext &context, quint32 collation);
    void buildIndex(const Submission::TextContext &context, quint32 collation);
    bool matchesRecord(const Submission &submission, const SearchNeedle &needle,
                       const Submission::TextContext &context) const;

    VelumarkDatabase &m_database;
    Artwork *m_artworkForHistory = nullptr;
    Client *m_clientForHistory = nullptr;
    quint64 m_overdueSubs = 0;
    std::unique_ptr<SearchIndex> m_index;
};

} // namespace velumark
