#include "gui/shell/UserInteraction.h"

#include "gui/shell/DesktopInteraction.h"

namespace velumark::gui {

namespace {
UserInteraction *installed = nullptr;
}

UserInteraction &UserInteraction::instance()
{
    if (installed)
        return *installed;
    static DesktopInteraction desktop;
    return desktop;
}

QStringList UserInteraction::choosePathsToOpen(QWidget *parent, const PathChoice &choice)
{
    const QString path = choosePathToOpen(parent, choice);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

UserInteraction *UserInteraction::setInstance(UserInteraction *interaction)
{
    return std::exchange(installed, interaction);
}

} // namespace velumark::gui
