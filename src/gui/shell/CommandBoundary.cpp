#include "gui/shell/CommandBoundary.h"

#include "gui/shell/UserInteraction.h"
#include "store/Localization.h"

namespace velumark::gui {

void showCommandFailure(QWidget *parent, const QString &reason)
{
    // Showing the alert must not throw out of the boundary either.
    try {
        UserInteraction::instance().showAlert(parent, {localized("WARNING"),
                                                       localized("The command could not be completed."),
                                                       reason, UserInteraction::Severity::Critical});
    } catch (...) {
    }
}

} // namespace velumark::gui
