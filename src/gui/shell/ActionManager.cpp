#include "gui/shell/ActionManager.h"

#include "gui/shell/CommandBoundary.h"
#include "gui/shell/Icons.h"
#include "store/Localization.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

namespace velumark::gui {

namespace {

struct ActionDefinition
{
    ActionId id;
    const char *text;
    QKeySequence::StandardKey key = QKeySequence::UnknownKey;
    const char *themeIcon = nullptr;
    const char *ownIcon = nullptr;
    bool needsDocument = false;
    bool available = true; // false until the window that carries it out exists
};

const ActionDefinition kActions[] = {
    {ActionId::New, QT_TRANSLATE_NOOP("Velumark", "New"), QKeySequence::New, "document-new", "document-new"},
    {ActionId::Open, QT_TRANSLATE_NOOP("Velumark", "Open..."), QKeySequence::Open, "document-open",
     "document-open"},
    {ActionId::ClearRecentDocuments, QT_TRANSLATE_NOOP("Velumark", "Clear Menu")},
    {ActionId::Close, QT_TRANSLATE_NOOP("Velumark", "Close"), QKeySequence::Close, "window-close", nullptr,
     true},
    {ActionId::Save, QT_TRANSLATE_NOOP("Velumark", "Save"), QKeySequence::Save, "document-save",
     "document-save", true},
    {ActionId::SaveAs, QT_TRANSLATE_NOOP("Velumark", "Save As..."), QKeySequence::SaveAs, "document-save-as",
     nullptr, true},
    {ActionId::ImportVdbi, QT_TRANSLATE_NOOP("Velumark", "VDBI"), {}, nullptr, nullptr, true, false},
    {ActionId::ImportDatabase,
     QT_TRANSLATE_NOOP("Velumark", "Velumark Database"),
     {},
     nullptr,
     nullptr,
     true,
     false},
    {ActionId::ImportDevice,
     QT_TRANSLATE_NOOP("Velumark", "Velumark Mobile App"),
     {},
     nullptr,
     nullptr,
     true,
     false},
    {ActionId::ImportCsv, QT_TRANSLATE_NOOP("Velumark", "CSV"), {}, nullptr, nullptr, true, false},
    {ActionId::ExportVdbi, QT_TRANSLATE_NOOP("Velumark", "VDBI"), {}, nullptr, nullptr, true, false},
    {ActionId::ExportDatabase,
     QT_TRANSLATE_NOOP("Velumark", "Velumark Database"),
     {},
     nullptr,
     nullptr,
     true,
     false},
    {ActionId::ExportDevice,
     QT_TRANSLATE_NOOP("Velumark", "Velumark Mobile App"),
     {},
     nullptr,
     nullptr,
     true,
     false},
    {ActionId::ExportCsv, QT_TRANSLATE_NOOP("Velumark", "CSV"), {}, nullptr, nullptr, true, false},
    {ActionId::ExportReport, QT_TRANSLATE_NOOP("Velumark", "HTML Report"), {}, nullptr, nullptr, true, false},
    {ActionId::PageSetup,
     QT_TRANSLATE_NOOP("Velumark", "Page Setup..."),
     {},
     "document-page-setup",
     nullptr,
     true,
     false},
    {ActionId::PrintPreview,
     QT_TRANSLATE_NOOP("Velumark", "Print Preview..."),
     {},
     "document-print-preview",
     nullptr,
     true,
     false},
    {ActionId::Print, QT_TRANSLATE_NOOP("Velumark", "Print"), QKeySequence::Print, "document-print",
     "document-print", true, false},
    {ActionId::ExportPdf,
     QT_TRANSLATE_NOOP("Velumark", "Export as PDF..."),
     {},
     nullptr,
     nullptr,
     true,
     false},
    {ActionId::Quit, QT_TRANSLATE_NOOP("Velumark", "Quit Velumark"), QKeySequence::Quit, "application-exit",
     "application-exit"},
    {ActionId::AddItem, QT_TRANSLATE_NOOP("Velumark", "Add Item"), {}, "list-add", "list-add", true},
    {ActionId::RemoveItem,
     QT_TRANSLATE_NOOP("Velumark", "Remove Item"),
     {},
     "list-remove",
     "list-remove",
     true},
    {ActionId::Cut, QT_TRANSLATE_NOOP("Velumark", "Cut"), QKeySequence::Cut, "edit-cut", "edit-cut"},
    {ActionId::Copy, QT_TRANSLATE_NOOP("Velumark", "Copy"), QKeySequence::Copy, "edit-copy", "edit-copy"},
    {ActionId::Paste, QT_TRANSLATE_NOOP("Velumark", "Paste"), QKeySequence::Paste, "edit-paste",
     "edit-paste"},
    {ActionId::Delete, QT_TRANSLATE_NOOP("Velumark", "Delete"), QKeySequence::Delete, "edit-delete",
     "edit-delete"},
    {ActionId::SelectAll, QT_TRANSLATE_NOOP("Velumark", "Select All"), QKeySequence::SelectAll,
     "edit-select-all"},
    {ActionId::Preferences, QT_TRANSLATE_NOOP("Velumark", "Preferences"), QKeySequence::Preferences,
     "preferences-system", "preferences"},
    {ActionId::ShowToolbar, QT_TRANSLATE_NOOP("Velumark", "Show Toolbar"), {}, nullptr, nullptr, true},
    {ActionId::CustomizeToolbar,
     QT_TRANSLATE_NOOP("Velumark", "Customize Toolbar..."),
     {},
     nullptr,
     nullptr,
     true},
    {ActionId::SubmissionHistory,
     QT_TRANSLATE_NOOP("Velumark", "Show Submission History"),
     {},
     nullptr,
     nullptr,
     true,
     false},
    {ActionId::AddressBook,
     QT_TRANSLATE_NOOP("Velumark", "Address Book"),
     {},
     "x-office-address-book",
     nullptr,
     true,
     false},
    {ActionId::Statistics, QT_TRANSLATE_NOOP("Velumark", "Statistics"), {}, nullptr, nullptr, true},
    {ActionId::Minimize, QT_TRANSLATE_NOOP("Velumark", "Minimize"), {}, nullptr, nullptr, true},
    {ActionId::Zoom, QT_TRANSLATE_NOOP("Velumark", "Zoom"), {}, nullptr, nullptr, true},
    {ActionId::BringAllToFront,
     QT_TRANSLATE_NOOP("Velumark", "Bring All to Front"),
     {},
     nullptr,
     nullptr,
     true},
    {ActionId::SocialPage, QT_TRANSLATE_NOOP("Velumark", "Like Velumark on Facebook")},
    {ActionId::Website, QT_TRANSLATE_NOOP("Velumark", "Velumark Website...")},
    {ActionId::FrequentlyAskedQuestions, QT_TRANSLATE_NOOP("Velumark", "Frequently Asked Questions..."),
     QKeySequence::HelpContents, "help-contents"},
    {ActionId::CheckForUpdates, QT_TRANSLATE_NOOP("Velumark", "Check for Updates...")},
    {ActionId::About, QT_TRANSLATE_NOOP("Velumark", "About Velumark"), {}, "help-about", "help-about"},
};

// The items the menu shows through the format "%1..." (they open a window).
bool showsEllipsis(ActionId id)
{
    return id == ActionId::Print || id == ActionId::Preferences || id == ActionId::AddressBook ||
           id == ActionId::Statistics;
}

const ActionDefinition &definitionOf(ActionId id)
{
    for (const ActionDefinition &definition : kActions) {
        if (definition.id == id)
            return definition;
    }
    Q_UNREACHABLE();
}

QKeySequence extraShortcut(ActionId id)
{
    // Where the desktop has no standard key, the keys Linux applications commonly use.
    switch (id) {
    case ActionId::Preferences:
        return QKeySequence(Qt::CTRL | Qt::Key_Comma);
    case ActionId::Minimize:
        return QKeySequence(Qt::CTRL | Qt::Key_M);
    case ActionId::SubmissionHistory:
        return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H);
    default:
        return {};
    }
}

} // namespace

