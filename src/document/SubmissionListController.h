#pragma once

#include "document/RecordList.h"
#include "store/Submission.h"

#include <QString>
#include <chrono>
#include <memory>
#include <vector>

namespace velumark {

class Artwork;
class Client;

// A submission list in two columns (0 "Submission", 1 "Status"), in year sections, with overdue
// rows highlighted. Two modes:
// - the main list: every submission of the document in the document's submission order, filtered
//   by the search text. The document owns the one instance
//   (VelumarkDatabase::submissionListController()); its sort direction is the one the document
//   sorts its submissions in, and it keeps the document's count of overdue submissions.
// - a history list (setHistory): the submissions of one artwork or one client, never filtered,
//   sorted in its own direction, so a history window and the main list do not disturb each other.
//   Whoever shows a history makes its own instance; it empties itself when its record is removed
//   or the document reloads (historyScreen() stays true, with no record) and must not outlive
//   the document.
// Both columns sort by the submission order; the column only holds the indicator.
class SubmissionListController : public RecordList
{
    Q_OBJECT
public:
    static constexpr double kNormalCellHeight = 80;
    static constexpr double kImageDimension = 54;

    explicit SubmissionListController(VelumarkDatabase &document, QObject *parent = nullptr);
    ~SubmissionListController() override;

    // History mode: the artwork's (or, without artwork, the client's) own submissions, announced
    // as a rebuild.
    void setHistory(Artwork *artwork, Client *client);
    bool historyScreen() const { return m_history; }
    Artwork *artworkForHistory() const { return m_artworkForHistory; }
    Client *clientForHistory() const { return m_clientForHistory; }

    Submission *submissionAt(qsizetype row) const;
    int columnCount() const override { return 2; }
    CellContent cell(qsizetype row, int column) const override;
    double normalCellHeight() const override { return kNormalCellHeight; }
    // Whether the text occurs, ignoring case, in the artwork title, the client company, the
    // status text or the date line.
    static bool matches(const Submission &submission, const QString &text);
    // The year of the send date, or "#" without one.
    static QString sectionTitle(const Submission &submission);

    // Makes the search texts of every submission now, so that the first keystroke finds them
    // made: for an idle moment after the document opened. Later searches keep them current.
    void prepareSearch();
    // The same a step at a time, for idle moments that must stay short: adds the submissions to
    // the index for about `budget`, going on where the last step stopped. True when it is made.
    bool prepareSearchStep(std::chrono::nanoseconds budget);

    // The document's overdue count (main list only).
    quint64 overdueSubs() const { return m_overdueSubs; }
    void recalculateOverdue();
    // The count worked out by whoever just judged every submission (a load).
    void setOverdueCount(quint64 count) { setOverdue(count); }
    void incrementOverdue();
    // Never below 0.
    void decrementOverdue();

protected:
    std::vector<Record *> sourceRecords() const override;
    qsizetype sourceIndexOf(const Record *record) const override;
    size_t sourceCount() const override;
    std::vector<Record *> searchedRecords() const override;
    bool matches(const Record &record, const QString &text) const override;
    void markSections(const std::vector<Record *> &rows, std::vector<char> &flags) const override;
    void collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const override;
    void applySortOrder() override;

private:
    struct SearchIndex;
    bool holdsKind(Kind kind) const override { return kind == Kind::Submission; }
    void forgetHistoryRecord();
    void setOverdue(quint64 count);
    // Whether the index holds the texts of the document's submissions as they are now.
    bool indexIsCurrent(const Submission::TextContext &context, quint32 collation) const;
    void buildIndex(const Submission::TextContext &context, quint32 collation) const;
    // Rows for the submissions after those the index holds, until the deadline.
    void appendIndexRows(SearchIndex &index, const Submission::TextContext &context,
                         std::chrono::steady_clock::time_point deadline) const;
    std::vector<Record *> searchIndex(const QString &text) const;
    static bool matchesRecord(const Submission &submission, const SearchNeedle &needle,
                              const Submission::TextContext &context);

    bool m_history = false;
    Artwork *m_artworkForHistory = nullptr;
    Client *m_clientForHistory = nullptr;
    quint64 m_overdueSubs = 0;
    // The index prepareSearchStep is making, until it is whole.
    std::unique_ptr<SearchIndex> m_building;
    // Made on demand by a search; a cache, so a const search may renew it.
    mutable std::unique_ptr<SearchIndex> m_index;
};

} // namespace velumark
