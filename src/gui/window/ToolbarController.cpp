#include "gui/window/ToolbarController.h"

#include "gui/shell/Icons.h"
#include "gui/window/ToolbarArrangement.h"
#include "store/Localization.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>
#include <QWidgetAction>

namespace velumark::gui {

namespace {

struct ItemDefinition
{
    const char *identifier;
    const char *label;
    const char *paletteLabel;
    const char *toolTip;
    const char *themeIcon;
    const char *ownIcon;
};

const ItemDefinition kItems[] = {
    {"AddItem", QT_TRANSLATE_NOOP("Velumark", "Add Item"), QT_TRANSLATE_NOOP("Velumark", "Add Item"),
     QT_TRANSLATE_NOOP("Velumark", "Add an item to the list"), "list-add", "list-add"},
    {"DeleteItem", QT_TRANSLATE_NOOP("Velumark", "Delete Item"), QT_TRANSLATE_NOOP("Velumark", "Delete Item"),
     QT_TRANSLATE_NOOP("Velumark", "Remove an item from the list"), "edit-delete", "edit-delete"},
    {"Print", QT_TRANSLATE_NOOP("Velumark", "Print"), QT_TRANSLATE_NOOP("Velumark", "Print"),
     QT_TRANSLATE_NOOP("Velumark", "Print the list"), "document-print", "document-print"},
    {"Contacts", QT_TRANSLATE_NOOP("Velumark", "Address Book"), QT_TRANSLATE_NOOP("Velumark", "Address Book"),
     QT_TRANSLATE_NOOP("Velumark", "Access the Address Book"), "x-office-address-book", "contacts"},
    {"Statistics", QT_TRANSLATE_NOOP("Velumark", "Statistics"), QT_TRANSLATE_NOOP("Velumark", "Statistics"),
     QT_TRANSLATE_NOOP("Velumark", "Show database statistics"), "office-chart-bar", "statistics"},
    {"Import", QT_TRANSLATE_NOOP("Velumark", "Import from device"), QT_TRANSLATE_NOOP("Velumark", "Import"),
     QT_TRANSLATE_NOOP("Velumark", "Import database from Velumark Mobile App"), nullptr, "import-device"},
    {"Export", QT_TRANSLATE_NOOP("Velumark", "Export to device"), QT_TRANSLATE_NOOP("Velumark", "Export"),
     QT_TRANSLATE_NOOP("Velumark", "Export database to Velumark Mobile App"), nullptr, "export-device"},
    {"Search", QT_TRANSLATE_NOOP("Velumark", "Search list"), QT_TRANSLATE_NOOP("Velumark", "Search"),
     QT_TRANSLATE_NOOP("Velumark", "Search the currently visible list"), "edit-find", "edit-find"},
    {"Space", QT_TRANSLATE_NOOP("Velumark", "Space"), QT_TRANSLATE_NOOP("Velumark", "Space"), nullptr,
     nullptr, nullptr},
    {"FlexibleSpace", QT_TRANSLATE_NOOP("Velumark", "Flexible Space"),
     QT_TRANSLATE_NOOP("Velumark", "Flexible Space"), nullptr, nullptr, nullptr},
};

constexpr int kSpaceWidth = 12;

} // namespace

const QString ToolbarController::kFlexibleSpace = QStringLiteral("FlexibleSpace");
const QString ToolbarController::kSpace = QStringLiteral("Space");
const QString ToolbarController::kSearch = QStringLiteral("Search");

bool ToolbarController::isSpace(const QString &identifier)
{
    return identifier == kSpace || identifier == kFlexibleSpace;
}

std::optional<ToolbarController::Item> ToolbarController::item(const QString &identifier)
{
    for (const ItemDefinition &definition : kItems) {
        if (identifier != QLatin1String(definition.identifier))
            continue;
        Item result{identifier, localized(definition.label), localized(definition.paletteLabel),
                    definition.toolTip ? localized(definition.toolTip) : QString(), QIcon()};
        if (definition.ownIcon)
            result.icon = definition.themeIcon ? Icons::themed(QLatin1String(definition.themeIcon),
                                                               QLatin1String(definition.ownIcon))
                                               : Icons::own(QLatin1String(definition.ownIcon));
        return result;
    }
    return std::nullopt;
}

ToolbarController::ToolbarController(QToolBar &toolbar, ToolbarArrangement &arrangement, QWidget *searchField,
                                     QObject *parent)
    : QObject(parent), m_toolbar(toolbar), m_arrangement(arrangement)
{
    if (searchField) {
        m_searchItem = new QWidgetAction(this);
        m_searchItem->setDefaultWidget(searchField);
        m_searchItem->setObjectName(kSearch);
    }
    for (const QString &identifier : arrangement.allowedItems()) {
        if (isSpace(identifier) || identifier == kSearch)
            continue;
        const Item described = *item(identifier);
        auto *action = new QAction(described.icon, described.label, this);
        action->setToolTip(described.toolTip);
        action->setObjectName(identifier);
        m_actions[identifier] = action;
    }
    connect(&arrangement, &ToolbarArrangement::changed, this, &ToolbarController::refreshToolbar);
    refreshToolbar();
}

QAction *ToolbarController::itemAction(const QString &identifier) const
{
    const auto found = m_actions.find(identifier);
    return found == m_actions.end() ? nullptr : found->second;
}

void ToolbarController::refreshToolbar()
{
    // Taking an item's action out of the toolbar hands its widget back to the action.
    m_toolbar.clear();
    qDeleteAll(m_spaces);
    m_spaces.clear();
    m_searchShown = false;
    for (const QString &identifier : m_arrangement.saved()) {
        if (isSpace(identifier)) {
            m_toolbar.addAction(makeSpace(identifier == kFlexibleSpace));
        } else if (identifier == kSearch && m_searchItem) {
            m_toolbar.addAction(m_searchItem);
            m_searchShown = true;
        } else if (QAction *action = itemAction(identifier)) {
            m_toolbar.addAction(action);
        }
    }
    emit refreshed();
}

QWidgetAction *ToolbarController::makeSpace(bool flexible)
{
    auto *spacer = new QWidget;
    if (flexible)
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    else
        spacer->setFixedWidth(kSpaceWidth);
    auto *space = new QWidgetAction(this);
    space->setDefaultWidget(spacer);
    space->setObjectName(flexible ? kFlexibleSpace : kSpace);
    m_spaces.push_back(space);
    return space;
}

} // namespace velumark::gui
