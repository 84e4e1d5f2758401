#pragma once

#include <QWidget>

class QMainWindow;
class QSettings;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

// The content of a document window: the tab switcher with the three lists, the search field,
// the toolbar (which it adds to the window) and the statistics. The window makes it with the
// open document, places it in its centre and forwards the commands of the menus to it.
//
// This is the seam between the window frame and its content; the content is built here.
class DocumentView : public QWidget
{
    Q_OBJECT
public:
    DocumentView(VelumarkDatabase &database, QMainWindow &window);

    // Menu commands forwarded by the window ("Add Item", "Remove Item", "Delete" outside a text
    // field, "Statistics...", "Customize Toolbar...").
    void handleAddButton();
    void handleDeleteButton();
    void presentStatistics();
    void customizeToolbar();

    // What the view keeps per package (last tab, column widths, recent searches); the settings
    // are already in the package's group.
    void saveState(QSettings &settings) const;
    void restoreState(QSettings &settings);

private:
    VelumarkDatabase &m_database;
    QMainWindow &m_window;
};

} // namespace velumark::gui
