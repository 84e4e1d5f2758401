#pragma once

class QMenuBar;

namespace velumark::gui {

class ActionManager;

// The menu bar of a document window, from the shared actions. The menus keep the order of the
// desktop original (File, Edit, View, Tools, Window, Help); what its application menu held goes
// where Linux users look for it: Preferences under Edit, Quit under File, About under Help.
class MenuBarBuilder
{
public:
    static void populate(QMenuBar &bar, ActionManager &actions);
};

} // namespace velumark::gui