ActionManager::ActionManager(QObject *parent) : QObject(parent)
{
    createActions();
    createSubmenus();
    setDocumentsOpen(false);
}

ActionManager::~ActionManager() = default;

void ActionManager::createActions()
{
    for (const ActionDefinition &definition : kActions) {
        QString text = localized(definition.text);
        if (showsEllipsis(definition.id))
            text = localized("%1...").arg(text);
        auto *action = new QAction(text, this);
        QList<QKeySequence> keys = QKeySequence::keyBindings(definition.key);
        if (keys.isEmpty() && !extraShortcut(definition.id).isEmpty())
            keys.append(extraShortcut(definition.id));
        action->setShortcuts(keys);
        if (definition.themeIcon)
            action->setIcon(definition.ownIcon ? Icons::themed(QLatin1String(definition.themeIcon),
                                                               QLatin1String(definition.ownIcon))
                                               : QIcon::fromTheme(QLatin1String(definition.themeIcon)));
        m_actions[definition.id] = action;
        m_available[definition.id] = definition.available;
    }
    action(ActionId::ShowToolbar)->setCheckable(true);
    action(ActionId::ShowToolbar)->setChecked(true);
    action(ActionId::Quit)->setMenuRole(QAction::QuitRole);
    action(ActionId::Preferences)->setMenuRole(QAction::PreferencesRole);
    action(ActionId::About)->setMenuRole(QAction::AboutRole);
}

