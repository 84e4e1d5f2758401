#include "CliProcess.h"
#include "support/ChildProcess.h"
#include "support/LoopbackAvahiDaemon.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using velumark::test::CliRun;
using velumark::test::runCli;

namespace {

// The reference peer run as a process, as the app runs on a device.
class Peer
{
public:
    Peer(int mode, const QString &folder, const QStringList &options = {QStringLiteral("--no-announce")},
         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        const QStringList arguments{QStringLiteral("--mode"), QString::number(mode),
                                    QStringLiteral("--folder"), folder};
        // Its first line is the port it listens on.
        if (m_process.start(QStringLiteral(VELUMARK_REFERENCE_PEER), arguments + options, environment) &&
            m_process.waitForOutput(QStringLiteral("\n"), 10000))
            m_port = m_process.transcript().section(QLatin1Char('\n'), 1, 1).toUShort();
        EXPECT_NE(m_port, 0) << m_process.transcript().toStdString();
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    bool announced() { return m_process.waitForOutput(QStringLiteral("announced as"), 15000); }
    QString transcript() { return m_process.transcript(); }

private:
    velumark::test::ChildProcess m_process;
    quint16 m_port = 0;
};

QString stats(const QString &package)
{
    const CliRun run = runCli({QStringLiteral("stats"), package});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return run.out;
}

qsizetype pictureCount(const QString &package)
{
    return QDir(package).entryList({QStringLiteral("*.jpg")}, QDir::Files).size();
}

// A demo catalogue and the file a device would serve of it, in its own folder.
struct DeviceCatalogue
{
    DeviceCatalogue()
    {
        EXPECT_EQ(runCli({QStringLiteral("demo"), package}).exitCode, 0);
        EXPECT_EQ(
            runCli({QStringLiteral("export"), package, QDir(files).filePath(QStringLiteral("velumark.vdbi"))})
                .exitCode,
            0);
    }
    QTemporaryDir folder;
    QString package = folder.filePath(QStringLiteral("Device.vdb"));
    QString files = [this] {
        QDir(folder.path()).mkdir(QStringLiteral("files"));
        return folder.filePath(QStringLiteral("files"));
    }();
};

} // namespace

TEST(DeviceCommands, PushAndPullByAddressWithTheWindowsMessages)
{
    QTemporaryDir folder;
    const QString sample = folder.filePath(QStringLiteral("Sample.vdb"));
    ASSERT_EQ(runCli({QStringLiteral("demo"), sample}).exitCode, 0);
    const QString target = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(runCli({QStringLiteral("demo"), target, QStringLiteral("--artworks"), QStringLiteral("3"),
                      QStringLiteral("--seed"), QStringLiteral("7")})
                  .exitCode,
              0);

    // What is pushed to one device, another serves back: the restore gives the same catalogue.
    Peer receiver(1, folder.path());
    const CliRun pushed = runCli({QStringLiteral("push"), sample, QStringLiteral("--url"), receiver.url(),
                                  QStringLiteral("--mode"), QStringLiteral("1")});
    ASSERT_EQ(pushed.exitCode, 0) << pushed.err.toStdString();
    EXPECT_EQ(pushed.out,
              QStringLiteral("Database transferred! Check your device for further instructions.\n"));
    Peer server(0, folder.path());
    const QStringList atServer{QStringLiteral("--url"), server.url(), QStringLiteral("--mode")};
    const CliRun pulled =
        runCli(QStringList{QStringLiteral("pull"), target} + atServer + QStringList{QStringLiteral("0")});
    ASSERT_EQ(pulled.exitCode, 0) << pulled.err.toStdString();
    EXPECT_EQ(pulled.out, QStringLiteral("Database import complete!\n"));
    EXPECT_EQ(stats(target), stats(sample));
    EXPECT_EQ(pictureCount(target), pictureCount(sample));

    const CliRun added = runCli(
        QStringList{QStringLiteral("pull"), target, QStringLiteral("--scope"), QStringLiteral("artworks")} +
        atServer + QStringList{QStringLiteral("0")});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_TRUE(stats(target).contains(QStringLiteral("Artwork:             24")))
        << stats(target).toStdString();

    // The display rules refuse with the window's message; a failure ends with the alert's text.
    const QString before = stats(target);
    const CliRun toBackup =
        runCli(QStringList{QStringLiteral("push"), target} + atServer + QStringList{QStringLiteral("0")});
    EXPECT_EQ(toBackup.exitCode, 1);
    EXPECT_TRUE(toBackup.err.contains(QStringLiteral("Backup Database is selected on your device. Select "
                                                     "either Restore Database or Import Data instead.")))
        << toBackup.err.toStdString();
    const CliRun completeFromExport =
        runCli(QStringList{QStringLiteral("pull"), target} + atServer + QStringList{QStringLiteral("2")});
    EXPECT_EQ(completeFromExport.exitCode, 1);
    EXPECT_TRUE(completeFromExport.err.contains(QStringLiteral(
        "Export Data is selected on your device. Only artworks or clients can be imported in this "
        "mode.")));
    Peer refusing(1, folder.path(),
                  {QStringLiteral("--no-announce"), QStringLiteral("--status"), QStringLiteral("404")});
    const CliRun refused = runCli({QStringLiteral("push"), target, QStringLiteral("--url"), refusing.url(),
                                   QStringLiteral("--mode"), QStringLiteral("1")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("WARNING: Error transferring database!\n\n(103 - HTTP error 404)")))
        << refused.err.toStdString();
    EXPECT_EQ(stats(target), before);

    for (const QStringList &usage :
         {QStringList{QStringLiteral("pull"), target},
          QStringList{QStringLiteral("pull"), target, QStringLiteral("Ann")} + atServer,
          QStringList{QStringLiteral("push"), target, QStringLiteral("--url"), server.url()},
          QStringList{QStringLiteral("push"), target, QStringLiteral("--url"),
                      QStringLiteral("ftp://127.0.0.1:21"), QStringLiteral("--mode"), QStringLiteral("1")},
          QStringList{QStringLiteral("push"), target} + atServer + QStringList{QStringLiteral("9")}}) {
        EXPECT_EQ(runCli(usage).exitCode, 2) << usage.join(u' ').toStdString();
    }
    for (const QString &command : {QStringLiteral("pull"), QStringLiteral("push")}) {
        const QString help = runCli({command, QStringLiteral("--help")}).out;
        EXPECT_TRUE(help.contains(QStringLiteral("[DEVICE]")) && help.contains(QStringLiteral("--url")) &&
                    help.contains(QStringLiteral("--mode")))
            << help.toStdString();
    }
    QProcessEnvironment noBus;
    noBus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
    const CliRun noDaemon =
        runCli({QStringLiteral("devices"), QStringLiteral("--wait"), QStringLiteral("1")}, noBus);
    EXPECT_EQ(noDaemon.exitCode, 1);
    EXPECT_TRUE(noDaemon.err.contains(QStringLiteral("the Avahi daemon is not reachable")))
        << noDaemon.err.toStdString();
}

TEST(DeviceCommands, CtrlCCancelsAPullAndLeavesNoTrace)
{
    DeviceCatalogue device;
    Peer slow(0, device.files,
              {QStringLiteral("--no-announce"), QStringLiteral("--chunk-delay"), QStringLiteral("500")});
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(
        runCli({QStringLiteral("demo"), target, QStringLiteral("--artworks"), QStringLiteral("2")}).exitCode,
        0);
    const QString before = stats(target);

    QProcess pull;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString cache = folder.filePath(QStringLiteral("cache"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    pull.setProcessEnvironment(environment);
    pull.start(QStringLiteral(VELUMARK_CLI), {QStringLiteral("pull"), target, QStringLiteral("--url"),
                                              slow.url(), QStringLiteral("--mode"), QStringLiteral("0")});
    ASSERT_TRUE(pull.waitForStarted());
    const auto downloading = [&] {
        QDirIterator files(cache, {QStringLiteral("temp_velumark_import.db")}, QDir::Files,
                           QDirIterator::Subdirectories);
        return files.hasNext();
    };
    for (int i = 0; i < 200 && !downloading() && pull.state() == QProcess::Running; ++i)
        QThread::msleep(50);
    ASSERT_TRUE(downloading()) << pull.readAllStandardError().toStdString();
    ::kill(pid_t(pull.processId()), SIGINT);
    ASSERT_TRUE(pull.waitForFinished(30000));
    EXPECT_EQ(pull.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(pull.exitCode(), 1);
    EXPECT_TRUE(pull.readAllStandardError().contains("Cancelled."));
    EXPECT_FALSE(
        QDirIterator(cache, {QStringLiteral("operation-*")}, QDir::Dirs, QDirIterator::Subdirectories)
            .hasNext());
    EXPECT_EQ(stats(target), before);
}

TEST(DeviceCommands, FindsDevicesByNameThroughDiscovery)
{
    velumark::test::LoopbackAvahiDaemon daemon;
    const auto started = daemon.start();
    if (started.outcome == velumark::test::LoopbackAvahiDaemon::Outcome::Skipped)
        GTEST_SKIP() << started.message.toStdString();
    ASSERT_EQ(started.outcome, velumark::test::LoopbackAvahiDaemon::Outcome::Running)
        << started.message.toStdString();
    QProcessEnvironment bus = QProcessEnvironment::systemEnvironment();
    bus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), velumark::test::LoopbackAvahiDaemon::busAddress());

    DeviceCatalogue device;
    QTemporaryDir inbox;
    Peer ann(0, device.files, {QStringLiteral("--service-name"), QStringLiteral("Ann's iPad")}, bus);
    Peer bob(3, inbox.path(),
             {QStringLiteral("--service-name"), QStringLiteral("Bob's iPhone"), QStringLiteral("--name"),
              QStringLiteral("Velumark Lite"), QStringLiteral("--app-version"), QStringLiteral("2.0")},
             bus);
    ASSERT_TRUE(ann.announced()) << ann.transcript().toStdString();
    ASSERT_TRUE(bob.announced()) << bob.transcript().toStdString();

    const CliRun listed = runCli({QStringLiteral("devices")}, bus);
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Ann's iPad\tVelumark\t1.3\tBackup Database\n")))
        << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Bob's iPhone\tVelumark Lite\t2.0\tImport Data\n")));

    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(runCli({QStringLiteral("new"), target}).exitCode, 0);
    const CliRun pulled = runCli({QStringLiteral("pull"), target, QStringLiteral("Ann's iPad")}, bus);
    ASSERT_EQ(pulled.exitCode, 0) << pulled.err.toStdString();
    EXPECT_EQ(stats(target), stats(device.package));
    const CliRun pushed = runCli({QStringLiteral("push"), target, QStringLiteral("Bob's iPhone")}, bus);
    ASSERT_EQ(pushed.exitCode, 0) << pushed.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(inbox.filePath(QStringLiteral("velumark.vdbi"))));

    const CliRun missing = runCli({QStringLiteral("push"), target, QStringLiteral("Nobody"),
                                   QStringLiteral("--wait"), QStringLiteral("1")},
                                  bus);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("No device named \"Nobody\" was found.")));
}
