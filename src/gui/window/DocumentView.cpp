#include "gui/window/DocumentView.h"

#include <QMainWindow>

namespace velumark::gui {

// The lists, the toolbar and the statistics are made here by the document window's content;
// until then the view is an empty area and the forwarded commands have nothing to act on.
DocumentView::DocumentView(VelumarkDatabase &database, QMainWindow &window)
    : QWidget(&window), m_database(database), m_window(window)
{}

void DocumentView::handleAddButton() {}

void DocumentView::handleDeleteButton() {}

void DocumentView::presentStatistics() {}

void DocumentView::customizeToolbar() {}

void DocumentView::saveState(QSettings &) const {}

void DocumentView::restoreState(QSettings &) {}

} // namespace velumark::gui
