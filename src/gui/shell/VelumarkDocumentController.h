#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace velumark::gui {

class ActionManager;
class CatalogueDocument;
class DocumentWindow;
class RecentDocuments;

// Makes, opens, saves and closes catalogues and their windows, asking the user where the
// desktop expects it (where to put a new catalogue, whether to replace one, whether to save an
// untitled one) and telling them plainly when something cannot be done.
class VelumarkDocumentController : public QObject
{
    Q_OBJECT
public:
    VelumarkDocumentController(ActionManager &actions, RecentDocuments &recentDocuments,
                               QObject *parent = nullptr);
    ~VelumarkDocumentController() override;

    const QList<DocumentWindow *> &windows() const { return m_windows; }
    // The window last made active (the main document's), or the last one opened.
    DocumentWindow *mainWindow() const;

    // At launch: the given catalogues; without any that opened, the most recent catalogue; then
    // an untitled one. False when no window could be shown at all.
    bool openAtStart(const QStringList &paths);
    void newDocument();
    void openDocument();
    void openPaths(const QStringList &paths);
    // A catalogue package (or the database inside it), or an interchange file; null when nothing
    // opened (the user has been told why).
    DocumentWindow *openPath(const QString &path);
    // An entry of the recent documents menu; one that is gone is dropped from the menu.
    void openRecent(const QString &path);
    DocumentWindow *openUntitled();
    bool saveDocument(DocumentWindow &window);
    bool saveDocumentAs(DocumentWindow &window);
    // Asked by a window that is closing: false keeps it open.
    bool closeDocument(DocumentWindow &window);
    // Closes every window for quitting; a catalogue that cannot be saved asks whether to quit
    // anyway. False when a window stays open.
    bool closeAll();

    // What opening an interchange file does; the import window installs itself here.
    void setInterchangeHandler(std::function<void(const QString &)> handler);

signals:
    // A window opened or closed.
    void windowsChanged();

private:
    enum class Destination
    {
        Free,
        Replace,
        Refused
    };
    Destination askAboutDestination(QWidget *parent, const QString &packagePath);
    DocumentWindow *showWindow(std::unique_ptr<CatalogueDocument> document);
    DocumentWindow *windowFor(const QString &packagePath) const;
    bool closeUntitled(DocumentWindow &window);
    bool keepAfterFailedSave(DocumentWindow &window, const QString &reason);
    void forget(DocumentWindow *window);
    QWidget *dialogParent() const;

    ActionManager &m_actions;
    RecentDocuments &m_recentDocuments;
    QList<DocumentWindow *> m_windows;
    QPointer<DocumentWindow> m_mainWindow;
    std::function<void(const QString &)> m_interchangeHandler;
    bool m_quitting = false;
};

} // namespace velumark::gui
