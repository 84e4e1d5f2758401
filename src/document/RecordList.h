#pragma once

#include "document/CellContent.h"
#include "document/DocumentNotifier.h"

#include <QObject>
#include <QString>
#include <algorithm>
#include <vector>

namespace velumark {

class Record;
class VelumarkDatabase;

// One list as a window shows it: its rows (records of the document, filtered by its search
// text), which rows start a section, its sort state and the texts of its cells. The list follows
// the document by itself (it listens to the document's notifier) and announces every change of
// its rows in the order a Qt item model needs them:
//
//   rowsAboutToBeInserted/rowsInserted (first, last)  -> beginInsertRows/endInsertRows
//   rowsAboutToBeRemoved/rowsRemoved (first, last)    -> beginRemoveRows/endRemoveRows
//   rowChanged (row)                                  -> dataChanged over the row's columns
//   orderAboutToChange/orderChanged (a re-sort)       -> layoutAboutToBeChanged/layoutChanged;
//        the model remembers the record of each persistent index before and finds it with
//        rowOf() after (the set of rows is the same)
//   listAboutToBeRebuilt/listRebuilt (search, reload) -> beginResetModel/endResetModel
//
// At the first signal of a pair the list still holds the old rows, at the second the new ones,
// as Qt's begin and end calls expect. An edit that does not move its record gives one rowChanged
// for that row; rows whose texts follow another record (the latest client of an artwork, the
// title in a submission row) and neighbours whose section band appears or disappears get their
// own rowChanged (after a removal, while the removed record's links can still be read).
// A model answers rowCount/columnCount from the list, data from cell() (and rowHeight() for the
// size hint) and never keeps a Record pointer past rowsRemoved. The main lists are made by the
// document; submission histories are SubmissionListController objects put in history mode.
// Several lists of one document may live at once; each keeps its own state. Main thread only.
class RecordList : public QObject
{
    Q_OBJECT
public:
    using Kind = DocumentNotifier::Kind;

    ~RecordList() override;

    qsizetype rowCount() const { return static_cast<qsizetype>(m_rows.size()); }
    // Null outside the rows.
    Record *recordAt(qsizetype row) const;
    // -1 when the record is not shown.
    qsizetype rowOf(const Record *record) const;
    virtual int columnCount() const = 0;
    // What the cell shows; an empty cell outside the rows or columns.
    virtual CellContent cell(qsizetype row, int column) const = 0;
    // Whether the row carries a section band, and its height with the band.
    bool isSectionHeading(qsizetype row) const;
    // The rows that carry a band, in order: the only rows not of the normal height.
    std::vector<qsizetype> sectionHeadingRows() const;
    double rowHeight(qsizetype row) const;
    virtual double normalCellHeight() const = 0;

    // Rebuilds the rows with every record whose shown texts contain the text, ignoring case (all
    // for an empty text); announced as a rebuild.
    void handleSearch(const QString &text);
    // The list contract: with a text, searches for it; then rebuilds with the current search text
    // (sections follow the preferences again).
    void refreshData(const QString *text = nullptr);
    const QString &searchText() const { return m_searchText; }

    // The column that holds the sort indicator and the direction. "Ascending" is the order a list
    // starts in (titles A to Z, companies A to Z, newest submission first).
    int sortColumn() const { return m_sortColumn; }
    bool isSortAscending() const { return m_ascending; }
    // A click on a column heading: on the column that holds the indicator it flips the direction,
    // on another it moves the indicator and keeps the direction. Then the rows are sorted.
    void sortByColumn(int column);
    // Sets both and sorts (for a header view that decides the direction itself).
    void setSortOrder(int column, bool ascending);

signals:
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void rowChanged(int row);
    void orderAboutToChange();
    void orderChanged();
    void listAboutToBeRebuilt();
    void listRebuilt();

protected:
    RecordList(VelumarkDatabase &document, QObject *parent);

    VelumarkDatabase &document() const { return m_document; }
    const std::vector<Record *> &rows() const { return m_rows; }

    // Every record the list would show without a search, in its order.
    virtual std::vector<Record *> sourceRecords() const = 0;
    // Where the record stands in sourceRecords() (-1 when absent), and how many it holds; lists
    // over a document list find them without copying it.
    virtual qsizetype sourceIndexOf(const Record *record) const;
    virtual size_t sourceCount() const;
    // Whether the record's shown texts contain the text (not empty), ignoring case.
    virtual bool matches(const Record &record, const QString &text) const = 0;
    // The rows for the current search text; by default the source records that match it.
    virtual std::vector<Record *> searchedRecords() const;
    // Marks the rows that start a section (flags has the size of rows, all false on entry).
    virtual void markSections(const std::vector<Record *> &rows, std::vector<char> &flags) const = 0;
    // The records whose rows this news changes, besides a record of the list's own kind.
    virtual void collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const = 0;
    // Puts the source in the order of the sort state (the document's sorts for the main lists).
    virtual void applySortOrder() = 0;

    // Brings the rows up to the source, keeping the search hits of untouched records, and
    // announces the difference; touched records are searched again and announced as changed.
    void followSource(const std::vector<Record *> &touched);
    // After a sort of the source: the same rows in its new order, announced as a re-sort.
    void followOrder();
    // Rebuilds the rows from the source with the search text, announced as a rebuild.
    void rebuild();
    // Takes the record's row out before the record goes.
    void dropRecord(const Record *record);

    // The place of a record in a list of owned records (a document list), -1 when absent.
    template <typename Owned> static qsizetype indexIn(const Owned &records, const Record *record)
    {
        const auto it = std::find_if(records.begin(), records.end(),
                                     [record](const auto &owned) { return owned.get() == record; });
        return it == records.end() ? -1 : it - records.begin();
    }

    // The first row of each run of equal keys in order of appearance starts a section.
    template <typename Key, typename KeyOf>
    static void markFirstOfEach(const std::vector<Record *> &rows, std::vector<char> &flags, KeyOf keyOf)
    {
        // A list spans few sections: a short list of them beats hashing every row.
        std::vector<Key> seen;
        for (size_t i = 0; i < rows.size(); ++i) {
            Key key = keyOf(*rows[i]);
            if (std::find(seen.begin(), seen.end(), key) == seen.end()) {
                seen.push_back(std::move(key));
                flags[i] = 1;
            }
        }
    }

private:
    void onRecordAdded(Kind kind, Record *record);
    void onRecordChanged(Kind kind, Record *record);
    void onRecordAboutToBeRemoved(Kind kind, Record *record);
    void onRecordRemoved(Kind kind, Record *record);
    virtual bool holdsKind(Kind kind) const = 0;
    bool followOneNewRecord(const std::vector<Record *> &touched);
    void apply(const std::vector<Record *> &newRows, const std::vector<Record *> &touched);
    void removeRuns(const std::vector<Record *> &newRows);
    void insertRuns(const std::vector<Record *> &newRows, const std::vector<char> &newFlags);
    void announceChanged(const std::vector<Record *> &touched, const std::vector<char> *newFlags = nullptr);
    const std::vector<char> &sectionStarts() const;
    void forgetSections();

    VelumarkDatabase &m_document;
    std::vector<Record *> m_rows;
    // One flag per row once marked (a cache of markSections).
    mutable std::vector<char> m_sectionStarts;
    mutable bool m_sectionsMarked = false;
    QString m_searchText;
    int m_sortColumn = 0;
    bool m_ascending = true;
    bool m_reloading = false;
};

} // namespace velumark
