#include "gui/shell/MenuBarBuilder.h"

#include "gui/shell/ActionManager.h"
#include "store/Localization.h"

#include <QMenu>
#include <QMenuBar>

namespace velumark::gui {

namespace {

QMenu *addMenu(QMenuBar &bar, const char *title)
{
    // The mnemonic lets the keyboard open the menu (Alt+F).
    return bar.addMenu(QStringLiteral("&") + localized(title));
}

void addActions(QMenu *menu, ActionManager &actions, std::initializer_list<ActionId> ids)
{
    for (ActionId id : ids)
        menu->addAction(actions.action(id));
}

} // namespace

void MenuBarBuilder::populate(QMenuBar &bar, ActionManager &actions)
{
    QMenu *file = addMenu(bar, QT_TRANSLATE_NOOP("Velumark", "File"));
    addActions(file, actions, {ActionId::New, ActionId::Open});
    file->addMenu(actions.recentMenu());
    file->addSeparator();
    addActions(file, actions, {ActionId::Close, ActionId::Save, ActionId::SaveAs});
    file->addSeparator();
    file->addMenu(actions.importMenu());
    file->addMenu(actions.exportMenu());
    file->addSeparator();
    addActions(file, actions,
               {ActionId::PageSetup, ActionId::PrintPreview, ActionId::Print, ActionId::ExportPdf});
    file->addSeparator();
    addActions(file, actions, {ActionId::Quit});

    QMenu *edit = addMenu(bar, QT_TRANSLATE_NOOP("Velumark", "Edit"));
    addActions(edit, actions, {ActionId::AddItem, ActionId::RemoveItem});
    edit->addSeparator();
    addActions(edit, actions,
               {ActionId::Cut, ActionId::Copy, ActionId::Paste, ActionId::Delete, ActionId::SelectAll});
    edit->addSeparator();
    addActions(edit, actions, {ActionId::Preferences});

    QMenu *view = addMenu(bar, QT_TRANSLATE_NOOP("Velumark", "View"));
    addActions(view, actions, {ActionId::ShowToolbar, ActionId::CustomizeToolbar});
    view->addSeparator();
    addActions(view, actions, {ActionId::SubmissionHistory});

    QMenu *tools = addMenu(bar, QT_TRANSLATE_NOOP("Velumark", "Tools"));
    addActions(tools, actions, {ActionId::AddressBook, ActionId::Statistics});

    QMenu *window = addMenu(bar, QT_TRANSLATE_NOOP("Velumark", "Window"));
    addActions(window, actions, {ActionId::Minimize, ActionId::Zoom});
    window->addSeparator();
    addActions(window, actions, {ActionId::BringAllToFront});
    window->addSeparator();
    QObject::connect(window, &QMenu::aboutToShow, window,
                     [window, &actions] { window->addActions(actions.refreshedWindowEntries()); });

    QMenu *help = addMenu(bar, QT_TRANSLATE_NOOP("Velumark", "Help"));
    addActions(help, actions, {ActionId::SocialPage, ActionId::Website, ActionId::FrequentlyAskedQuestions});
    help->addSeparator();
    addActions(help, actions, {ActionId::CheckForUpdates});
    help->addSeparator();
    addActions(help, actions, {ActionId::About});
}

} // namespace velumark::gui
