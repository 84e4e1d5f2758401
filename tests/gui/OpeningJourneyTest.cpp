#include "DragAndDrop.h"
#include "ShellJourney.h"
#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/RecentDocuments.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/ImportExportBrowser.h"
#include "gui/window/DocumentWindow.h"
#include "store/StandardFolders.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>

namespace velumark::test {
namespace {

using gui::ActionId;

// Every file of a folder with a digest of its bytes.
QStringList contentsOf(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile in(file);
        QByteArray digest;
        if (in.open(QIODevice::ReadOnly))
            digest = QCryptographicHash::hash(in.readAll(), QCryptographicHash::Sha1).toHex();
        entries.append(QDir(folder).relativeFilePath(file) + QLatin1Char(' ') + QString::fromLatin1(digest));
    }
    entries.sort();
    return entries;
}

TEST_F(ShellJourney, FirstStartMakesAnUntitledCatalogueThatIsGoneWhenNotSaved)
{
    ASSERT_TRUE(app().start({}));
    gui::DocumentWindow *window = onlyWindow();
    ASSERT_TRUE(window);
    const QString package =
        QDir(StandardFolders::applicationDataFolder()).filePath(QStringLiteral("Untitled.vdb"));
    EXPECT_EQ(window->document().packagePath(), package);
    EXPECT_TRUE(QFileInfo(package + QStringLiteral("/velumark.db")).isFile());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled — Velumark"));
    EXPECT_TRUE(app().actions().importMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(app().recentDocuments().paths().isEmpty());

    user.answers = {QStringLiteral("Don't Save")};
    EXPECT_TRUE(window->close());
    ASSERT_EQ(user.questions.size(), 1u);
    EXPECT_TRUE(user.questions[0].text.contains(QStringLiteral("“Untitled”")));
    deleteClosedWindows();
    EXPECT_FALSE(QFileInfo::exists(package));
    EXPECT_FALSE(app().actions().importMenu()->menuAction()->isEnabled());
}

TEST_F(ShellJourney, StartReopensTheMostRecentCatalogueAndAMissingOneIsDroppedWithAMessage)
{
    const QString gone = path(QStringLiteral("Gone.vdb"));
    const QString older = makeCatalogue(QStringLiteral("Older"));
    const QString studio =
        makeCatalogue(QStringLiteral("Studio"), {QStringLiteral("Dawn"), QStringLiteral("Dusk")});
    for (const QString &recent : {gone, older, studio})
        app().recentDocuments().add(recent);

    ASSERT_TRUE(app().start({}));
    gui::DocumentWindow *window = onlyWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Studio — Velumark"));
    EXPECT_EQ(window->document().database().artworks().size(), 2u);
    window->activateWindow();
    QTRY_COMPARE(DocumentRegistry::shared().getMainDocument(), &window->document().database());
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();

    QAction *entry = nullptr;
    for (QAction *action : app().actions().recentMenu()->actions()) {
        if (action->text() == QStringLiteral("Gone"))
            entry = action;
    }
    ASSERT_TRUE(entry);
    entry->trigger();
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_TRUE(user.alerts[0].text.contains(QStringLiteral("can no longer be found")));
    EXPECT_EQ(app().recentDocuments().paths().size(), 2);
    EXPECT_FALSE(app().recentDocuments().paths().contains(gone));
    EXPECT_EQ(windowCount(), 1);

    trigger(ActionId::ClearRecentDocuments);
    EXPECT_TRUE(app().recentDocuments().paths().isEmpty());
    EXPECT_FALSE(app().actions().action(ActionId::ClearRecentDocuments)->isEnabled());
}

TEST_F(ShellJourney, ADamagedCatalogueOpensWithAnAlertAndStaysAsItWas)
{
    const QString damaged = path(QStringLiteral("Damaged.vdb"));
    QDir().mkdir(damaged);
    QFile database(damaged + QStringLiteral("/velumark.db"));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.write(QByteArray("these bytes are no SQLite database\n").repeated(200));
    database.close();
    const QStringList before = contentsOf(damaged);

    // The launch that was asked to open it still ends with a window: an untitled catalogue.
    ASSERT_TRUE(app().start({damaged}));
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_EQ(user.alerts[0].text, QStringLiteral("The catalogue “%1” cannot be opened.").arg(damaged));
    EXPECT_FALSE(user.alerts[0].detail.isEmpty());
    EXPECT_EQ(contentsOf(damaged), before);
    ASSERT_TRUE(onlyWindow());
    EXPECT_TRUE(onlyWindow()->document().isUntitled());
}

TEST_F(ShellJourney, OpenTakesThePackageOrTheDatabaseInsideAndHandsInterchangeFilesOn)
{
    const QString first = makeCatalogue(QStringLiteral("First"));
    const QString second = makeCatalogue(QStringLiteral("Second"));
    ASSERT_TRUE(app().start({first}));

    user.paths = {second + QStringLiteral("/velumark.db")};
    trigger(ActionId::Open);
    ASSERT_EQ(windowCount(), 2) << user.transcript().toStdString();
    EXPECT_EQ(app().documents().windows().last()->document().packagePath(), second);
    // An open catalogue is not opened twice.
    user.paths = {first};
    trigger(ActionId::Open);
    EXPECT_EQ(windowCount(), 2);

    // An interchange file opens its import into the active catalogue.
    const QString interchange = emptyFile(QStringLiteral("Export.vdbi"));
    user.paths = {interchange};
    trigger(ActionId::Open);
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
    auto *browser = app().documents().mainWindow()->findChild<gui::ImportExportBrowser *>();
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->chosenPath(), interchange);
    browser->reject();
    QStringList handed;
    app().documents().setInterchangeHandler([&](const QString &file) { handed.append(file); });
    app().documents().openPaths({interchange});
    EXPECT_EQ(handed, QStringList{interchange});
    EXPECT_EQ(windowCount(), 2);
}

TEST_F(ShellJourney, ACatalogueDroppedOnTheWindowOpens)
{
    const QString first = makeCatalogue(QStringLiteral("First"));
    const QString dropped = makeCatalogue(QStringLiteral("Dropped"));
    ASSERT_TRUE(app().start({first}));
    gui::DocumentWindow *window = onlyWindow();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path(QStringLiteral("notes.txt"))), QUrl::fromLocalFile(dropped)});
    EXPECT_NE(dropOnto(window, QPoint(20, 20), data), Qt::IgnoreAction);
    QTRY_COMPARE(windowCount(), 2);
    EXPECT_EQ(app().documents().windows().last()->document().packagePath(), dropped);

    QMimeData nothing;
    nothing.setUrls({QUrl::fromLocalFile(path(QStringLiteral("notes.txt")))});
    EXPECT_EQ(dropOnto(window, QPoint(20, 20), nothing), Qt::IgnoreAction);
}

} // namespace
} // namespace velumark::test

