#include "gui/window/DocumentView.h"

#include "document/DocumentRegistry.h"
#include "document/SubmissionListController.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "gui/window/CustomizeToolbarDialog.h"
#include "gui/window/ListPane.h"
#include "gui/window/SearchField.h"
#include "gui/window/StatisticsViewController.h"
#include "gui/window/StatusLine.h"
#include "gui/window/ToolbarArrangement.h"
#include "gui/window/ToolbarController.h"
#include "store/Localization.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <optional>

namespace velumark::gui {

namespace {

using ListKind = DocumentView::ListKind;

constexpr std::array kLists{ListKind::Artworks, ListKind::Clients, ListKind::Submissions};
constexpr std::array kListKeys{Qt::Key_1, Qt::Key_2, Qt::Key_3};
constexpr int kToolbarIconSize = 24;
constexpr int kTabRowTopMargin = 6;

struct ListTexts
{
    const char *tab;
    const char *toolTip;
    const char *settingsGroup;
};

ListTexts textsOf(ListKind list)
{
    switch (list) {
    case ListKind::Artworks:
        return {QT_TRANSLATE_NOOP("Velumark", "Artwork"),
                QT_TRANSLATE_NOOP("Velumark", "Show the artwork list (%1)"), "artworkList"};
    case ListKind::Clients:
        return {QT_TRANSLATE_NOOP("Velumark", "Clients"),
                QT_TRANSLATE_NOOP("Velumark", "Show the client list (%1)"), "clientList"};
    case ListKind::Submissions:
        break;
    }
    return {QT_TRANSLATE_NOOP("Velumark", "Submissions"),
            QT_TRANSLATE_NOOP("Velumark", "Show the submission list (%1)"), "submissionList"};
}

// A toolbar item: what it does in this window, or the application's action it stands for (and
// follows: enabled while that is), whether it changes the catalogue and whether it acts on the
// selected rows.
struct ToolbarItemWiring
{
    const char *identifier;
    void (DocumentView::*command)();
    std::optional<ActionId> shared;
    bool edits;
    bool needsSelection;
};

const ToolbarItemWiring kToolbarItems[] = {
    {"AddItem", &DocumentView::handleAddButton, std::nullopt, true, false},
    {"DeleteItem", &DocumentView::handleDeleteButton, std::nullopt, true, true},
    {"Statistics", &DocumentView::presentStatistics, std::nullopt, false, false},
    {"Print", nullptr, ActionId::Print, false, false},
    {"Contacts", nullptr, ActionId::AddressBook, false, false},
    {"Import", nullptr, ActionId::ImportDevice, true, false},
    {"Export", nullptr, ActionId::ExportDevice, false, false},
};

// The menus' commands that change the catalogue shown in the active window.
constexpr std::array kSharedEditingActions{ActionId::AddItem, ActionId::RemoveItem, ActionId::Delete};

const char *const kListKey = "list";
const char *const kRecentSearchesKey = "recentSearches";

} // namespace

DocumentView::DocumentView(VelumarkDatabase &database, ActionManager &actions, QMainWindow &window)
    : QWidget(&window), m_database(database), m_actions(actions), m_window(window),
      m_statusLine(new StatusLine(*window.statusBar()))
{
    buildTabs();
    buildToolbar();
    connectToolbarItems();
    addShortcuts();
    const DocumentNotifier *notifier = database.notifier();
    connect(notifier, &DocumentNotifier::overdueCountChanged, m_statusLine, &StatusLine::showOverdue);
    connect(notifier, &DocumentNotifier::operationStarted, this, &DocumentView::updateEditingState);
    connect(notifier, &DocumentNotifier::operationEnded, this, &DocumentView::updateEditingState);
    connect(notifier, &DocumentNotifier::listsReloaded, this, &DocumentView::prepareSearchWhenIdle);
    m_statusLine->showOverdue(database.submissionListController()->overdueSubs());
    updateEditingState();
}

DocumentView::~DocumentView()
{
    // The menus' editing commands were held back for this catalogue only.
    if (!m_editable && DocumentRegistry::shared().getMainDocument() == &m_database) {
        for (ActionId id : kSharedEditingActions)
            m_actions.setAvailable(id, true);
    }
}

void DocumentView::buildTabs()
{
    m_tabs = new QTabBar(this);
    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_stack = new QStackedWidget(this);
    for (size_t i = 0; i < kLists.size(); ++i) {
        const ListKind list = kLists[i];
        const ListTexts texts = textsOf(list);
        const int tab = m_tabs->addTab(localized(texts.tab));
        const QKeySequence key(Qt::CTRL | kListKeys[i]);
        m_tabs->setTabToolTip(tab, localized(texts.toolTip).arg(key.toString(QKeySequence::NativeText)));
        auto *pane = new ListPane(m_database, *m_database.listController(list), m_stack);
        m_panes[i] = pane;
        m_stack->addWidget(pane);
        connect(pane, &ListPane::rowCountsChanged, this, [this, pane, list](int shown, int total) {
            if (m_stack->currentWidget() == pane)
                m_statusLine->showCounts(list, shown, total, !m_database.searchText().isEmpty());
        });
        connect(pane, &ListPane::selectionChanged, this, &DocumentView::updateToolbarItems);
    }
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index < int(kLists.size()))
            displayList(kLists[size_t(index)]);
    });

    auto *tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(0, kTabRowTopMargin, 0, 0);
    tabRow->addStretch();
    tabRow->addWidget(m_tabs);
    tabRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(tabRow);
    layout->addWidget(m_stack, 1);
}

