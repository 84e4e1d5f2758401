#pragma once

#include "document/CellContent.h"
#include "gui/window/ListDescription.h"

#include <QAbstractTableModel>
#include <QPersistentModelIndex>
#include <vector>

Q_DECLARE_METATYPE(velumark::CellContent)

namespace velumark {
class Record;
class RecordList;
} // namespace velumark

namespace velumark::gui {

// A table model over one list of the core: the rows, cells and headings are the list's, and
// every change reaches the view through the list's own notices (rows inserted and removed, one
// row changed, a re-sort as a layout change that keeps the selection on its records, a reset only
// when the list is rebuilt). It keeps no copy of the rows.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role
    {
        // The whole CellContent, for the cell delegate (one read per painted cell).
        CellRole = Qt::UserRole + 1,
        // The caption of the cell's photo (loaded when asked); invalid without a photo.
        CaptionRole,
    };

    ListModel(RecordList &list, const ListDescription &description, QObject *parent = nullptr);

    RecordList &list() const { return m_list; }
    // What the cell shows, without going through a QVariant (the delegate reads it on every paint).
    CellContent cellAt(const QModelIndex &index) const;
    Record *recordAt(int row) const;
    // The row's height with its section band, in pixels.
    int rowHeight(int row) const;
    int normalRowHeight() const;
    // The rows higher than normalRowHeight(), in order.
    std::vector<int> tallRows() const;
    bool isSectionStart(int row) const;
    // The heading of the section the row belongs to (the band at or above it); empty when the
    // list has no sections.
    QString sectionTitleOf(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void connectList();
    void beginOrderChange();
    void endOrderChange();
    // What a screen reader says for the cell.
    QString spokenText(const CellContent &cell) const;
    static QVariant captionOf(const CellContent &cell);

    RecordList &m_list;
    ListDescription m_description;
    // The records under the persistent indexes while the list is re-sorted.
    QModelIndexList m_movingIndexes;
    std::vector<Record *> m_movingRecords;
};

} // namespace velumark::gui
