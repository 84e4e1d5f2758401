#include "document/RecordList.h"

#include "document/VelumarkDatabase.h"

#include <algorithm>
#include <unordered_set>

namespace velumark {

namespace {

using RecordSet = std::unordered_set<const Record *>;

RecordSet setOf(const std::vector<Record *> &records)
{
    RecordSet set;
    set.reserve(records.size());
    set.insert(records.begin(), records.end());
    return set;
}

int toInt(size_t value)
{
    return static_cast<int>(value);
}

} // namespace

RecordList::RecordList(VelumarkDatabase &document, QObject *parent) : QObject(parent), m_document(document)
{
    const DocumentNotifier *notifier = document.notifier();
    connect(notifier, &DocumentNotifier::recordAdded, this, &RecordList::onRecordAdded);
    connect(notifier, &DocumentNotifier::recordChanged, this, &RecordList::onRecordChanged);
    connect(notifier, &DocumentNotifier::recordAboutToBeRemoved, this, &RecordList::onRecordAboutToBeRemoved);
    connect(notifier, &DocumentNotifier::recordRemoved, this, &RecordList::onRecordRemoved);
    connect(notifier, &DocumentNotifier::recordsReordered, this, [this](Kind kind) {
        if (holdsKind(kind))
            followOrder();
    });
    connect(notifier, &DocumentNotifier::listsAboutToBeReloaded, this, [this] {
        m_reloading = true;
        emit listAboutToBeRebuilt();
        m_rows.clear();
        forgetSections();
    });
    connect(notifier, &DocumentNotifier::listsReloaded, this, [this] {
        m_reloading = false;
        m_rows = searchedRecords();
        forgetSections();
        emit listRebuilt();
    });
}

RecordList::~RecordList() = default;

Record *RecordList::recordAt(qsizetype row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)] : nullptr;
}

qsizetype RecordList::rowOf(const Record *record) const
{
    const auto it = std::find(m_rows.begin(), m_rows.end(), record);
    return it == m_rows.end() ? -1 : it - m_rows.begin();
}

bool RecordList::isSectionHeading(qsizetype row) const
{
    return row >= 0 && row < rowCount() && sectionStarts()[static_cast<size_t>(row)];
}

std::vector<qsizetype> RecordList::sectionHeadingRows() const
{
    std::vector<qsizetype> headings;
    const std::vector<char> &starts = sectionStarts();
    for (size_t row = 0; row < starts.size(); ++row) {
        if (starts[row])
            headings.push_back(static_cast<qsizetype>(row));
    }
    return headings;
}

double RecordList::rowHeight(qsizetype row) const
{
    return normalCellHeight() + (isSectionHeading(row) ? kSectionBandHeight : 0);
}

void RecordList::handleSearch(const QString &text)
{
    m_searchText = text;
    rebuild();
}

void RecordList::refreshData(const QString *text)
{
    if (text)
        m_searchText = *text;
    rebuild();
}

void RecordList::sortByColumn(int column)
{
    if (column == m_sortColumn)
        m_ascending = !m_ascending;
    m_sortColumn = column;
    applySortOrder();
}

void RecordList::setSortOrder(int column, bool ascending)
{
    m_sortColumn = column;
    m_ascending = ascending;
    applySortOrder();
}

std::vector<Record *> RecordList::searchedRecords() const
{
    std::vector<Record *> source = sourceRecords();
    if (m_searchText.isEmpty())
        return source;
    std::erase_if(source, [this](const Record *record) { return !matches(*record, m_searchText); });
    return source;
}

void RecordList::rebuild()
{
    if (m_reloading)
        return;
    emit listAboutToBeRebuilt();
    m_rows = searchedRecords();
    forgetSections();
    emit listRebuilt();
}

// Bands are worked out when first asked for (an open makes every list, the window shows one):
// until then nobody has seen them, so changes of rows need not announce them.
const std::vector<char> &RecordList::sectionStarts() const
{
    if (!m_sectionsMarked) {
        m_sectionStarts.assign(m_rows.size(), 0);
        markSections(m_rows, m_sectionStarts);
        m_sectionsMarked = true;
    }
    return m_sectionStarts;
}

void RecordList::forgetSections()
{
    m_sectionStarts.clear();
    m_sectionsMarked = false;
}

