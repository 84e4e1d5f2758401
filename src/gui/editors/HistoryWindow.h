#pragma once

#include "gui/editors/KeptWindowSize.h"

#include <QDialog>

class QAction;
class QToolBar;

namespace velumark {
class Artwork;
class Client;
class Record;
class SubmissionListController;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

class ListPane;
class ToolbarController;

// The submissions of one artwork or one client in a window of their own ("Submission History"):
// the history's own list (sorted apart from the main list), the history toolbar with "Delete
// Item" and "Add Item", and Close. Add opens a new submission with the artwork or client fixed;
// a row opens its sheet. The list follows the document's changes by itself; the window closes
// when its record leaves the catalogue. Opening the history of a record again brings its window
// forward.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    // Exactly one of artwork and client (the artwork when both are given).
    static HistoryWindow *open(QWidget *parent, VelumarkDatabase &document, Artwork *artwork,
                               Client *client = nullptr);
    ~HistoryWindow() override;

    SubmissionListController &list() const { return *m_list; }
    ListPane *pane() const { return m_pane; }
    // The toolbar's items (its menu customizes the toolbar of every history window).
    QAction *addAction() const;
    QAction *deleteAction() const;

    // A new submission of the history's record.
    void handleAddButton();
    // The selected submissions, after the question.
    void handleDeleteButton();
    // Arranges the toolbar of every history window.
    void customizeToolbar();

private:
    HistoryWindow(QWidget *parent, VelumarkDatabase &document, Artwork *artwork, Client *client);

    QToolBar *buildToolbar();
    void openSubmission(Record *record);
    void updateActions();

    VelumarkDatabase &m_document;
    Artwork *m_artwork;
    Client *m_client;
    SubmissionListController *m_list;
    ListPane *m_pane;
    ToolbarController *m_toolbarController = nullptr;
    KeptWindowSize m_keptSize{QStringLiteral("HistoryWindow/size")};
};

} // namespace velumark::gui