void DocumentView::buildToolbar()
{
    m_search = new SearchField;
    connect(m_search, &QLineEdit::textChanged, this, &DocumentView::search);
    m_toolbar = new QToolBar(localized("Toolbar"), &m_window);
    m_toolbar->setObjectName(QStringLiteral("documentToolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    m_toolbar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_toolbar, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu;
        menu.addAction(m_actions.action(ActionId::ShowToolbar));
        menu.addAction(m_actions.action(ActionId::CustomizeToolbar));
        menu.exec(m_toolbar->mapToGlobal(at));
    });
    m_window.addToolBar(m_toolbar);
    m_toolbarController =
        new ToolbarController(*m_toolbar, ToolbarArrangement::documentToolbar(), m_search, this);
    // A search the user can no longer see or clear does not stay applied.
    connect(m_toolbarController, &ToolbarController::refreshed, this, [this] {
        if (!m_toolbarController->showsSearchField())
            m_search->clear();
    });
}

void DocumentView::connectToolbarItems()
{
    for (const ToolbarItemWiring &wiring : kToolbarItems) {
        QAction *item = m_toolbarController->itemAction(QLatin1String(wiring.identifier));
        if (wiring.command) {
            connect(item, &QAction::triggered, this,
                    [this, command = wiring.command] { runCommand(&m_window, [&] { (this->*command)(); }); });
        } else {
            QAction *shared = m_actions.action(*wiring.shared);
            connect(item, &QAction::triggered, shared, &QAction::trigger);
            connect(shared, &QAction::changed, this, &DocumentView::updateToolbarItems);
        }
    }
}

void DocumentView::updateToolbarItems()
{
    const bool selected = !listPane(currentList())->selectedRecords().isEmpty();
    for (const ToolbarItemWiring &wiring : kToolbarItems) {
        const bool available = !wiring.shared || m_actions.action(*wiring.shared)->isEnabled();
        m_toolbarController->itemAction(QLatin1String(wiring.identifier))
            ->setEnabled(available && (m_editable || !wiring.edits) && (selected || !wiring.needsSelection));
    }
}

