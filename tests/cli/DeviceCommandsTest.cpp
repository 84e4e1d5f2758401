#include "CliProcess.h"
#include "support/LoopbackAvahiDaemon.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using velumark::test::cliOutput;
using velumark::test::CliRun;
using velumark::test::LoopbackAvahiDaemon;
using velumark::test::Peer;
using velumark::test::runCli;
using velumark::test::strings;

namespace {

QString stats(const QString &package)
{
    return cliOutput({QStringLiteral("stats"), package});
}

// A demo catalogue and the file a device would serve of it, in its own folder.
struct DeviceCatalogue
{
    DeviceCatalogue()
    {
        EXPECT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("files")));
        EXPECT_EQ(runCli({u"demo", package}).exitCode, 0);
        EXPECT_EQ(
            runCli({u"export", package, QDir(files).filePath(QStringLiteral("velumark.vdbi"))}).exitCode, 0);
    }
    QTemporaryDir folder;
    QString package = folder.filePath(QStringLiteral("Device.vdb"));
    QString files = folder.filePath(QStringLiteral("files"));
};

} // namespace

TEST(DeviceCommands, PushAndPullByAddressWithTheWindowsMessages)
{
    QTemporaryDir folder;
    const QString sample = folder.filePath(QStringLiteral("Sample.vdb"));
    const QString target = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(runCli({u"demo", sample}).exitCode, 0);
    ASSERT_EQ(runCli({u"demo", target, u"--artworks", u"3", u"--seed", u"7"}).exitCode, 0);

    // What is pushed to one device, another serves back: the restore gives the same catalogue.
    Peer receiver(1, folder.path());
    const CliRun pushed = runCli({u"push", sample, u"--url", receiver.url(), u"--mode", u"1"});
    ASSERT_EQ(pushed.exitCode, 0) << pushed.err.toStdString();
    EXPECT_EQ(pushed.out,
              QStringLiteral("Database transferred! Check your device for further instructions.\n"));
    Peer server(0, folder.path());
    const CliRun pulled = runCli({u"pull", target, u"--url", server.url(), u"--mode", u"0"});
    ASSERT_EQ(pulled.exitCode, 0) << pulled.err.toStdString();
    EXPECT_EQ(pulled.out, QStringLiteral("Database import complete!\n"));
    EXPECT_EQ(stats(target), stats(sample));
    const auto pictures = [](const QString &package) {
        return QDir(package).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    };
    EXPECT_EQ(pictures(target).size(), pictures(sample).size());

    const CliRun added =
        runCli({u"pull", target, u"--scope", u"artworks", u"--url", server.url(), u"--mode", u"0"});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_TRUE(stats(target).contains(QStringLiteral("Artwork:             24")))
        << stats(target).toStdString();

    // A display rule refuses with the window's message (the rules are the core's); a failure ends with the
    // alert's text.
    const QString before = stats(target);
    Peer refusing(1, folder.path(), strings({u"--no-announce", u"--status", u"404"}));
    for (const auto &[arguments, message] : {
             std::pair{strings({u"push", target, u"--url", server.url(), u"--mode", u"0"}),
                       "Backup Database is selected on your device. Select either Restore Database or Import "
                       "Data instead."},
             std::pair{strings({u"push", target, u"--url", refusing.url(), u"--mode", u"1"}),
                       "WARNING: Error transferring database!\n\n(103 - HTTP error 404)"},
         }) {
        const CliRun refused = runCli(arguments);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains(QLatin1String(message))) << refused.err.toStdString();
    }
    EXPECT_EQ(stats(target), before);

    for (const QStringList &usage :
         {strings({u"pull", target}),
          strings({u"pull", target, u"Ann", u"--url", server.url(), u"--mode", u"0"}),
          strings({u"push", target, u"--url", server.url()}),
          strings({u"push", target, u"--url", u"ftp://127.0.0.1:21", u"--mode", u"1"}),
          strings({u"push", target, u"--url", server.url(), u"--mode", u"9"})}) {
        EXPECT_EQ(runCli(usage).exitCode, 2) << usage.join(u' ').toStdString();
    }
    QProcessEnvironment noBus;
    noBus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
    const CliRun noDaemon = runCli({u"devices", u"--wait", u"1"}, noBus);
    EXPECT_EQ(noDaemon.exitCode, 1);
    EXPECT_TRUE(noDaemon.err.contains(QStringLiteral("the Avahi daemon is not reachable")))
        << noDaemon.err.toStdString();
}

