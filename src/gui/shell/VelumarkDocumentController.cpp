#include "gui/shell/VelumarkDocumentController.h"

#include "document/DocumentPackage.h"
#include "editing/CatalogueDestination.h"
#include "editing/CataloguePath.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/RecentDocuments.h"
#include "gui/shell/UserInteraction.h"
#include "gui/window/DocumentWindow.h"
#include "store/Localization.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>

namespace velumark::gui {

namespace {

using editing::CatalogueDestination;
using editing::CataloguePath;
using Button = UserInteraction::Button;
using Role = UserInteraction::ButtonRole;

constexpr int kStatusMessageMs = 3000;

void tell(QWidget *parent, const QString &text, const QString &detail = {},
          UserInteraction::Severity severity = UserInteraction::Severity::Warning)
{
    UserInteraction::instance().showAlert(parent, {QString(), text, detail, severity});
}

QString quoted(const QString &name)
{
    return localized("“%1”").arg(name);
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

UserInteraction::PathChoice catalogueChoice(const QString &title, const QString &folder, const QString &name)
{
    return {title, folder, name, {localized("Velumark Catalogues (*.vdb)")}, true};
}

} // namespace

VelumarkDocumentController::VelumarkDocumentController(ActionManager &actions,
                                                       RecentDocuments &recentDocuments, QObject *parent)
    : QObject(parent), m_actions(actions), m_recentDocuments(recentDocuments)
{
    m_interchangeHandler = [this](const QString &path) {
        tell(dialogParent(),
             localized("%1 is a Velumark interchange file.").arg(quoted(QFileInfo(path).fileName())),
             localized("Open the catalogue it belongs in, then choose File > Import From > VDBI."),
             UserInteraction::Severity::Information);
    };
}

VelumarkDocumentController::~VelumarkDocumentController() = default;

DocumentWindow *VelumarkDocumentController::mainWindow() const
{
    if (m_mainWindow && m_windows.contains(m_mainWindow.data()))
        return m_mainWindow;
    return m_windows.isEmpty() ? nullptr : m_windows.last();
}

QWidget *VelumarkDocumentController::dialogParent() const
{
    return mainWindow();
}

void VelumarkDocumentController::setInterchangeHandler(std::function<void(const QString &)> handler)
{
    m_interchangeHandler = std::move(handler);
}

bool VelumarkDocumentController::openAtStart(const QStringList &paths)
{
    openPaths(paths);
    if (m_windows.isEmpty()) {
        const QStringList recent = m_recentDocuments.paths();
        if (!recent.isEmpty())
            openRecent(recent.first());
    }
    // Something must be on the screen: when the most recent catalogue cannot be opened either,
    // an untitled one takes its place.
    if (m_windows.isEmpty())
        openUntitled();
    return !m_windows.isEmpty();
}

void VelumarkDocumentController::openPaths(const QStringList &paths)
{
    for (const QString &path : paths)
        openPath(path);
}

DocumentWindow *VelumarkDocumentController::openPath(const QString &path)
{
    const auto target = CataloguePath::forOpening(path);
    const QString name = quoted(QDir::toNativeSeparators(target.path()));
    switch (target.kind()) {
    case CataloguePath::Kind::Missing:
        tell(dialogParent(), localized("%1 cannot be found.").arg(name));
        return nullptr;
    case CataloguePath::Kind::Unknown:
        tell(dialogParent(), localized("%1 is not a Velumark catalogue.").arg(name));
        return nullptr;
    case CataloguePath::Kind::Interchange:
        m_interchangeHandler(target.path());
        return nullptr;
    case CataloguePath::Kind::Catalogue:
        break;
    }
    if (DocumentWindow *open = windowFor(target.path())) {
        open->raise();
        open->activateWindow();
        return open;
    }
    Result<std::unique_ptr<CatalogueDocument>> document = CatalogueDocument::open(target.path());
    if (!document) {
        tell(dialogParent(), localized("The catalogue %1 cannot be opened.").arg(name), document.message());
        return nullptr;
    }
    m_recentDocuments.add(target.path());
    return showWindow(std::move(document).value());
}

void VelumarkDocumentController::openRecent(const QString &path)
{
    if (CataloguePath::forOpening(path).kind() != CataloguePath::Kind::Catalogue && !windowFor(path)) {
        m_recentDocuments.remove(path);
        tell(
            dialogParent(),
            localized("The catalogue %1 can no longer be found.").arg(quoted(QDir::toNativeSeparators(path))),
            localized("It has been removed from the list of recent catalogues."));
        return;
    }
    openPath(path);
}

void VelumarkDocumentController::openDocument()
{
    const QString path = UserInteraction::instance().choosePathToOpen(
        dialogParent(), {localized("Open"),
                         documentsFolder(),
                         {},
                         {localized("Velumark Catalogues (*.vdb velumark.db)"),
                          localized("Velumark Interchange Files (*.vdbi)")},
                         true});
    if (!path.isEmpty())
        openPath(path);
}

DocumentWindow *VelumarkDocumentController::openUntitled()
{
    Result<std::unique_ptr<CatalogueDocument>> document = CatalogueDocument::openUntitled();
    if (!document) {
        tell(dialogParent(), localized("A new catalogue cannot be made."), document.message(),
             UserInteraction::Severity::Critical);
        return nullptr;
    }
    return showWindow(std::move(document).value());
}

VelumarkDocumentController::Destination
VelumarkDocumentController::askAboutDestination(QWidget *parent, const QString &packagePath)
{
    const auto destination = CatalogueDestination::check(packagePath);
    const QString name = quoted(QFileInfo(packagePath).fileName());
    switch (destination.state()) {
    case CatalogueDestination::State::Free:
        return Destination::Free;
    case CatalogueDestination::State::OpenHere:
        UserInteraction::instance().showAlert(
            parent,
            {localized("WARNING"),
             localized("Overwriting an open database is not permitted. Please select a different filename."),
             QString(), UserInteraction::Severity::Warning});
        return Destination::Refused;
    case CatalogueDestination::State::HeldElsewhere:
        tell(parent, localized("%1 is open in another program and cannot be replaced.").arg(name),
             destination.reason());
        return Destination::Refused;
    case CatalogueDestination::State::NotACatalogue:
        tell(parent, localized("%1 already exists and is not a Velumark catalogue.").arg(name),
             localized("Please choose a different name."));
        return Destination::Refused;
    case CatalogueDestination::State::InsideCatalogue:
        tell(parent, localized("A catalogue cannot be placed inside another catalogue."),
             localized("Please choose a folder outside %1.")
                 .arg(quoted(QDir::toNativeSeparators(QFileInfo(packagePath).absolutePath()))));
        return Destination::Refused;
    case CatalogueDestination::State::ReplaceablePackage:
        break;
    }
    const int answer = UserInteraction::instance().ask(
        parent,
        {QString(),
         localized("%1 already exists. Do you want to replace it?").arg(name),
         localized("Replacing it removes the catalogue that is there now, with all its records and photos."),
         {Button{localized("Replace"), Role::Destructive}, Button{localized("Cancel"), Role::Reject}},
         1});
    return answer == 0 ? Destination::Replace : Destination::Refused;
}

void VelumarkDocumentController::newDocument()
{
    QWidget *parent = dialogParent();
    QString path = UserInteraction::instance().choosePathToSave(
        parent, catalogueChoice(localized("New Velumark Database"), documentsFolder(),
                                localized("%1.vdb").arg(localized("Untitled"))));
    if (path.isEmpty())
        return;
    path = CataloguePath::withPackageExtension(path);
    const Destination destination = askAboutDestination(parent, path);
    if (destination == Destination::Refused)
        return;
    std::unique_ptr<CatalogueDocument> document;
    const auto make = [&]() -> Result<> {
        Result<std::unique_ptr<CatalogueDocument>> opened = CatalogueDocument::open(path);
        if (!opened)
            return Failure{opened.message()};
        document = std::move(opened).value();
        return {};
    };
    const Result<> made =
        destination == Destination::Replace ? CatalogueDestination::replacePackage(path, make) : make();
    if (!made) {
        tell(parent, localized("The catalogue %1 cannot be made.").arg(quoted(QFileInfo(path).fileName())),
             made.message());
        return;
    }
    m_recentDocuments.add(path);
    showWindow(std::move(document));
}

bool VelumarkDocumentController::saveDocument(DocumentWindow &window)
{
    CatalogueDocument &document = window.document();
    if (document.isUntitled())
        return saveDocumentAs(window);
    if (const Result<> saved = document.save(); !saved) {
        tell(&window, localized("The catalogue %1 cannot be saved.").arg(quoted(document.displayName())),
             saved.message());
        return false;
    }
    window.statusBar()->showMessage(localized("Saved."), kStatusMessageMs);
    return true;
}

bool VelumarkDocumentController::saveDocumentAs(DocumentWindow &window)
{
    CatalogueDocument &document = window.document();
    const QString folder =
        document.isUntitled() ? documentsFolder() : QFileInfo(document.packagePath()).absolutePath();
    QString path = UserInteraction::instance().choosePathToSave(
        &window,
        catalogueChoice(localized("Save As"), folder, document.displayName() + QStringLiteral(".vdb")));
    if (path.isEmpty())
        return false;
    path = CataloguePath::withPackageExtension(path);
    if (DocumentPackage::samePath(path, document.packagePath()))
        return saveDocument(window);
    const Destination destination = askAboutDestination(&window, path);
    if (destination == Destination::Refused)
        return false;
    const ExistingCatalogue existing =
        destination == Destination::Replace ? ExistingCatalogue::Replace : ExistingCatalogue::Keep;
    if (const Result<> saved = document.saveAs(path, existing); !saved) {
        tell(&window, localized("The catalogue %1 cannot be saved.").arg(quoted(document.displayName())),
             saved.message());
        return false;
    }
    m_recentDocuments.add(path);
    window.packageMoved();
    return true;
}

bool VelumarkDocumentController::closeDocument(DocumentWindow &window)
{
    CatalogueDocument &document = window.document();
    if (document.isUntitled())
        return closeUntitled(window);
    if (const Result<> closed = document.close(); !closed && keepAfterFailedSave(window, closed.message()))
        return false;
    forget(&window);
    return true;
}

bool VelumarkDocumentController::closeUntitled(DocumentWindow &window)
{
    CatalogueDocument &document = window.document();
    const int answer = UserInteraction::instance().ask(
        &window,
        {QString(),
         localized("Do you want to save the catalogue %1?").arg(quoted(document.displayName())),
         localized("If you don't save it, its records are lost."),
         {Button{localized("Save"), Role::Accept}, Button{localized("Don't Save"), Role::Destructive},
          Button{localized("Cancel"), Role::Reject}},
         0});
    if (answer == 0) {
        // Saved under the chosen name, the catalogue closes like any other.
        return saveDocumentAs(window) && closeDocument(window);
    }
    if (answer != 1)
        return false;
    // Not kept: whether its last changes reached the file no longer matters.
    (void)document.close();
    document.discardWhenGone();
    forget(&window);
    return true;
}

bool VelumarkDocumentController::keepAfterFailedSave(DocumentWindow &window, const QString &reason)
{
    const QString text =
        localized("The catalogue %1 cannot be saved.").arg(quoted(window.document().displayName()));
    if (!m_quitting) {
        tell(&window, text, reason);
        return true;
    }
    const int answer = UserInteraction::instance().ask(
        &window,
        {QString(),
         text,
         reason + QStringLiteral("\n\n") + localized("If you quit now, the changes not yet saved are lost."),
         {Button{localized("Quit Anyway"), Role::Destructive}, Button{localized("Cancel"), Role::Reject}},
         1});
    return answer != 0;
}

bool VelumarkDocumentController::closeAll()
{
    m_quitting = true;
    const QList<DocumentWindow *> open = m_windows;
    bool closed = true;
    for (DocumentWindow *window : open) {
        if (!window->close()) {
            closed = false;
            break;
        }
    }
    m_quitting = false;
    return closed;
}

DocumentWindow *VelumarkDocumentController::showWindow(std::unique_ptr<CatalogueDocument> document)
{
    auto *window = new DocumentWindow(std::move(document), m_actions, *this);
    connect(window, &DocumentWindow::activated, this,
            [this](DocumentWindow *active) { m_mainWindow = active; });
    // Dropped files open once the drop has finished, not while the file manager waits for it.
    connect(window, &DocumentWindow::openRequested, this, &VelumarkDocumentController::openPaths,
            Qt::QueuedConnection);
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
    m_windows.append(window);
    // The newest catalogue is the one interchange acts on until another window is activated.
    m_mainWindow = window;
    window->document().becomeMain();
    window->show();
    emit windowsChanged();
    return window;
}

DocumentWindow *VelumarkDocumentController::windowFor(const QString &packagePath) const
{
    for (DocumentWindow *window : m_windows) {
        if (DocumentPackage::samePath(window->document().packagePath(), packagePath))
            return window;
    }
    return nullptr;
}

void VelumarkDocumentController::forget(DocumentWindow *window)
{
    if (m_windows.removeAll(window) > 0)
        emit windowsChanged();
}

} // namespace velumark::gui
