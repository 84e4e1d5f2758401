#pragma once

#include "document/VelumarkDatabase.h"
#include "gui/window/StatisticsViewController.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QMainWindow;
class QSettings;
class QStackedWidget;
class QTabBar;
class QToolBar;

namespace velumark::gui {

class ActionManager;
class ListPane;
class SearchField;
class StatusLine;
class ToolbarController;

// The content of a document window: the tabs "Artwork", "Clients" and "Submissions" over the
// list shown, the toolbar with the search field (which it adds to the window), the status line
// and the statistics. The menus' commands arrive here and go to the list shown.
class DocumentView : public QWidget
{
    Q_OBJECT
public:
    using ListKind = VelumarkDatabase::ListKind;

    DocumentView(VelumarkDatabase &database, ActionManager &actions, QMainWindow &window);
    ~DocumentView() override;

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

    // The list shown; showing another applies the search text to it.
    ListKind currentList() const { return m_database.currentList(); }
    void displayList(ListKind list);
    // The window became the active one: the menus' editing commands follow this catalogue.
    void windowBecameMain();

    ListPane *listPane(ListKind list) const { return m_panes[static_cast<size_t>(list)]; }
    QTabBar *tabBar() const { return m_tabs; }
    SearchField *searchField() const { return m_search; }
    QToolBar *toolbar() const { return m_toolbar; }
    ToolbarController &toolbarController() const { return *m_toolbarController; }
    StatusLine &statusLine() const { return *m_statusLine; }
    // Null until the statistics were first shown.
    StatisticsViewController *statistics() const { return m_statistics; }

signals:
    // "Add Item" on the list shown; the editors answer it.
    void addRequested(velumark::VelumarkDatabase::ListKind list);
    // Another list is shown.
    void listShown(velumark::VelumarkDatabase::ListKind list);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildTabs();
    void buildToolbar();
    void connectToolbarItems();
    void addShortcuts();
    void showList(ListKind list);
    void search(const QString &text);
    void updateEditingState();
    void updateToolbarItems();
    void focusSearchField();
    void prepareSearchWhenIdle();

    VelumarkDatabase &m_database;
    ActionManager &m_actions;
    QMainWindow &m_window;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::array<ListPane *, 3> m_panes{};
    SearchField *m_search = nullptr;
    QToolBar *m_toolbar = nullptr;
    ToolbarController *m_toolbarController = nullptr;
    StatusLine *m_statusLine = nullptr;
    QPointer<StatisticsViewController> m_statistics;
    bool m_editable = true;
    bool m_searchPrepared = false;
};

} // namespace velumark::gui
