#pragma once

#include <QObject>

class QPoint;

namespace velumark {
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

class ActionManager;
class DocumentView;
class ListPane;

// What the lists of a document window open: a row's sheet on double-click or Return, a new
// record's sheet for "Add Item", and the submission history of an artwork or a client, from its
// row's context menu or from "Show Submission History" for the one selected. Lives as long as
// the view.
class ListEditing : public QObject
{
    Q_OBJECT
public:
    ListEditing(VelumarkDatabase &document, DocumentView &view, ActionManager &actions);

    // The sheet of a stored artwork, client or submission, over the window.
    void openRecord(Record *record);
    // The submission history of an artwork or a client.
    void openHistory(Record *record);
    // The artwork or client selected alone on the list shown, whose history the menu opens.
    Record *selectedHistoryRecord() const;
    void openSelectedHistory();
    // The window became the active one: the menu item follows its selection.
    void updateHistoryAction();

private:
    void openNew();
    void showRowMenu(ListPane *pane, const QPoint &position);

    VelumarkDatabase &m_document;
    DocumentView &m_view;
    ActionManager &m_actions;
};

} // namespace velumark::gui
