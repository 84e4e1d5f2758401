#pragma once

#include "ScriptedInteraction.h"
#include "gui/shell/VelumarkAppDelegate.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace velumark::gui {
class DocumentWindow;
enum class ActionId;
} // namespace velumark::gui

namespace velumark::test {

// A journey through the application: a fresh application object over empty settings, a scripted
// user, and catalogues made with the core in a temporary folder. Every window is closed at the
// end and the registry of open documents must then be empty.
class ShellJourney : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    gui::VelumarkAppDelegate &app() { return *m_app; }
    QString path(const QString &name) const { return m_folder.filePath(name); }
    // A closed catalogue "<name>.vdb" holding artworks of these titles (artists "<title> Artist").
    QString makeCatalogue(const QString &name, const QStringList &titles = {});
    // An empty file of that name in the folder.
    QString emptyFile(const QString &name) const;
    // The artwork titles the core reads from a closed catalogue, in its order.
    static QStringList artworkTitles(const QString &packagePath);
    // The single window; fails the test when there is not exactly one.
    gui::DocumentWindow *onlyWindow();
    int windowCount();
    void trigger(gui::ActionId id);
    // Windows closed a moment ago are deleted (and their catalogues released).
    static void deleteClosedWindows();

    ScriptedInteraction user;

private:
    QTemporaryDir m_folder;
    std::unique_ptr<gui::VelumarkAppDelegate> m_app;
};

} // namespace velumark::test