void RecordList::followSource(const std::vector<Record *> &touched)
{
    if (m_reloading || (m_searchText.isEmpty() && followOneNewRecord(touched)))
        return;
    std::vector<Record *> source = sourceRecords();
    if (!m_searchText.isEmpty()) {
        // A search hit stays one until its texts change: only touched records are searched again.
        const RecordSet shown = setOf(m_rows);
        const RecordSet again = setOf(touched);
        std::erase_if(source, [&](const Record *record) {
            return again.count(record) ? !matches(*record, m_searchText) : shown.count(record) == 0;
        });
    }
    apply(source, touched);
}

// Without a search the rows are the source, and re-sorts come as news of their own: a record
// new to the rows takes its place in the source, shown records keep their rows. This spares a
// comparison of the whole list for each of many adds (a generated or merged catalogue).
bool RecordList::followOneNewRecord(const std::vector<Record *> &touched)
{
    std::vector<Record *> shown;
    Record *fresh = nullptr;
    for (Record *record : touched) {
        if (rowOf(record) >= 0)
            shown.push_back(record);
        else if (fresh)
            return false;
        else
            fresh = record;
    }
    // The counts tell whether a shown record left the source (moved to another history).
    if (static_cast<size_t>(rowCount()) + (fresh ? 1 : 0) != sourceCount())
        return false;
    if (fresh) {
        const qsizetype at = sourceIndexOf(fresh);
        if (at < 0 || at > rowCount())
            return false;
        emit rowsAboutToBeInserted(static_cast<int>(at), static_cast<int>(at));
        m_rows.insert(m_rows.begin() + at, fresh);
        if (m_sectionsMarked)
            m_sectionStarts.insert(m_sectionStarts.begin() + at, 0);
        emit rowsInserted(static_cast<int>(at), static_cast<int>(at));
    }
    announceChanged(shown);
    return true;
}

qsizetype RecordList::sourceIndexOf(const Record *record) const
{
    const std::vector<Record *> source = sourceRecords();
    const auto it = std::find(source.begin(), source.end(), record);
    return it == source.end() ? -1 : it - source.begin();
}

size_t RecordList::sourceCount() const
{
    return sourceRecords().size();
}

void RecordList::followOrder()
{
    if (m_reloading)
        return;
    std::vector<Record *> source = sourceRecords();
    // Records the list was not told about yet are left to their own news.
    if (!m_searchText.isEmpty() || source.size() != m_rows.size()) {
        const RecordSet shown = setOf(m_rows);
        std::erase_if(source, [&](const Record *record) { return shown.count(record) == 0; });
    }
    if (source.size() != m_rows.size()) {
        apply(source, {});
        return;
    }
    if (source == m_rows)
        return;
    std::vector<char> flags(source.size(), 0);
    if (m_sectionsMarked)
        markSections(source, flags);
    emit orderAboutToChange();
    m_rows = std::move(source);
    if (m_sectionsMarked)
        m_sectionStarts = std::move(flags);
    emit orderChanged();
}

void RecordList::dropRecord(const Record *record)
{
    const qsizetype row = rowOf(record);
    if (m_reloading || row < 0)
        return;
    emit rowsAboutToBeRemoved(static_cast<int>(row), static_cast<int>(row));
    m_rows.erase(m_rows.begin() + row);
    if (m_sectionsMarked)
        m_sectionStarts.erase(m_sectionStarts.begin() + row);
    emit rowsRemoved(static_cast<int>(row), static_cast<int>(row));
    announceChanged({});
}

void RecordList::onRecordAdded(Kind kind, Record *record)
{
    std::vector<Record *> touched;
    if (holdsKind(kind))
        touched.push_back(record);
    collectTouched(kind, record, touched);
    if (!touched.empty())
        followSource(touched);
}

void RecordList::onRecordChanged(Kind kind, Record *record)
{
    onRecordAdded(kind, record);
}

void RecordList::onRecordAboutToBeRemoved(Kind kind, Record *record)
{
    if (holdsKind(kind))
        dropRecord(record);
}

void RecordList::onRecordRemoved(Kind kind, Record *record)
{
    // Rows that showed something of the record (its links are still set).
    std::vector<Record *> touched;
    if (!holdsKind(kind) && !m_reloading)
        collectTouched(kind, record, touched);
    if (!touched.empty())
        announceChanged(touched);
}

