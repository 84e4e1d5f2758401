#include "ShellJourney.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"
#include "support/ChildProcess.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace velumark::test {
namespace {

using gui::ActionId;

TEST_F(ShellJourney, NewRefusesCataloguesInUseAndAnythingElseAndOpenRefusesOneHeldElsewhere)
{
    const QString open = makeCatalogue(QStringLiteral("Open"), {QStringLiteral("Kept")});
    const QString held = makeCatalogue(QStringLiteral("Held"), {QStringLiteral("Theirs")});
    ASSERT_TRUE(app().start({open}));

    user.paths = {open};
    trigger(ActionId::New);
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_EQ(user.alerts[0].title, QStringLiteral("WARNING"));
    EXPECT_EQ(
        user.alerts[0].text,
        QStringLiteral("Overwriting an open database is not permitted. Please select a different filename."));
    ASSERT_EQ(user.choices.size(), 1u);
    EXPECT_EQ(user.choices[0].title, QStringLiteral("New Velumark Database"));
    EXPECT_EQ(user.choices[0].proposedName, QStringLiteral("Untitled.vdb"));

    ChildProcess holder;
    ASSERT_TRUE(holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), held},
                             QProcessEnvironment::systemEnvironment()));
    ASSERT_TRUE(holder.waitForOutput(QStringLiteral("locked"), 10000)) << holder.transcript().toStdString();
    user.paths = {held};
    trigger(ActionId::New);
    ASSERT_EQ(user.alerts.size(), 2u);
    EXPECT_TRUE(user.alerts[1].text.contains(QStringLiteral("open in another program")));
    EXPECT_TRUE(user.alerts[1].detail.contains(QStringLiteral("open in another program")));
    EXPECT_TRUE(user.questions.empty());
    // Nor is it opened here while the other program has it.
    EXPECT_FALSE(app().documents().openPath(held));
    ASSERT_EQ(user.alerts.size(), 3u);
    EXPECT_EQ(user.alerts[2].text, QStringLiteral("The catalogue “%1” cannot be opened.").arg(held));
    EXPECT_TRUE(user.alerts[2].detail.contains(QStringLiteral("open in another program")));
    holder.stop();

    const QString notCatalogue = emptyFile(QStringLiteral("Notes.vdb"));
    user.paths = {notCatalogue};
    trigger(ActionId::New);
    ASSERT_EQ(user.alerts.size(), 4u);
    EXPECT_TRUE(user.alerts[3].text.contains(QStringLiteral("is not a Velumark catalogue")));
    EXPECT_TRUE(QFileInfo(notCatalogue).isFile());

    EXPECT_EQ(windowCount(), 1);
    EXPECT_TRUE(app().documents().closeAll());
    deleteClosedWindows();
    EXPECT_EQ(artworkTitles(open), QStringList{QStringLiteral("Kept")});
    EXPECT_EQ(artworkTitles(held), QStringList{QStringLiteral("Theirs")});
}

TEST_F(ShellJourney, NewReplacesAClosedCatalogueOnlyWhenTheUserAgrees)
{
    const QString old = makeCatalogue(QStringLiteral("Old"), {QStringLiteral("Earlier work")});
    ASSERT_TRUE(app().start({}));

    user.paths = {old};
    user.answers = {QStringLiteral("Cancel")};
    trigger(ActionId::New);
    ASSERT_EQ(user.questions.size(), 1u);
    EXPECT_TRUE(user.questions[0].text.contains(QStringLiteral("“Old.vdb” already exists")));
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(artworkTitles(old), QStringList{QStringLiteral("Earlier work")});

    user.paths = {old};
    user.answers = {QStringLiteral("Replace")};
    trigger(ActionId::New);
    ASSERT_EQ(windowCount(), 2) << user.transcript().toStdString();
    EXPECT_TRUE(app().documents().windows().last()->document().database().artworks().empty());

    // A name without the extension gets it.
    user.paths = {path(QStringLiteral("Fresh"))};
    trigger(ActionId::New);
    ASSERT_EQ(windowCount(), 3) << user.transcript().toStdString();
    EXPECT_EQ(app().documents().windows().last()->windowTitle(), QStringLiteral("Fresh — Velumark"));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("Fresh.vdb/velumark.db"))).isFile());

    user.fallback = QStringLiteral("Don't Save");
    EXPECT_TRUE(app().documents().closeAll());
    deleteClosedWindows();
    EXPECT_TRUE(artworkTitles(old).isEmpty());
}

} // namespace
} // namespace velumark::test
