#pragma once

#include <functional>

namespace velumark::gui {

class ActionManager;
class DocumentWindow;

// "Page Setup...", "Print Preview...", "Print..." and "Export as PDF..." act on the catalogue of
// the active window.
void connectPrintActions(ActionManager &actions, std::function<DocumentWindow *()> mainWindow);

} // namespace velumark::gui
