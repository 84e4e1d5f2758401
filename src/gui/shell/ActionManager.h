#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;

namespace velumark::gui {

enum class ActionId
{
    // File
    New,
    Open,
    ClearRecentDocuments,
    Close,
    Save,
    SaveAs,
    ImportVdbi,
    ImportDatabase,
    ImportDevice,
    ImportCsv,
    ExportVdbi,
    ExportDatabase,
    ExportDevice,
    ExportCsv,
    ExportReport,
    PageSetup,
    PrintPreview,
    Print,
    ExportPdf,
    Quit,
    // Edit
    AddItem,
    RemoveItem,
    Cut,
    Copy,
    Paste,
    Delete,
    SelectAll,
    Preferences,
    // View
    ShowToolbar,
    CustomizeToolbar,
    SubmissionHistory,
    // Tools
    AddressBook,
    Statistics,
    // Window
    Minimize,
    Zoom,
    BringAllToFront,
    // Help
    SocialPage,
    Website,
    FrequentlyAskedQuestions,
    CheckForUpdates,
    About
};

// Every action of the application, made once with its text, standard shortcut and icon, and
// looked up by id: the menus of every window and the toolbars share them.
class ActionManager : public QObject
{
    Q_OBJECT
public:
    explicit ActionManager(QObject *parent = nullptr);
    ~ActionManager() override;

    QAction *action(ActionId id) const;
    // What the action does; it runs through the command boundary.
    void setHandler(ActionId id, std::function<void()> handler);

    // Submenus shared by every window's menu bar.
    QMenu *importMenu() const { return m_importMenu.get(); }
    QMenu *exportMenu() const { return m_exportMenu.get(); }
    QMenu *recentMenu() const { return m_recentMenu.get(); }

    // The entries of the open windows at the end of every Window menu (one checkable action each,
    // the active window's checked): made again by the filler each time a Window menu opens.
    void setWindowEntriesFiller(std::function<void(QActionGroup &entries)> filler);
    QList<QAction *> refreshedWindowEntries();

    // Enables what needs an open document ("Import From", "Save", "Add Item"...).
    void setDocumentsOpen(bool open);
    // Enables an action whose command exists (not before the window that carries it out).
    void setAvailable(ActionId id, bool available);

private:
    void createActions();
    void createSubmenus();
    void updateEnabled(ActionId id);

    std::map<ActionId, QAction *> m_actions;
    std::map<ActionId, bool> m_available;
    bool m_documentsOpen = false;
    std::unique_ptr<QMenu> m_importMenu;
    std::unique_ptr<QMenu> m_exportMenu;
    std::unique_ptr<QMenu> m_recentMenu;
    std::unique_ptr<QActionGroup> m_windowEntries;
    std::function<void(QActionGroup &)> m_windowEntriesFiller;
};

} // namespace velumark::gui
