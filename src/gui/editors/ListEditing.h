#pragma once

#include <QObject>

class QPoint;

namespace velumark {
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

class DocumentView;
class ListPane;

// What the lists of a document window open: a row's sheet on double-click or Return, a new
// record's sheet for "Add Item", and, from a row of the artwork or client list (its context
// menu), that record's submission history. Lives as long as the view.
class ListEditing : public QObject
{
    Q_OBJECT
public:
    ListEditing(VelumarkDatabase &document, DocumentView &view);

    // The sheet of a stored artwork, client or submission, over the window.
    void openRecord(Record *record);
    // The submission history of an artwork or a client.
    void openHistory(Record *record);

private:
    void openNew();
    void showRowMenu(ListPane *pane, const QPoint &position);

    VelumarkDatabase &m_document;
    DocumentView &m_view;
};

} // namespace velumark::gui
