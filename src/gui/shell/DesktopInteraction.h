#pragma once

#include "gui/shell/UserInteraction.h"

namespace velumark::gui {

// The desktop's own message boxes, file dialogs and default applications.
class DesktopInteraction : public UserInteraction
{
public:
    void showAlert(QWidget *parent, const Alert &alert) override;
    int ask(QWidget *parent, const Question &question) override;
    QString choosePathToOpen(QWidget *parent, const PathChoice &choice) override;
    QString choosePathToSave(QWidget *parent, const PathChoice &choice) override;
    QStringList choosePathsToOpen(QWidget *parent, const PathChoice &choice) override;
    bool openAddress(const QUrl &address) override;
    void beep() override;
};

} // namespace velumark::gui
