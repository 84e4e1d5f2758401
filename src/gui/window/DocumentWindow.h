#pragma once

#include <QMainWindow>
#include <memory>

namespace velumark::gui {

class ActionManager;
class CatalogueDocument;
class DocumentView;
class ListEditing;
class VelumarkDocumentController;

// The window of one open catalogue: it owns the document, shows the content view in its centre
// and a status line, keeps its frame per package, tells the registry when it becomes the active
// document and opens catalogues dropped on it. Closing goes through the document controller,
// which saves, or asks where to save an untitled catalogue.
class DocumentWindow : public QMainWindow
{
    Q_OBJECT
public:
    DocumentWindow(std::unique_ptr<CatalogueDocument> document, ActionManager &actions,
                   VelumarkDocumentController &controller);
    ~DocumentWindow() override;

    CatalogueDocument &document() const { return *m_document; }
    DocumentView *view() const { return m_view; }
    ListEditing &listEditing() const { return *m_listEditing; }

    // "Studio — Velumark" for the package Studio.vdb.
    static QString windowTitleForDocumentDisplayName(const QString &displayName);
    // The package moved (saved under a new name): the title and the frame's key follow it.
    void packageMoved();
    // Keeps the frame and the view's state under the package's key.
    void saveFrame() const;
    // The settings group of the package: the window's frame and the view's state live there.
    QString settingsGroup() const;

    void setToolbarsShown(bool shown);
    void toggleZoom();

signals:
    void activated(velumark::gui::DocumentWindow *window);
    // Catalogues or interchange files dropped on the window.
    void openRequested(const QStringList &paths);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void restoreFrame();
    void updateTitle();

    std::unique_ptr<CatalogueDocument> m_document;
    VelumarkDocumentController &m_controller;
    DocumentView *m_view = nullptr;
    ListEditing *m_listEditing = nullptr;
};

} // namespace velumark::gui
