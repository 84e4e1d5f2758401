#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

class QWidget;

namespace velumark::gui {

// Everything the windows ask of the user or the desktop: alerts, questions, file choosers, and
// opening an address. Replaceable, so that test journeys answer without native dialogs.
class UserInteraction
{
public:
    enum class Severity
    {
        Information,
        Warning,
        Critical
    };

    struct Alert
    {
        QString title;
        QString text;
        QString detail; // the reason, shown beneath the text
        Severity severity = Severity::Warning;
    };

    enum class ButtonRole
    {
        Accept,
        Destructive, // "Don't Save", "Replace"
        Reject       // also the answer when the user dismisses the question
    };
    struct Button
    {
        QString text;
        ButtonRole role;
    };
    struct Question
    {
        QString title;
        QString text;
        QString detail;
        std::vector<Button> buttons; // the desktop orders them by role
        int defaultButton = 0;
        Severity severity = Severity::Warning;
    };

    struct PathChoice
    {
        QString title;
        QString folder;
        QString proposedName;
        QStringList filters; // "Velumark Catalogues (*.vdb)"
        // A catalogue package (a folder) is chosen like a file rather than entered.
        bool packagesAreFiles = false;
        // Only folders are offered (a report's destination, a folder of contact cards).
        bool foldersOnly = false;
    };

    UserInteraction() = default;
    virtual ~UserInteraction() = default;
    UserInteraction(const UserInteraction &) = delete;
    UserInteraction &operator=(const UserInteraction &) = delete;

    virtual void showAlert(QWidget *parent, const Alert &alert) = 0;
    // The index of the chosen button.
    virtual int ask(QWidget *parent, const Question &question) = 0;
    // An empty string when the user cancelled.
    virtual QString choosePathToOpen(QWidget *parent, const PathChoice &choice) = 0;
    virtual QString choosePathToSave(QWidget *parent, const PathChoice &choice) = 0;
    // Several existing files; empty when the user cancelled. By default the one file of
    // choosePathToOpen.
    virtual QStringList choosePathsToOpen(QWidget *parent, const PathChoice &choice);
    // A web address or a local file, in the desktop's default application.
    virtual bool openAddress(const QUrl &address) = 0;
    virtual void beep() = 0;

    // The interaction in use: the desktop's unless one was installed.
    static UserInteraction &instance();
    // Installs an interaction (not owned; null for the desktop's) and returns the previous one.
    static UserInteraction *setInstance(UserInteraction *interaction);
};

} // namespace velumark::gui
