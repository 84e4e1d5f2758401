#include "gui/window/ListModel.h"

#include "document/RecordList.h"
#include "store/Image.h"

#include <QSize>
#include <cmath>
#include <unordered_map>

namespace velumark::gui {

namespace {
// Beyond this many indexes to follow through a re-sort, one map of the new rows is quicker than
// a search of the rows for each.
constexpr qsizetype kSearchesBeforeMap = 16;
} // namespace

ListModel::ListModel(RecordList &list, const ListDescription &description, QObject *parent)
    : QAbstractTableModel(parent), m_list(list), m_description(description)
{
    connectList();
}

void ListModel::connectList()
{
    connect(&m_list, &RecordList::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&m_list, &RecordList::rowsInserted, this, [this] { endInsertRows(); });
    connect(&m_list, &RecordList::rowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows({}, first, last); });
    connect(&m_list, &RecordList::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(&m_list, &RecordList::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(&m_list, &RecordList::orderAboutToChange, this, &ListModel::beginOrderChange);
    connect(&m_list, &RecordList::orderChanged, this, &ListModel::endOrderChange);
    connect(&m_list, &RecordList::listAboutToBeRebuilt, this, [this] { beginResetModel(); });
    connect(&m_list, &RecordList::listRebuilt, this, [this] { endResetModel(); });
}

void ListModel::beginOrderChange()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_movingIndexes = persistentIndexList();
    m_movingRecords.clear();
    m_movingRecords.reserve(static_cast<size_t>(m_movingIndexes.size()));
    for (const QModelIndex &index : std::as_const(m_movingIndexes))
        m_movingRecords.push_back(m_list.recordAt(index.row()));
}

void ListModel::endOrderChange()
{
    std::unordered_map<const Record *, int> newRows;
    if (m_movingIndexes.size() > kSearchesBeforeMap) {
        newRows.reserve(static_cast<size_t>(m_list.rowCount()));
        for (int row = 0; row < m_list.rowCount(); ++row)
            newRows.emplace(m_list.recordAt(row), row);
    }
    QModelIndexList moved;
    moved.reserve(m_movingIndexes.size());
    for (qsizetype i = 0; i < m_movingIndexes.size(); ++i) {
        const Record *record = m_movingRecords[static_cast<size_t>(i)];
        int row = -1;
        if (m_movingIndexes.size() > kSearchesBeforeMap) {
            if (const auto found = newRows.find(record); found != newRows.end())
                row = found->second;
        } else {
            row = static_cast<int>(m_list.rowOf(record));
        }
        moved << (row < 0 ? QModelIndex() : index(row, m_movingIndexes[i].column()));
    }
    changePersistentIndexList(m_movingIndexes, moved);
    m_movingIndexes.clear();
    m_movingRecords.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

CellContent ListModel::cellAt(const QModelIndex &index) const
{
    return m_list.cell(index.row(), index.column());
}

Record *ListModel::recordAt(int row) const
{
    return m_list.recordAt(row);
}

int ListModel::rowHeight(int row) const
{
    return static_cast<int>(std::lround(m_list.rowHeight(row)));
}

std::vector<int> ListModel::tallRows() const
{
    std::vector<int> rows;
    for (const qsizetype row : m_list.sectionHeadingRows())
        rows.push_back(static_cast<int>(row));
    return rows;
}

int ListModel::normalRowHeight() const
{
    return static_cast<int>(std::lround(m_list.normalCellHeight()));
}

bool ListModel::isSectionStart(int row) const
{
    return m_list.isSectionHeading(row);
}

QString ListModel::sectionTitleOf(int row) const
{
    for (int start = row; start >= 0; --start) {
        if (m_list.isSectionHeading(start))
            return m_list.cell(start, 0).sectionHeading;
    }
    return {};
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.rowCount());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_list.columnCount();
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.rowCount())
        return {};
    switch (role) {
    case CellRole:
        return QVariant::fromValue(m_list.cell(index.row(), index.column()));
    case Qt::DisplayRole:
        return m_list.cell(index.row(), index.column()).mainText;
    case Qt::AccessibleTextRole:
        return spokenText(m_list.cell(index.row(), index.column()));
    case CaptionRole:
        return captionOf(m_list.cell(index.row(), index.column()));
    case Qt::SizeHintRole:
        return QSize(-1, rowHeight(index.row()));
    default:
        return {};
    }
}

QString ListModel::spokenText(const CellContent &cell) const
{
    QStringList parts;
    for (const QString *text :
         {&cell.sectionHeading, &cell.mainText, &cell.subText, &cell.moreSubText, &cell.last1SubText,
          &cell.last2SubText, &cell.mainExtraColumn, &cell.subExtraColumn}) {
        if (!text->isEmpty())
            parts << *text;
    }
    for (const QString *icon : {&cell.statusImage, &cell.statusImage2}) {
        if (const QString word = ListDescription::statusWord(*icon); !word.isEmpty())
            parts << word;
    }
    if (!cell.backgroundImage.isEmpty() && !m_description.highlightWord.isEmpty())
        parts << m_description.highlightWord;
    return parts.join(QStringLiteral(", "));
}

QVariant ListModel::captionOf(const CellContent &cell)
{
    if (!cell.image)
        return {};
    cell.image->hydrate_caption();
    return cell.image->caption();
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_description.headings.value(section);
}

Qt::ItemFlags ListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

} // namespace velumark::gui
