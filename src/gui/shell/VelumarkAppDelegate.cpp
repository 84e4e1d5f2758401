#include "gui/shell/VelumarkAppDelegate.h"

#include "gui/editors/HistoryWindow.h"
#include "gui/editors/ListEditing.h"
#include "gui/printing/PrintActions.h"
#include "gui/shell/AboutDialog.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/BuildConfiguration.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/PreferencesDialog.h"
#include "gui/shell/RecentDocuments.h"
#include "gui/shell/UpdateChecker.h"
#include "gui/shell/UserInteraction.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/TransferWindows.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "store/AppPreferences.h"
#include "store/Localization.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace velumark::gui {

namespace {

using Severity = UserInteraction::Severity;

QUrl addressOf(const char *text)
{
    return QUrl(QString::fromUtf8(text), QUrl::StrictMode);
}

bool isTextInput(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget);
}

// Cut, Copy, Paste and Select All act on the widget with the keyboard focus, when it has them.
void invokeOnFocus(const char *slot)
{
    QWidget *focus = QApplication::focusWidget();
    if (focus && focus->metaObject()->indexOfSlot(QByteArray(slot) + "()") >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

QString recentEntryText(const QString &path, const QStringList &all)
{
    const QString name = QFileInfo(path).completeBaseName();
    const auto sameName = std::count_if(all.begin(), all.end(), [&](const QString &other) {
        return QFileInfo(other).completeBaseName() == name;
    });
    if (sameName < 2)
        return name;
    // Two catalogues of one name: their folders tell them apart.
    return localized("%1 — %2").arg(name, QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

void showUpdateResult(const UpdateChecker::Result &result)
{
    UserInteraction &interaction = UserInteraction::instance();
    QWidget *parent = QApplication::activeWindow();
    switch (result.outcome) {
    case UpdateChecker::Result::Outcome::UpToDate:
        interaction.showAlert(
            parent,
            {QString(), localized("Velumark is up to date."),
             localized("Version %1 is the newest version.").arg(QCoreApplication::applicationVersion()),
             Severity::Information});
        return;
    case UpdateChecker::Result::Outcome::Failed:
        interaction.showAlert(parent,
                              {QString(), localized("Velumark could not check for updates."), result.reason});
        return;
    case UpdateChecker::Result::Outcome::NewerVersion:
        break;
    }
    const int answer = interaction.ask(
        parent, {QString(),
                 localized("Velumark %1 is available.").arg(result.version),
                 localized("You have version %1.").arg(QCoreApplication::applicationVersion()),
                 {UserInteraction::Button{localized("Download"), UserInteraction::ButtonRole::Accept},
                  UserInteraction::Button{localized("Later"), UserInteraction::ButtonRole::Reject}},
                 0,
                 Severity::Information});
    if (answer == 0)
        interaction.openAddress(result.address);
}

} // namespace

VelumarkAppDelegate::Addresses VelumarkAppDelegate::builtInAddresses()
{
    return {addressOf(build::kWebsiteAddress), addressOf(build::kFrequentlyAskedQuestionsAddress),
            addressOf(build::kSocialPageAddress), addressOf(build::kUpdateFeedAddress)};
}

VelumarkAppDelegate::VelumarkAppDelegate(const Addresses &addresses, QObject *parent)
    : QObject(parent), m_actions(std::make_unique<ActionManager>()),
      m_recentDocuments(std::make_unique<RecentDocuments>()),
      m_documents(std::make_unique<VelumarkDocumentController>(*m_actions, *m_recentDocuments)),
      m_transferWindows(std::make_unique<TransferWindows>(*m_actions, *m_documents)),
      m_updateChecker(new UpdateChecker(addresses.updateFeed, this))
{
    connectFileActions();
    connectEditActions();
    connectWindowActions();
    connectHelpActions(addresses);
    connectPrintActions(*m_actions, [this] { return m_documents->mainWindow(); });
    connect(m_recentDocuments.get(), &RecentDocuments::changed, this,
            &VelumarkAppDelegate::rebuildRecentMenu);
    connect(m_documents.get(), &VelumarkDocumentController::windowsChanged, this,
            &VelumarkAppDelegate::windowsChanged);
    connect(m_updateChecker, &UpdateChecker::finished, this, &showUpdateResult);
    rebuildRecentMenu();
}

VelumarkAppDelegate::~VelumarkAppDelegate()
{
    // Windows still open when the event loop ended otherwise than by quit(): their catalogues
    // are saved (there is no one left to tell of a failure), and the windows go before the actions
    // their menus show.
    const QList<DocumentWindow *> open = m_documents->windows();
    for (DocumentWindow *window : open)
        (void)window->document().close();
    qDeleteAll(open);
}

bool VelumarkAppDelegate::start(const QStringList &paths)
{
    return m_documents->openAtStart(paths);
}

bool VelumarkAppDelegate::quit()
{
    if (m_preferencesDialog && m_preferencesDialog->isVisible())
        m_preferencesDialog->close();
    if (!m_documents->closeAll())
        return false;
    QCoreApplication::quit();
    return true;
}

void VelumarkAppDelegate::connectFileActions()
{
    VelumarkDocumentController &documents = *m_documents;
    m_actions->setHandler(ActionId::New, [&documents] { documents.newDocument(); });
    m_actions->setHandler(ActionId::Open, [&documents] { documents.openDocument(); });
    m_actions->setHandler(ActionId::ClearRecentDocuments, [this] { m_recentDocuments->clear(); });
    m_actions->setHandler(ActionId::Close,
                          [this] { withMainWindow([](DocumentWindow &window) { window.close(); }); });
    m_actions->setHandler(ActionId::Save, [this, &documents] {
        withMainWindow([&documents](DocumentWindow &window) { documents.saveDocument(window); });
    });
    m_actions->setHandler(ActionId::SaveAs, [this, &documents] {
        withMainWindow([&documents](DocumentWindow &window) { documents.saveDocumentAs(window); });
    });
    m_actions->setHandler(ActionId::Quit, [this] { quit(); });
}

void VelumarkAppDelegate::connectEditActions()
{
    forwardToView(ActionId::AddItem, &DocumentView::handleAddButton);
    forwardToView(ActionId::RemoveItem, &DocumentView::handleDeleteButton);
    m_actions->setHandler(ActionId::Cut, [] { invokeOnFocus("cut"); });
    m_actions->setHandler(ActionId::Copy, [] { invokeOnFocus("copy"); });
    m_actions->setHandler(ActionId::Paste, [] { invokeOnFocus("paste"); });
    m_actions->setHandler(ActionId::SelectAll, [] { invokeOnFocus("selectAll"); });
    m_actions->setHandler(ActionId::Delete, [this] {
        // In a text field the key deletes text; elsewhere it deletes the selected records.
        QWidget *focus = QApplication::focusWidget();
        if (isTextInput(focus)) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
            QApplication::sendEvent(focus, &press);
            return;
        }
        withMainWindow([](DocumentWindow &window) { window.view()->handleDeleteButton(); });
    });
    m_actions->setHandler(ActionId::Preferences, [this] { handlePreferences(); });
}

void VelumarkAppDelegate::connectWindowActions()
{
    QAction *showToolbar = m_actions->action(ActionId::ShowToolbar);
    m_actions->setHandler(ActionId::ShowToolbar, [this, showToolbar] {
        for (DocumentWindow *window : m_documents->windows())
            window->setToolbarsShown(showToolbar->isChecked());
    });
    m_actions->setHandler(ActionId::CustomizeToolbar, [this] {
        // The toolbar of the window in front: a history window has its own.
        if (auto *history = qobject_cast<HistoryWindow *>(QApplication::activeWindow()))
            history->customizeToolbar();
        else
            withMainWindow([](DocumentWindow &window) { window.view()->customizeToolbar(); });
    });
    forwardToView(ActionId::Statistics, &DocumentView::presentStatistics);
    m_actions->setHandler(ActionId::SubmissionHistory, [this] {
        withMainWindow([](DocumentWindow &window) { window.listEditing().openSelectedHistory(); });
    });
    m_actions->setHandler(ActionId::Minimize,
                          [this] { withMainWindow([](DocumentWindow &window) { window.showMinimized(); }); });
    m_actions->setHandler(ActionId::Zoom,
                          [this] { withMainWindow([](DocumentWindow &window) { window.toggleZoom(); }); });
    m_actions->setHandler(ActionId::BringAllToFront, [this] {
        DocumentWindow *main = m_documents->mainWindow();
        for (DocumentWindow *window : m_documents->windows()) {
            if (window != main)
                window->raise();
        }
        if (main) {
            main->raise();
            main->activateWindow();
        }
    });
    m_actions->setWindowEntriesFiller([this](QActionGroup &entries) { fillWindowEntries(entries); });
}

void VelumarkAppDelegate::fillWindowEntries(QActionGroup &entries) const
{
    const DocumentWindow *main = m_documents->mainWindow();
    for (DocumentWindow *window : m_documents->windows()) {
        auto *entry = new QAction(window->document().displayName(), &entries);
        entry->setCheckable(true);
        entry->setChecked(window == main);
        connect(entry, &QAction::triggered, window, [window] {
            if (window->isMinimized())
                window->showNormal();
            window->raise();
            window->activateWindow();
        });
    }
}

void VelumarkAppDelegate::connectHelpActions(const Addresses &addresses)
{
    const std::pair<ActionId, QUrl> pages[] = {
        {ActionId::Website, addresses.website},
        {ActionId::FrequentlyAskedQuestions, addresses.frequentlyAskedQuestions},
        {ActionId::SocialPage, addresses.socialPage}};
    for (const auto &[id, address] : pages) {
        m_actions->setAvailable(id, address.isValid() && !address.isEmpty());
        m_actions->setHandler(id, [address] { UserInteraction::instance().openAddress(address); });
    }
    m_actions->setHandler(ActionId::CheckForUpdates, [this] { checkForUpdates(); });
    m_actions->setHandler(ActionId::About, [this] { showAbout(); });
}

void VelumarkAppDelegate::forwardToView(ActionId id, void (DocumentView::*command)())
{
    m_actions->setHandler(id, [this, command] {
        withMainWindow([command](DocumentWindow &window) { (window.view()->*command)(); });
    });
}

void VelumarkAppDelegate::withMainWindow(const std::function<void(DocumentWindow &)> &command) const
{
    if (DocumentWindow *window = m_documents->mainWindow())
        command(*window);
}

void VelumarkAppDelegate::rebuildRecentMenu()
{
    QMenu *menu = m_actions->recentMenu();
    // The entries, owned by the menu, go; the shared "Clear Menu" action is the manager's.
    menu->clear();
    const QStringList paths = m_recentDocuments->paths();
    for (const QString &path : paths) {
        QAction *entry = menu->addAction(recentEntryText(path, paths));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { m_documents->openRecent(path); });
    }
    if (!paths.isEmpty())
        menu->addSeparator();
    menu->addAction(m_actions->action(ActionId::ClearRecentDocuments));
    m_actions->setAvailable(ActionId::ClearRecentDocuments, !paths.isEmpty());
}

void VelumarkAppDelegate::windowsChanged()
{
    m_actions->setDocumentsOpen(!m_documents->windows().isEmpty());
    const bool toolbarsShown = m_actions->action(ActionId::ShowToolbar)->isChecked();
    for (DocumentWindow *window : m_documents->windows())
        window->setToolbarsShown(toolbarsShown);
}

PreferencesDialog &VelumarkAppDelegate::preferencesDialog()
{
    if (!m_preferencesDialog) {
        m_preferencesDialog = std::make_unique<PreferencesDialog>(getPreferences());
    }
    return *m_preferencesDialog;
}

void VelumarkAppDelegate::handlePreferences()
{
    preferencesDialog().present();
}

void VelumarkAppDelegate::checkForUpdates()
{
    if (!m_updateChecker->isConfigured()) {
        UserInteraction::instance().showAlert(
            QApplication::activeWindow(),
            {QString(), localized("Checking for updates is not configured in this build of Velumark."),
             localized(
                 "Updates come from where you installed Velumark, such as your distribution's packages."),
             Severity::Information});
        return;
    }
    m_updateChecker->check();
}

AboutDialog *VelumarkAppDelegate::showAbout()
{
    if (!m_aboutDialog) {
        m_aboutDialog = new AboutDialog(m_documents->mainWindow());
        m_aboutDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_aboutDialog->open();
    m_aboutDialog->raise();
    return m_aboutDialog;
}

} // namespace velumark::gui
