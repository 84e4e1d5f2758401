#include "gui/window/ListTableView.h"

#include "gui/window/ListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace velumark::gui {

ListTableView::ListTableView(ListModel &model, QWidget *parent) : QTableView(parent), m_model(model)
{
    setModel(&model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);

    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(model.normalRowHeight());

    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setHighlightSections(false);
    columns->setSectionsMovable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // After the header's own handlers (connected by setModel), which make new rows default high.
    connect(&model, &QAbstractItemModel::modelReset, this, &ListTableView::syncRowHeightsAfterReset);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &ListTableView::syncAllRowHeights);
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { syncRowHeights(first, last); });
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) { syncRowHeights(from.row(), to.row()); });
    syncAllRowHeights();
}

void ListTableView::syncRowHeights(int first, int last)
{
    QHeaderView *rows = verticalHeader();
    for (int row = first; row <= last; ++row) {
        const int height = m_model.rowHeight(row);
        if (rows->sectionSize(row) != height)
            rows->resizeSection(row, height);
    }
}

void ListTableView::syncAllRowHeights()
{
    QHeaderView *rows = verticalHeader();
    {
        // One update of the view for all rows instead of one per row (each would also work out
        // every row's position again).
        const QSignalBlocker quiet(rows);
        rows->setUpdatesEnabled(false);
        syncRowHeights(0, m_model.rowCount() - 1);
        rows->setUpdatesEnabled(true);
    }
    updateGeometries();
    viewport()->update();
}

void ListTableView::syncRowHeightsAfterReset()
{
    QHeaderView *rows = verticalHeader();
    if (rows->defaultSectionSize() != m_model.normalRowHeight()) {
        syncAllRowHeights();
        return;
    }
    // A reset leaves every row default high: only the banded rows differ, and a long list has few.
    {
        const QSignalBlocker quiet(rows);
        for (const int row : m_model.tallRows())
            rows->resizeSection(row, m_model.rowHeight(row));
    }
    updateGeometries();
    viewport()->update();
}

void ListTableView::keyboardSearch(const QString &search)
{
    // The search reads the current cell's column: the row's main text is in the first.
    if (const QModelIndex current = currentIndex(); current.isValid() && current.column() != 0)
        selectionModel()->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
    QTableView::keyboardSearch(search);
}

void ListTableView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
        event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace velumark::gui
