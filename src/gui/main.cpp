// velumark: the desktop application.
#include "gui/shell/AboutDialog.h"
#include "gui/shell/CrashHandler.h"
#include "gui/shell/Icons.h"
#include "gui/shell/PreferencesDialog.h"
#include "gui/shell/ScreenshotTaker.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"
#include "store/Localization.h"
#include "store/StandardFolders.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <cstdio>
#include <memory>

namespace {

using namespace velumark;
using namespace velumark::gui;

// The windows "--screenshot NAME=FILE" can take pictures of.
void addScreenshotSubjects(ScreenshotTaker &taker, VelumarkAppDelegate &delegate)
{
    taker.addSubject(QStringLiteral("main"),
                     {[&delegate]() -> QWidget * { return delegate.documents().mainWindow(); }, {}});
    taker.addSubject(QStringLiteral("file-menu"),
                     {[&delegate]() -> QWidget * {
                          DocumentWindow *window = delegate.documents().mainWindow();
                          if (!window)
                              return nullptr;
                          QMenu *file = window->menuBar()->actions().value(0)->menu();
                          file->popup(window->mapToGlobal(QPoint(0, 0)));
                          return file;
                      },
                      [&delegate] {
                          if (DocumentWindow *window = delegate.documents().mainWindow())
                              window->menuBar()->actions().value(0)->menu()->hide();
                      }});
    taker.addSubject(QStringLiteral("preferences"), {[&delegate]() -> QWidget * {
                                                         delegate.handlePreferences();
                                                         return &delegate.preferencesDialog();
                                                     },
                                                     [&delegate] {
                                                         delegate.preferencesDialog().close();
                                                     }});
    auto about = std::make_shared<QPointer<AboutDialog>>();
    taker.addSubject(QStringLiteral("about"),
                     {[&delegate, about]() -> QWidget * { return *about = delegate.showAbout(); },
                      [about] {
                          if (*about)
                              (*about)->close();
                      }});
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
