#include "ShellJourney.h"

#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"
#include "store/StandardFolders.h"
#include "support/Succeeded.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace velumark::test {

void ShellJourney::SetUp()
{
    QSettings settings;
    settings.clear();
    settings.sync();
    QDir(StandardFolders::applicationDataFolder()).removeRecursively();
    m_app = std::make_unique<gui::VelumarkAppDelegate>(gui::VelumarkAppDelegate::Addresses{});
}

void ShellJourney::TearDown()
{
    // Whatever a journey left open goes without keeping anyone: untitled catalogues are not
    // saved, failures do not hold the quit.
    user.fallback = QStringLiteral("Don't Save");
    user.answers.clear();
    if (!app().documents().closeAll()) {
        user.fallback = QStringLiteral("Quit Anyway");
        app().documents().closeAll();
    }
    m_app.reset();
    deleteClosedWindows();
    EXPECT_TRUE(DocumentRegistry::shared().dbArray().empty());
}

QString ShellJourney::makeCatalogue(const QString &name, const QStringList &titles)
{
    const QString package = path(name + QStringLiteral(".vdb"));
    VelumarkDatabase document;
    EXPECT_TRUE(succeeded(document.readFromURL(package)));
    for (const QString &title : titles) {
        auto artwork = std::make_unique<Artwork>();
        artwork->setTitle(title);
        artwork->setArtist(title + QStringLiteral(" Artist"));
        document.addArtwork(std::move(artwork));
    }
    EXPECT_TRUE(succeeded(document.close()));
    return package;
}

QString ShellJourney::emptyFile(const QString &name) const
{
    const QString file = path(name);
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    return file;
}

QStringList ShellJourney::artworkTitles(const QString &packagePath)
{
    VelumarkDatabase document;
    EXPECT_TRUE(succeeded(document.readFromURL(packagePath)));
    QStringList titles;
    for (const auto &artwork : document.artworks())
        titles.append(artwork->title());
    EXPECT_TRUE(succeeded(document.close()));
    return titles;
}

gui::DocumentWindow *ShellJourney::onlyWindow()
{
    const auto &windows = app().documents().windows();
    EXPECT_EQ(windows.size(), 1) << user.transcript().toStdString();
    return windows.isEmpty() ? nullptr : windows.first();
}

int ShellJourney::windowCount()
{
    return int(app().documents().windows().size());
}

void ShellJourney::trigger(gui::ActionId id)
{
    QAction *action = app().actions().action(id);
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
}

void ShellJourney::deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace velumark::test
