// The main() of the window journeys: a QApplication on the offscreen platform, and two helper
// modes the tests start as child processes ("another program" holding a catalogue, and a process
// that crashes).
#include "document/DocumentPackage.h"
#include "gui/shell/CrashHandler.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QLockFile>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>
#include <string>

namespace {

// Holds the catalogue's lock until its standard input closes or it is stopped.
int holdLock(const char *packagePath)
{
    const auto lock = velumark::DocumentPackage::lock(QString::fromLocal8Bit(packagePath));
    if (!lock) {
        std::fprintf(stderr, "%s\n", qPrintable(lock.message()));
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

// Installs the crash handler, then dies of the named signal the way real faults do.
int crash(const char *signalName, const char *reportFolder)
{
    QCoreApplication::setApplicationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.3"));
    if (!velumark::gui::CrashHandler::install(QString::fromLocal8Bit(reportFolder)))
        return 1;
    if (std::strcmp(signalName, "SIGSEGV") == 0) {
        // An address in the first page, which no process maps (not null, which the undefined
        // behaviour checks of the sanitizer build would stop before the fault).
        volatile std::uintptr_t firstPage = 64;
        auto *nowhere = reinterpret_cast<volatile int *>(firstPage);
        *nowhere = 1;
    } else if (std::strcmp(signalName, "SIGABRT") == 0) {
        std::abort();
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--hold-lock") == 0)
        return holdLock(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--crash") == 0)
        return crash(argv[2], argv[3]);

    velumark::test::configureProcess();
    // Windows never reach a screen here, also when the tests are listed outside ctest.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.3"));
    velumark::test::configureApplication();
    // The journeys close windows one after another; the event loops they wait in must not end.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