// Removals first (from the end, so that earlier row numbers hold), then a re-sort of what
// remains if its order changed, then insertions (from the start, at their final rows), then the
// rows whose texts or bands changed.
void RecordList::apply(const std::vector<Record *> &newRows, const std::vector<Record *> &touched)
{
    std::vector<char> newFlags(newRows.size(), 0);
    if (m_sectionsMarked)
        markSections(newRows, newFlags);
    if (newRows != m_rows) {
        removeRuns(newRows);
        const RecordSet before = setOf(m_rows);
        std::vector<Record *> kept;
        std::vector<char> keptFlags;
        for (size_t i = 0; i < newRows.size(); ++i) {
            if (before.count(newRows[i])) {
                kept.push_back(newRows[i]);
                keptFlags.push_back(newFlags[i]);
            }
        }
        if (kept != m_rows) {
            emit orderAboutToChange();
            m_rows = std::move(kept);
            if (m_sectionsMarked)
                m_sectionStarts = std::move(keptFlags);
            emit orderChanged();
        }
        insertRuns(newRows, newFlags);
    }
    announceChanged(touched, &newFlags);
}

void RecordList::removeRuns(const std::vector<Record *> &newRows)
{
    const RecordSet after = setOf(newRows);
    size_t end = m_rows.size();
    while (end > 0) {
        if (after.count(m_rows[end - 1])) {
            --end;
            continue;
        }
        size_t first = end - 1;
        while (first > 0 && !after.count(m_rows[first - 1]))
            --first;
        emit rowsAboutToBeRemoved(toInt(first), toInt(end - 1));
        m_rows.erase(m_rows.begin() + static_cast<qsizetype>(first),
                     m_rows.begin() + static_cast<qsizetype>(end));
        if (m_sectionsMarked)
            m_sectionStarts.erase(m_sectionStarts.begin() + static_cast<qsizetype>(first),
                                  m_sectionStarts.begin() + static_cast<qsizetype>(end));
        emit rowsRemoved(toInt(first), toInt(end - 1));
        end = first;
    }
}

void RecordList::insertRuns(const std::vector<Record *> &newRows, const std::vector<char> &newFlags)
{
    const RecordSet before = setOf(m_rows);
    size_t i = 0;
    while (i < newRows.size()) {
        if (before.count(newRows[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < newRows.size() && !before.count(newRows[end]))
            ++end;
        const auto from = static_cast<qsizetype>(i);
        const auto to = static_cast<qsizetype>(end);
        emit rowsAboutToBeInserted(toInt(i), toInt(end - 1));
        m_rows.insert(m_rows.begin() + from, newRows.begin() + from, newRows.begin() + to);
        if (m_sectionsMarked)
            m_sectionStarts.insert(m_sectionStarts.begin() + from, newFlags.begin() + from,
                                   newFlags.begin() + to);
        emit rowsInserted(toInt(i), toInt(end - 1));
        i = end;
    }
}

// The touched rows, and with the bands marked, the rows whose band came or went (newFlags: the
// bands of the rows as they are now; null to work them out).
void RecordList::announceChanged(const std::vector<Record *> &touched, const std::vector<char> *newFlags)
{
    if (!m_sectionsMarked) {
        // No band to compare: only the touched rows, found one by one.
        std::vector<int> changed;
        for (const Record *record : touched) {
            if (const qsizetype row = rowOf(record); row >= 0)
                changed.push_back(static_cast<int>(row));
        }
        std::sort(changed.begin(), changed.end());
        changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
        for (const int row : changed)
            emit rowChanged(row);
        return;
    }
    std::vector<char> marked;
    if (!newFlags) {
        marked.assign(m_rows.size(), 0);
        markSections(m_rows, marked);
        newFlags = &marked;
    }
    const RecordSet edited = setOf(touched);
    std::vector<int> changed;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const bool bandMoved = m_sectionStarts[i] != (*newFlags)[i];
        if (bandMoved || edited.count(m_rows[i]))
            changed.push_back(toInt(i));
    }
    m_sectionStarts = *newFlags;
    for (const int row : changed)
        emit rowChanged(row);
}

} // namespace velumark