namespace velumark::test {
namespace {

// The entries a window's Window menu lists after its open windows' separator, as the user sees it.
QList<QAction *> windowMenuEntries(gui::DocumentWindow &window)
{
    for (QAction *title : window.menuBar()->actions()) {
        if (title->text() != QStringLiteral("&Window"))
            continue;
        QMenu *menu = title->menu();
        emit menu->aboutToShow();
        QList<QAction *> entries;
        for (QAction *entry : menu->actions()) {
            if (entry->actionGroup())
                entries.append(entry);
        }
        return entries;
    }
    ADD_FAILURE() << "no Window menu";
    return {};
}

QStringList textsOf(const QList<QAction *> &entries, bool checkedOnly = false)
{
    QStringList texts;
    for (const QAction *entry : entries) {
        if (!checkedOnly || entry->isChecked())
            texts.append(entry->text());
    }
    return texts;
}

TEST_F(ShellJourney, TheWindowMenuListsTheOpenCataloguesAndBringsOneForward)
{
    const QString first = makeCatalogue(QStringLiteral("First"));
    const QString second = makeCatalogue(QStringLiteral("Second"));
    ASSERT_TRUE(app().start({first, second}));
    ASSERT_EQ(windowCount(), 2);
    gui::DocumentWindow *firstWindow = app().documents().windows().first();
    gui::DocumentWindow *secondWindow = app().documents().windows().last();
    app().documents().mainWindow()->activateWindow();

    const QList<QAction *> entries = windowMenuEntries(*firstWindow);
    EXPECT_EQ(textsOf(entries), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
    EXPECT_EQ(textsOf(entries, true), QStringList{app().documents().mainWindow()->document().displayName()});
    // Both windows show the same entries, made again each time a menu opens.
    EXPECT_EQ(textsOf(windowMenuEntries(*secondWindow)), textsOf(windowMenuEntries(*firstWindow)));

    for (QAction *entry : windowMenuEntries(*secondWindow)) {
        if (entry->text() == QStringLiteral("First"))
            entry->trigger();
    }
    QTRY_COMPARE(app().documents().mainWindow(), firstWindow);
    EXPECT_EQ(textsOf(windowMenuEntries(*secondWindow), true), QStringList{QStringLiteral("First")});

    secondWindow->close();
    deleteClosedWindows();
    EXPECT_EQ(textsOf(windowMenuEntries(*firstWindow)), QStringList{QStringLiteral("First")});
}

} // namespace
} // namespace velumark::test
