#include "gui/window/DocumentWindow.h"

#include "document/DocumentPackage.h"
#include "editing/CataloguePath.h"
#include "gui/editors/ListEditing.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/MenuBarBuilder.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentView.h"
#include "store/Localization.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace velumark::gui {

namespace {

constexpr QSize kDefaultSize(1000, 680);

// The local paths among dropped URLs that Velumark opens.
QStringList openablePaths(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const auto target = editing::CataloguePath::forOpening(url.toLocalFile());
        if (target.kind() == editing::CataloguePath::Kind::Catalogue ||
            target.kind() == editing::CataloguePath::Kind::Interchange)
            paths.append(target.path());
    }
    return paths;
}

} // namespace

DocumentWindow::DocumentWindow(std::unique_ptr<CatalogueDocument> document, ActionManager &actions,
                               VelumarkDocumentController &controller)
    : m_document(std::move(document)), m_controller(controller)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    MenuBarBuilder::populate(*menuBar(), actions);
    // The toolbar's own menu offers what the View menu does; the window adds none of its own.
    setContextMenuPolicy(Qt::NoContextMenu);
    m_view = new DocumentView(m_document->database(), actions, *this);
    m_listEditing = new ListEditing(m_document->database(), *m_view, actions);
    setCentralWidget(m_view);
    statusBar()->setSizeGripEnabled(true);
    updateTitle();
    restoreFrame();
}

DocumentWindow::~DocumentWindow()
{
    // The view and whatever else the window holds refer to the document: they go first.
    const auto children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
    m_document.reset();
}

QString DocumentWindow::windowTitleForDocumentDisplayName(const QString &displayName)
{
    return localized("%1 — Velumark").arg(displayName);
}

void DocumentWindow::updateTitle()
{
    setWindowTitle(windowTitleForDocumentDisplayName(m_document->displayName()));
}

QString DocumentWindow::settingsGroup() const
{
    const QString key = DocumentPackage::canonicalPath(m_document->packagePath());
    return QStringLiteral("documentWindows/") + QString::fromLatin1(QUrl::toPercentEncoding(key));
}

void DocumentWindow::saveFrame() const
{
    QSettings settings;
    settings.beginGroup(settingsGroup());
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    m_view->saveState(settings);
    settings.endGroup();
}

void DocumentWindow::restoreFrame()
{
    QSettings settings;
    settings.beginGroup(settingsGroup());
    if (!restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray()))
        resize(kDefaultSize);
    m_view->restoreState(settings);
    settings.endGroup();
}

void DocumentWindow::packageMoved()
{
    updateTitle();
    saveFrame();
}

void DocumentWindow::setToolbarsShown(bool shown)
{
    for (QToolBar *toolbar : findChildren<QToolBar *>(Qt::FindDirectChildrenOnly))
        toolbar->setVisible(shown);
}

void DocumentWindow::toggleZoom()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

bool DocumentWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        m_document->becomeMain();
        m_view->windowBecameMain();
        m_listEditing->updateHistoryAction();
        emit activated(this);
    }
    return QMainWindow::event(event);
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    runCommand(this, [&] { mayClose = m_controller.closeDocument(*this); });
    if (mayClose) {
        saveFrame();
        event->accept();
    } else {
        event->ignore();
    }
}

void DocumentWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!openablePaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void DocumentWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = openablePaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    emit openRequested(paths);
}

} // namespace velumark::gui