void ActionManager::createSubmenus()
{
    m_importMenu = std::make_unique<QMenu>(localized("Import From"));
    for (ActionId id :
         {ActionId::ImportVdbi, ActionId::ImportDatabase, ActionId::ImportDevice, ActionId::ImportCsv})
        m_importMenu->addAction(action(id));
    m_exportMenu = std::make_unique<QMenu>(localized("Export To"));
    for (ActionId id : {ActionId::ExportVdbi, ActionId::ExportDatabase, ActionId::ExportDevice,
                        ActionId::ExportCsv, ActionId::ExportReport})
        m_exportMenu->addAction(action(id));
    m_recentMenu = std::make_unique<QMenu>(localized("Open Recent"));
}

QAction *ActionManager::action(ActionId id) const
{
    return m_actions.at(id);
}

void ActionManager::setHandler(ActionId id, std::function<void()> handler)
{
    QAction *target = action(id);
    disconnect(target, &QAction::triggered, this, nullptr);
    connect(target, &QAction::triggered, this,
            [handler = std::move(handler)] { runCommand(QApplication::activeWindow(), handler); });
}

void ActionManager::setWindowEntriesFiller(std::function<void(QActionGroup &)> filler)
{
    m_windowEntriesFiller = std::move(filler);
}

QList<QAction *> ActionManager::refreshedWindowEntries()
{
    // The old entries leave every menu that showed them as they are deleted with their group.
    m_windowEntries = std::make_unique<QActionGroup>(nullptr);
    if (m_windowEntriesFiller)
        m_windowEntriesFiller(*m_windowEntries);
    return m_windowEntries->actions();
}

void ActionManager::setDocumentsOpen(bool open)
{
    m_documentsOpen = open;
    for (const auto &entry : m_actions)
        updateEnabled(entry.first);
    m_importMenu->menuAction()->setEnabled(open);
    m_exportMenu->menuAction()->setEnabled(open);
}

void ActionManager::setAvailable(ActionId id, bool available)
{
    m_available[id] = available;
    updateEnabled(id);
}

void ActionManager::updateEnabled(ActionId id)
{
    const bool needsDocument = definitionOf(id).needsDocument;
    action(id)->setEnabled(m_available.at(id) && (!needsDocument || m_documentsOpen));
}

} // namespace velumark::gui