TEST(DeviceCommands, CtrlCCancelsAPullAndLeavesNoTrace)
{
    DeviceCatalogue device;
    Peer slow(0, device.files, strings({u"--no-announce", u"--chunk-delay", u"500"}));
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(runCli({u"demo", target, u"--artworks", u"2"}).exitCode, 0);
    const QString before = stats(target);

    QProcess pull;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString cache = folder.filePath(QStringLiteral("cache"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    pull.setProcessEnvironment(environment);
    pull.start(QStringLiteral(VELUMARK_CLI),
               strings({u"pull", target, u"--url", slow.url(), u"--mode", u"0"}));
    ASSERT_TRUE(pull.waitForStarted());
    const auto inCache = [&](const QString &name, QDir::Filters filter) {
        return QDirIterator(cache, {name}, filter, QDirIterator::Subdirectories).hasNext();
    };
    const QString downloaded = QStringLiteral("temp_velumark_import.db");
    for (int i = 0; i < 200 && !inCache(downloaded, QDir::Files) && pull.state() == QProcess::Running; ++i)
        QThread::msleep(50);
    ASSERT_TRUE(inCache(downloaded, QDir::Files)) << pull.readAllStandardError().toStdString();
    ::kill(pid_t(pull.processId()), SIGINT);
    ASSERT_TRUE(pull.waitForFinished(30000));
    EXPECT_EQ(pull.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(pull.exitCode(), 1);
    EXPECT_TRUE(pull.readAllStandardError().contains("Cancelled."));
    EXPECT_FALSE(inCache(QStringLiteral("operation-*"), QDir::Dirs));
    EXPECT_EQ(stats(target), before);
}

TEST(DeviceCommands, FindsDevicesByNameThroughDiscovery)
{
    LoopbackAvahiDaemon daemon;
    const auto started = daemon.start();
    if (started.outcome == LoopbackAvahiDaemon::Outcome::Skipped)
        GTEST_SKIP() << started.message.toStdString();
    ASSERT_EQ(started.outcome, LoopbackAvahiDaemon::Outcome::Running) << started.message.toStdString();
    QProcessEnvironment bus = QProcessEnvironment::systemEnvironment();
    bus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), LoopbackAvahiDaemon::busAddress());

    DeviceCatalogue device;
    QTemporaryDir inbox;
    Peer ann(0, device.files, strings({u"--service-name", u"Ann's iPad"}), bus);
    Peer bob(
        3, inbox.path(),
        strings({u"--service-name", u"Bob's iPhone", u"--name", u"Velumark Lite", u"--app-version", u"2.0"}),
        bus);
    ASSERT_TRUE(ann.announced()) << ann.transcript().toStdString();
    ASSERT_TRUE(bob.announced()) << bob.transcript().toStdString();

    const CliRun listed = runCli({u"devices"}, bus);
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Ann's iPad\tVelumark\t1.3\tBackup Database\n")))
        << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Bob's iPhone\tVelumark Lite\t2.0\tImport Data\n")));

    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(runCli({u"new", target}).exitCode, 0);
    const CliRun pulled = runCli({u"pull", target, u"Ann's iPad"}, bus);
    ASSERT_EQ(pulled.exitCode, 0) << pulled.err.toStdString();
    EXPECT_EQ(stats(target), stats(device.package));
    const CliRun pushed = runCli({u"push", target, u"Bob's iPhone"}, bus);
    ASSERT_EQ(pushed.exitCode, 0) << pushed.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(inbox.filePath(QStringLiteral("velumark.vdbi"))));

    const CliRun missing = runCli({u"push", target, u"Nobody", u"--wait", u"1"}, bus);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("No device named \"Nobody\" was found.")));
}
