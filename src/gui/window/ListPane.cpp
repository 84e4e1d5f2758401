// Stand-in for the list pane of the gui-lists branch, removed before the merge.
#include "gui/window/ListPane.h"

#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

class StandInModel : public QAbstractTableModel
{
public:
    explicit StandInModel(RecordList &list, QObject *parent) : QAbstractTableModel(parent), m_list(list)
    {
        connect(&list, &RecordList::listAboutToBeRebuilt, this, [this] { beginResetModel(); });
        connect(&list, &RecordList::listRebuilt, this, [this] { endResetModel(); });
        connect(&list, &RecordList::rowsAboutToBeInserted, this,
                [this](int first, int last) { beginInsertRows({}, first, last); });
        connect(&list, &RecordList::rowsInserted, this, [this] { endInsertRows(); });
        connect(&list, &RecordList::rowsAboutToBeRemoved, this,
                [this](int first, int last) { beginRemoveRows({}, first, last); });
        connect(&list, &RecordList::rowsRemoved, this, [this] { endRemoveRows(); });
        connect(&list, &RecordList::orderAboutToChange, this, [this] { emit layoutAboutToBeChanged(); });
        connect(&list, &RecordList::orderChanged, this, [this] { emit layoutChanged(); });
        connect(&list, &RecordList::rowChanged, this,
                [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    }
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_list.rowCount());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_list.columnCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        const CellContent cell = m_list.cell(index.row(), index.column());
        return QStringList{cell.mainText, cell.subText}.join(QStringLiteral(" — "));
    }

private:
    RecordList &m_list;
};

} // namespace

ListPane::ListPane(VelumarkDatabase &document, RecordList &list, QWidget *parent)
    : QWidget(parent), m_document(document), m_list(list), m_table(new QTableView(this)),
      m_model(new StandInModel(list, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(&list, &RecordList::listRebuilt, this, &ListPane::announceCounts);
    connect(&list, &RecordList::rowsInserted, this, &ListPane::announceCounts);
    connect(&list, &RecordList::rowsRemoved, this, &ListPane::announceCounts);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListPane::selectionChanged);
}

QList<Record *> ListPane::selectedRecords() const
{
    QList<Record *> records;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        records.append(m_list.recordAt(index.row()));
    return records;
}

void ListPane::handleDeleteButton() {}

void ListPane::saveState(QSettings &settings) const
{
    settings.setValue(QStringLiteral("header"), m_table->horizontalHeader()->saveState());
}

void ListPane::restoreState(QSettings &settings)
{
    m_table->horizontalHeader()->restoreState(settings.value(QStringLiteral("header")).toByteArray());
}

void ListPane::announceCounts()
{
    qsizetype total = 0;
    if (&m_list == m_document.listController(VelumarkDatabase::ListKind::Artworks))
        total = qsizetype(m_document.artworks().size());
    else if (&m_list == m_document.listController(VelumarkDatabase::ListKind::Clients))
        total = qsizetype(m_document.clients().size());
    else
        total = qsizetype(m_document.submissions().size());
    emit rowCountsChanged(int(m_list.rowCount()), int(total));
}

} // namespace velumark::gui
