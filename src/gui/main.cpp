// velumark: the desktop application.
#include "document/VelumarkDatabase.h"
#include "gui/editors/SheetScreenshots.h"
#include "gui/photos/PhotoScreenshots.h"
#include "gui/shell/AboutDialog.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/CrashHandler.h"
#include "gui/shell/Icons.h"
#include "gui/shell/PreferencesDialog.h"
#include "gui/shell/ScreenshotTaker.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/TransferScreenshots.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListPane.h"
#include "store/Localization.h"
#include "store/StandardFolders.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTableView>
#include <cstdio>
#include <memory>

namespace {

using namespace velumark;
using namespace velumark::gui;

// One list of the main catalogue in a window of its own.
void addListSubject(ScreenshotTaker &taker, VelumarkAppDelegate &delegate, const QString &name,
                    VelumarkDatabase::ListKind kind)
{
    auto shown = std::make_shared<std::unique_ptr<QMainWindow>>();
    taker.addSubject(name,
                     {[&delegate, shown, kind]() -> QWidget * {
                          DocumentWindow *main = delegate.documents().mainWindow();
                          if (!main)
                              return nullptr;
                          VelumarkDatabase &database = main->document().database();
                          auto frame = std::make_unique<QMainWindow>();
                          frame->setCentralWidget(new ListPane(database, *database.listController(kind)));
                          frame->resize(1000, 680);
                          frame->show();
                          *shown = std::move(frame);
                          return shown->get();
                      },
                      [shown] {
                          shown->reset();
                      }});
}

// A menu of the main window's menu bar, opened; the first artwork is selected, so that the items
// that act on one record show as a user would mostly see them.
void addMenuSubject(ScreenshotTaker &taker, VelumarkAppDelegate &delegate, const QString &name, int position)
{
    const auto menuOf = [&delegate, position]() -> QMenu * {
        DocumentWindow *window = delegate.documents().mainWindow();
        return window ? window->menuBar()->actions().value(position)->menu() : nullptr;
    };
    taker.addSubject(name,
                     {[&delegate, menuOf]() -> QWidget * {
                          QMenu *menu = menuOf();
                          if (!menu)
                              return nullptr;
                          DocumentView *view = delegate.documents().mainWindow()->view();
                          view->displayList(VelumarkDatabase::ListKind::Artworks);
                          view->listPane(VelumarkDatabase::ListKind::Artworks)->tableView()->selectRow(0);
                          menu->popup(view->window()->mapToGlobal(QPoint(0, 0)));
                          return menu;
                      },
                      [menuOf] {
                          if (QMenu *menu = menuOf())
                              menu->hide();
                      }});
}

// The windows "--screenshot NAME=FILE" can take pictures of.
void addScreenshotSubjects(ScreenshotTaker &taker, VelumarkAppDelegate &delegate)
{
    addSheetScreenshots(taker, delegate);
    taker.addSubject(QStringLiteral("main"),
                     {[&delegate]() -> QWidget * { return delegate.documents().mainWindow(); }, {}});
    const std::pair<const char *, VelumarkDatabase::ListKind> lists[] = {
        {"artworks", VelumarkDatabase::ListKind::Artworks},
        {"clients", VelumarkDatabase::ListKind::Clients},
        {"submissions", VelumarkDatabase::ListKind::Submissions}};
    for (const auto &[name, list] : lists) {
        taker.addSubject(QLatin1String(name), {[&delegate, list]() -> QWidget * {
                                                   DocumentWindow *window = delegate.documents().mainWindow();
                                                   if (window)
                                                       window->view()->displayList(list);
                                                   return window;
                                               },
                                               {}});
    }
    taker.addSubject(QStringLiteral("statistics"),
                     {[&delegate]() -> QWidget * {
                          DocumentWindow *window = delegate.documents().mainWindow();
                          if (!window)
                              return nullptr;
                          window->view()->presentStatistics();
                          return window->view()->statistics();
                      },
                      [&delegate] {
                          if (DocumentWindow *window = delegate.documents().mainWindow())
                              window->view()->statistics()->close();
                      }});
    addMenuSubject(taker, delegate, QStringLiteral("file-menu"), 0);
    addMenuSubject(taker, delegate, QStringLiteral("view-menu"), 2);
    taker.addSubject(QStringLiteral("preferences"), {[&delegate]() -> QWidget * {
                                                         delegate.handlePreferences();
                                                         return &delegate.preferencesDialog();
                                                     },
                                                     [&delegate] {
                                                         delegate.preferencesDialog().close();
                                                     }});
    addListSubject(taker, delegate, QStringLiteral("artwork-list"), VelumarkDatabase::ListKind::Artworks);
    addListSubject(taker, delegate, QStringLiteral("client-list"), VelumarkDatabase::ListKind::Clients);
    addListSubject(taker, delegate, QStringLiteral("submission-list"),
                   VelumarkDatabase::ListKind::Submissions);
    auto about = std::make_shared<QPointer<AboutDialog>>();
    taker.addSubject(QStringLiteral("about"),
                     {[&delegate, about]() -> QWidget * { return *about = delegate.showAbout(); },
                      [about] {
                          if (*about)
                              (*about)->close();
                      }});
    addPhotoScreenshots(taker, delegate);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELUMARK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("velumark"));
    QApplication::setWindowIcon(Icons::application());
    CrashHandler::install(QDir(StandardFolders::cacheFolder()).filePath(QStringLiteral("crashes")));

    QCommandLineParser parser;
    parser.setApplicationDescription(localized("Velumark, the catalogue for working artists."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("catalogues"), localized("Catalogues (.vdb) to open."),
                                 QStringLiteral("[catalogue...]"));
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("name=file"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption darkPalette(QStringLiteral("dark-palette"));
    darkPalette.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({screenshot, darkPalette});
    parser.process(app);
    if (parser.isSet(darkPalette))
        ScreenshotTaker::useDarkPalette();

    VelumarkAppDelegate delegate;
    ScreenshotTaker screenshots;
    addScreenshotSubjects(screenshots, delegate);
    addTransferScreenshotSubjects(screenshots, delegate);
    for (const QString &request : parser.values(screenshot)) {
        if (const Result<> added = screenshots.addRequest(request); !added) {
            std::fprintf(stderr, "velumark: %s\n", qPrintable(added.message()));
            return 2;
        }
    }
    if (!delegate.start(parser.positionalArguments()))
        return 1;
    int status = 0;
    if (screenshots.hasRequests()) {
        QObject::connect(&screenshots, &ScreenshotTaker::done, &delegate, [&](bool allTaken) {
            status = allTaken ? 0 : 1;
            delegate.quit();
        });
        screenshots.start();
    }
    const int loopStatus = app.exec();
    return status != 0 ? status : loopStatus;
}