void DocumentView::addShortcuts()
{
    for (size_t i = 0; i < kLists.size(); ++i) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | kListKeys[i]), &m_window);
        connect(shortcut, &QShortcut::activated, this, [this, list = kLists[i]] { displayList(list); });
    }
    auto *find = new QShortcut(QKeySequence::Find, &m_window);
    connect(find, &QShortcut::activated, this, &DocumentView::focusSearchField);
}

void DocumentView::handleAddButton()
{
    emit addRequested(currentList());
}

void DocumentView::handleDeleteButton()
{
    listPane(currentList())->handleDeleteButton();
}

void DocumentView::presentStatistics()
{
    if (!m_statistics)
        m_statistics = new StatisticsViewController(m_database, &m_window);
    m_statistics->presentStatistics();
}

void DocumentView::customizeToolbar()
{
    CustomizeToolbarDialog::present(ToolbarArrangement::documentToolbar(), &m_window);
}

void DocumentView::saveState(QSettings &settings) const
{
    settings.setValue(QLatin1String(kListKey), static_cast<int>(currentList()));
    settings.setValue(QLatin1String(kRecentSearchesKey), m_search->recentSearches());
    for (ListKind list : kLists) {
        settings.beginGroup(QLatin1String(textsOf(list).settingsGroup));
        listPane(list)->saveState(settings);
        settings.endGroup();
    }
}

void DocumentView::restoreState(QSettings &settings)
{
    m_search->setRecentSearches(settings.value(QLatin1String(kRecentSearchesKey)).toStringList());
    for (ListKind list : kLists) {
        settings.beginGroup(QLatin1String(textsOf(list).settingsGroup));
        listPane(list)->restoreState(settings);
        settings.endGroup();
    }
    const int saved = settings.value(QLatin1String(kListKey), 0).toInt();
    // Shown even when it is the list already current: the rebuild gives the status line its counts.
    showList(saved >= 0 && saved < int(kLists.size()) ? kLists[size_t(saved)] : ListKind::Artworks);
}

void DocumentView::displayList(ListKind list)
{
    if (list != currentList() || m_stack->currentWidget() != listPane(list))
        showList(list);
}

void DocumentView::showList(ListKind list)
{
    const bool listHadFocus = m_stack->isAncestorOf(QApplication::focusWidget());
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(static_cast<int>(list));
    }
    ListPane *pane = listPane(list);
    m_stack->setCurrentWidget(pane);
    runCommand(&m_window, [&] { m_database.setCurrentList(list); });
    if (listHadFocus)
        pane->tableView()->setFocus(Qt::OtherFocusReason);
    updateToolbarItems();
    emit listShown(list);
}

void DocumentView::search(const QString &text)
{
    runCommand(&m_window, [&] { m_database.handleSearch(text); });
}

void DocumentView::windowBecameMain()
{
    for (ActionId id : kSharedEditingActions)
        m_actions.setAvailable(id, m_editable);
}

void DocumentView::updateEditingState()
{
    QString reason;
    if (m_database.isOperationRunning())
        reason = localized("Editing is paused while an import, export or transfer runs.");
    else
        reason = m_database.checkEditable().message();
    m_editable = reason.isEmpty();
    updateToolbarItems();
    m_statusLine->showEditingNotice(reason);
    if (DocumentRegistry::shared().getMainDocument() == &m_database)
        windowBecameMain();
}

void DocumentView::focusSearchField()
{
    if (!m_search->isVisible()) {
        UserInteraction::instance().beep();
        return;
    }
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

void DocumentView::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // Once the window is on the screen, not before its first paint.
    if (!m_searchPrepared) {
        m_searchPrepared = true;
        prepareSearchWhenIdle();
    }
}

void DocumentView::prepareSearchWhenIdle()
{
    // The idle moment makes the search texts, so that the first keystroke finds them made.
    QTimer::singleShot(0, this, [this] { runCommand(&m_window, [this] { m_database.prepareSearch(); }); });
}

} // namespace velumark::gui
