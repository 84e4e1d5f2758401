#include "gui/editors/ListEditing.h"

#include "document/DocumentRegistry.h"
#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/HistoryWindow.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/UserInteraction.h"
#include "gui/window/DocumentView.h"
#include "gui/window/ListPane.h"
#include "store/Localization.h"

#include <QMenu>
#include <QTableView>

namespace velumark::gui {

using ListKind = VelumarkDatabase::ListKind;

ListEditing::ListEditing(VelumarkDatabase &document, DocumentView &view, ActionManager &actions)
    : QObject(&view), m_document(document), m_view(view), m_actions(actions)
{
    connect(&view, &DocumentView::addRequested, this, &ListEditing::openNew);
    connect(&view, &DocumentView::listShown, this, &ListEditing::updateHistoryAction);
    for (const ListKind kind : {ListKind::Artworks, ListKind::Clients, ListKind::Submissions}) {
        ListPane *pane = view.listPane(kind);
        connect(pane, &ListPane::recordActivated, this, &ListEditing::openRecord);
        if (kind == ListKind::Submissions)
            continue;
        QTableView *table = pane->tableView();
        connect(pane, &ListPane::selectionChanged, this, &ListEditing::updateHistoryAction);
        // A rebuild (a search) clears the selection without a word.
        connect(table->model(), &QAbstractItemModel::modelReset, this, &ListEditing::updateHistoryAction);
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(table, &QWidget::customContextMenuRequested, this,
                [this, pane](const QPoint &position) { showRowMenu(pane, position); });
    }
}

void ListEditing::openRecord(Record *record)
{
    if (auto *artwork = dynamic_cast<Artwork *>(record))
        ArtworkSheet::edit(m_view.window(), m_document, *artwork);
    else if (auto *client = dynamic_cast<Client *>(record))
        ClientSheet::edit(m_view.window(), m_document, *client);
    else if (auto *submission = dynamic_cast<Submission *>(record))
        SubmissionSheet::edit(m_view.window(), m_document, *submission);
}

void ListEditing::openHistory(Record *record)
{
    HistoryWindow::open(m_view.window(), m_document, dynamic_cast<Artwork *>(record),
                        dynamic_cast<Client *>(record));
}

Record *ListEditing::selectedHistoryRecord() const
{
    if (m_view.currentList() == ListKind::Submissions)
        return nullptr;
    const QList<Record *> selected = m_view.listPane(m_view.currentList())->selectedRecords();
    return selected.size() == 1 ? selected.front() : nullptr;
}

void ListEditing::openSelectedHistory()
{
    if (Record *record = selectedHistoryRecord())
        openHistory(record);
    else
        UserInteraction::instance().beep();
}

void ListEditing::updateHistoryAction()
{
    // The menus belong to the active window's catalogue.
    if (DocumentRegistry::shared().getMainDocument() == &m_document)
        m_actions.setAvailable(ActionId::SubmissionHistory, selectedHistoryRecord() != nullptr);
}

void ListEditing::openNew()
{
    switch (m_view.currentList()) {
    case ListKind::Artworks:
        ArtworkSheet::create(m_view.window(), m_document);
        break;
    case ListKind::Clients:
        ClientSheet::create(m_view.window(), m_document);
        break;
    case ListKind::Submissions:
        SubmissionSheet::create(m_view.window(), m_document);
        break;
    }
}

void ListEditing::showRowMenu(ListPane *pane, const QPoint &position)
{
    QTableView *table = pane->tableView();
    const QModelIndex index = table->indexAt(position);
    Record *record = index.isValid() ? pane->list().recordAt(index.row()) : nullptr;
    if (!record)
        return;
    QMenu menu(table);
    const QAction *open = menu.addAction(localized("Open"));
    menu.addAction(localized("Submission History"));
    const QAction *chosen = menu.exec(table->viewport()->mapToGlobal(position));
    // The row may have gone while the menu was open.
    if (!chosen || pane->list().rowOf(record) < 0)
        return;
    if (chosen == open)
        openRecord(record);
    else
        openHistory(record);
}

} // namespace velumark::gui
