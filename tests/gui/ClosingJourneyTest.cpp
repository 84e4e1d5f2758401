#include "ShellJourney.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/RecentDocuments.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace velumark::test {
namespace {

using gui::ActionId;

// Makes every later write of an artwork fail inside the catalogue's database, as a full or
// failing disk would, until lifted.
class RefusedWrites
{
public:
    explicit RefusedWrites(const QString &packagePath)
        : m_connection(SqliteConnection::open(packagePath + QStringLiteral("/velumark.db"),
                                              SqliteConnection::Mode::ReadWrite, nullptr))
    {
        EXPECT_TRUE(m_connection &&
                    m_connection->exec("CREATE TRIGGER refuse BEFORE UPDATE ON artwork "
                                       "BEGIN SELECT RAISE(ABORT, 'the disk refused the write'); END;"));
    }
    void lift() { EXPECT_TRUE(m_connection->exec("DROP TRIGGER refuse;")); }

private:
    std::unique_ptr<SqliteConnection> m_connection;
};

void retitleFirstArtwork(gui::DocumentWindow &window, const QString &title)
{
    // Changed in memory only: the close or quit must write it.
    window.document().database().artworks().front()->setTitle(title);
}

TEST_F(ShellJourney, ImportFromIsEnabledWhileAnyCatalogueIsOpen)
{
    const QString first = makeCatalogue(QStringLiteral("First"));
    const QString second = makeCatalogue(QStringLiteral("Second"));
    ASSERT_TRUE(app().start({first, second}));
    ASSERT_EQ(windowCount(), 2);
    QAction *importFrom = app().actions().importMenu()->menuAction();
    EXPECT_TRUE(importFrom->isEnabled());
    EXPECT_TRUE(app().actions().exportMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(app().actions().action(ActionId::ImportVdbi)->isEnabled());

    EXPECT_TRUE(app().documents().windows().first()->close());
    EXPECT_TRUE(importFrom->isEnabled());
    EXPECT_TRUE(app().documents().windows().first()->close());
    EXPECT_FALSE(importFrom->isEnabled());
    EXPECT_FALSE(app().actions().action(ActionId::Save)->isEnabled());
}

TEST_F(ShellJourney, ACatalogueThatCannotBeSavedKeepsItsWindowOnClose)
{
    const QString studio = makeCatalogue(QStringLiteral("Studio"), {QStringLiteral("Dawn")});
    ASSERT_TRUE(app().start({studio}));
    gui::DocumentWindow *window = onlyWindow();
    retitleFirstArtwork(*window, QStringLiteral("Dawn, second state"));
    RefusedWrites refused(studio);

    EXPECT_FALSE(window->close());
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_EQ(user.alerts[0].text, QStringLiteral("The catalogue “Studio” cannot be saved."));
    EXPECT_TRUE(user.alerts[0].detail.contains(QStringLiteral("the disk refused the write")));
    EXPECT_EQ(windowCount(), 1);
    EXPECT_TRUE(window->document().database().isOpen());

    refused.lift();
    EXPECT_TRUE(window->close());
    deleteClosedWindows();
    EXPECT_EQ(artworkTitles(studio), QStringList{QStringLiteral("Dawn, second state")});
}

TEST_F(ShellJourney, QuitSavesEveryCatalogueAndAsksWhenOneCannotBeSaved)
{
    const QString first = makeCatalogue(QStringLiteral("First"), {QStringLiteral("One")});
    const QString second = makeCatalogue(QStringLiteral("Second"), {QStringLiteral("Two")});
    ASSERT_TRUE(app().start({first, second}));
    retitleFirstArtwork(*app().documents().windows()[0], QStringLiteral("One, revised"));
    retitleFirstArtwork(*app().documents().windows()[1], QStringLiteral("Two, revised"));

    {
        RefusedWrites refused(second);
        user.answers = {QStringLiteral("Cancel")};
        EXPECT_FALSE(app().quit());
        ASSERT_EQ(user.questions.size(), 1u);
        EXPECT_EQ(user.questions[0].text, QStringLiteral("The catalogue “Second” cannot be saved."));
        ASSERT_EQ(windowCount(), 1);
        refused.lift();
    }
    EXPECT_TRUE(app().quit());
    EXPECT_EQ(windowCount(), 0);
    deleteClosedWindows();

    EXPECT_EQ(artworkTitles(second), QStringList{QStringLiteral("Two, revised")});
    EXPECT_EQ(artworkTitles(first), QStringList{QStringLiteral("One, revised")});
}

TEST_F(ShellJourney, SaveAsMovesTheWindowAndItsFrameToTheNewPackage)
{
    const QString studio = makeCatalogue(QStringLiteral("Studio"), {QStringLiteral("Dawn")});
    ASSERT_TRUE(app().start({studio}));
    gui::DocumentWindow *window = onlyWindow();
    window->resize(640, 480);

    user.paths = {path(QStringLiteral("Archive"))};
    trigger(ActionId::SaveAs);
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
    const QString archive = path(QStringLiteral("Archive.vdb"));
    EXPECT_EQ(window->document().packagePath(), archive);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Archive — Velumark"));
    EXPECT_EQ(app().recentDocuments().paths().value(0), QFileInfo(archive).canonicalFilePath());
    EXPECT_TRUE(window->settingsGroup().contains(QStringLiteral("Archive.vdb")));
    const QByteArray frame =
        QSettings().value(window->settingsGroup() + QStringLiteral("/geometry")).toByteArray();
    EXPECT_FALSE(frame.isEmpty());

    EXPECT_TRUE(window->close());
    deleteClosedWindows();
    EXPECT_EQ(artworkTitles(studio), QStringList{QStringLiteral("Dawn")});
    EXPECT_EQ(artworkTitles(archive), QStringList{QStringLiteral("Dawn")});
}

TEST_F(ShellJourney, SavingAnUntitledCatalogueAsksWhereAndLeavesNothingBehind)
{
    ASSERT_TRUE(app().start({}));
    gui::DocumentWindow *window = onlyWindow();
    const QString untitled = window->document().packagePath();

    // Closing asks; saving asks where; cancelling there keeps the window.
    user.answers = {QStringLiteral("Save")};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(windowCount(), 1);

    user.answers = {QStringLiteral("Save")};
    user.paths = {path(QStringLiteral("Named"))};
    EXPECT_TRUE(window->close());
    deleteClosedWindows();
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("Named.vdb/velumark.db"))).isFile());
    EXPECT_FALSE(QFileInfo::exists(untitled));
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
}

} // namespace
} // namespace velumark::test
