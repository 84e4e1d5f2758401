#pragma once

#include "gui/shell/ActionManager.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>

class QActionGroup;

namespace velumark::gui {

class AboutDialog;
class DocumentView;
class DocumentWindow;
class PreferencesDialog;
class RecentDocuments;
class TransferWindows;
class UpdateChecker;
class VelumarkDocumentController;

// The application: its actions and menus, the documents, the preferences window and the relay
// of changed preferences to every open document, help, updates, and quitting.
class VelumarkAppDelegate : public QObject
{
    Q_OBJECT
public:
    // The addresses the help items open and the update feed; empty where the build gives none.
    struct Addresses
    {
        QUrl website;
        QUrl frequentlyAskedQuestions;
        QUrl socialPage;
        QUrl updateFeed;
    };
    // The addresses compiled into this build.
    static Addresses builtInAddresses();

    explicit VelumarkAppDelegate(const Addresses &addresses = builtInAddresses(), QObject *parent = nullptr);
    ~VelumarkAppDelegate() override;

    // Launching: opens the given catalogues, or the most recent one, or an untitled one. False
    // when no window could be shown.
    bool start(const QStringList &paths);
    // Saves and closes every catalogue, then ends the event loop; false when one stays open.
    bool quit();

    ActionManager &actions() const { return *m_actions; }
    VelumarkDocumentController &documents() const { return *m_documents; }
    RecentDocuments &recentDocuments() const { return *m_recentDocuments; }
    PreferencesDialog &preferencesDialog();
    UpdateChecker &updateChecker() const { return *m_updateChecker; }
    TransferWindows &transferWindows() const { return *m_transferWindows; }

    void handlePreferences();
    void checkForUpdates();
    // Shows the About window (one at a time) and returns it.
    AboutDialog *showAbout();

private:
    void connectFileActions();
    void connectEditActions();
    void connectWindowActions();
    void fillWindowEntries(QActionGroup &entries) const;
    void connectHelpActions(const Addresses &addresses);
    void rebuildRecentMenu();
    void windowsChanged();
    // The action runs the command of the active document's view.
    void forwardToView(ActionId id, void (DocumentView::*command)());
    // Runs the command on the active document's window, when there is one.
    void withMainWindow(const std::function<void(DocumentWindow &)> &command) const;

    std::unique_ptr<ActionManager> m_actions;
    std::unique_ptr<RecentDocuments> m_recentDocuments;
    std::unique_ptr<VelumarkDocumentController> m_documents;
    std::unique_ptr<TransferWindows> m_transferWindows;
    std::unique_ptr<PreferencesDialog> m_preferencesDialog;
    QPointer<AboutDialog> m_aboutDialog;
    UpdateChecker *m_updateChecker;
};

} // namespace velumark::gui
