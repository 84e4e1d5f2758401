#include "CliProcess.h"
#include "ShellJourney.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/DeviceWindow.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/window/DocumentWindow.h"
#include "support/LoopbackAvahiDaemon.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QTest>

namespace velumark::test {
namespace {

using gui::ActionId;
using gui::DeviceWindow;

class DeviceJourney : public ShellJourney
{
protected:
    // An announced reference peer in the mode, serving or storing into the folder.
    static std::unique_ptr<Peer> peer(const QString &name, int mode, const QString &folder,
                                      const QStringList &options = {})
    {
        QProcessEnvironment bus = QProcessEnvironment::systemEnvironment();
        bus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), LoopbackAvahiDaemon::busAddress());
        auto process = std::make_unique<Peer>(
            mode, folder, QStringList{QStringLiteral("--service-name"), name} + options, bus);
        EXPECT_TRUE(process->announced()) << process->transcript().toStdString();
        return process;
    }

    // Opens the window, picks the device named so once discovery found it, and presses the button.
    QPointer<gui::ProgressWindow> transferWith(ActionId id, const QString &device)
    {
        trigger(id);
        auto *window = onlyWindow()->findChild<DeviceWindow *>();
        if (!window)
            return nullptr;
        QListWidget *table = window->deviceTable();
        auto row = [&] {
            for (int i = 0; i < table->count(); ++i) {
                if (table->item(i)->text().startsWith(device + QStringLiteral(" (Velumark v")))
                    return i;
            }
            return -1;
        };
        if (!QTest::qWaitFor([&] { return row() >= 0; }, 20000)) {
            ADD_FAILURE() << "device not found: " << window->messageShown().toStdString();
            return nullptr;
        }
        table->setCurrentRow(row());
        m_message = window->messageShown();
        window->actionButtonPressed();
        return onlyWindow()->findChild<gui::ProgressWindow *>();
    }

    QString m_message;
};

TEST_F(DeviceJourney, PullAndPushThroughTheDeviceWindowsAndAFailedUploadIsToldASecondLater)
{
    LoopbackAvahiDaemon::useOnlyPrivateBus();
    LoopbackAvahiDaemon daemon;
    const auto started = daemon.start();
    if (started.outcome == LoopbackAvahiDaemon::Outcome::Skipped)
        GTEST_SKIP() << started.message.toStdString();
    ASSERT_EQ(started.outcome, LoopbackAvahiDaemon::Outcome::Running) << started.message.toStdString();

    const QString device = path(QStringLiteral("Device.vdb"));
    cliOutput({QStringLiteral("demo"), device});
    const QString served = path(QStringLiteral("served"));
    const QString inbox = path(QStringLiteral("inbox"));
    ASSERT_TRUE(QDir().mkpath(served) && QDir().mkpath(inbox));
    cliOutput({QStringLiteral("export"), device, QDir(served).filePath(QStringLiteral("velumark.vdbi"))});
    const auto ann = peer(QStringLiteral("Ann's iPad"), 0, served);
    const auto bob = peer(QStringLiteral("Bob's iPhone"), 3, inbox);
    const auto broken =
        peer(QStringLiteral("Broken"), 1, inbox, {QStringLiteral("--status"), QStringLiteral("404")});

    const QString target = makeCatalogue(QStringLiteral("Target"));
    ASSERT_TRUE(app().start({target}));
    QPointer<gui::ProgressWindow> progress =
        transferWith(ActionId::ImportDevice, QStringLiteral("Ann's iPad"));
    EXPECT_EQ(m_message,
              QStringLiteral("Click the Import button to restore the complete database from your device."));
    ASSERT_TRUE(progress);
    QTRY_VERIFY_WITH_TIMEOUT(progress.isNull(), 60000);
    ASSERT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    EXPECT_EQ(user.alerts[0].title, QStringLiteral("Import Complete"));

    progress = transferWith(ActionId::ExportDevice, QStringLiteral("Bob's iPhone"));
    EXPECT_EQ(m_message,
              QStringLiteral("Click the Export button to send the database to your device. The app will "
                             "ask what you want to import."));
    ASSERT_TRUE(progress);
    QTRY_VERIFY_WITH_TIMEOUT(progress.isNull(), 60000);
    ASSERT_EQ(user.alerts.size(), 2u) << user.transcript().toStdString();
    EXPECT_EQ(user.alerts[1].title, QStringLiteral("Check Device"));
    EXPECT_TRUE(QFileInfo::exists(QDir(inbox).filePath(QStringLiteral("velumark.vdbi"))));

    progress = transferWith(ActionId::ExportDevice, QStringLiteral("Broken"));
    ASSERT_TRUE(progress);
    QTRY_VERIFY_WITH_TIMEOUT(progress.isNull(), 60000);
    QElapsedTimer sinceGone;
    sinceGone.start();
    EXPECT_EQ(user.alerts.size(), 2u);
    QTRY_COMPARE_WITH_TIMEOUT(user.alerts.size(), size_t(3), 10000);
    EXPECT_GE(sinceGone.elapsed(), 900);
    EXPECT_EQ(user.alerts[2].title, QStringLiteral("WARNING"));
    EXPECT_TRUE(user.alerts[2].text.contains(QStringLiteral("404"))) << user.transcript().toStdString();

    onlyWindow()->close();
    deleteClosedWindows();
    EXPECT_EQ(cliOutput({QStringLiteral("stats"), target}), cliOutput({QStringLiteral("stats"), device}));
}

TEST_F(DeviceJourney, WithoutADiscoveryServiceTheWindowSaysSo)
{
    LoopbackAvahiDaemon::useOnlyPrivateBus();
    LoopbackAvahiDaemon daemon;
    const auto started = daemon.startBusOnly();
    if (started.outcome == LoopbackAvahiDaemon::Outcome::Skipped)
        GTEST_SKIP() << started.message.toStdString();
    ASSERT_EQ(started.outcome, LoopbackAvahiDaemon::Outcome::Running) << started.message.toStdString();
    ASSERT_TRUE(app().start({makeCatalogue(QStringLiteral("Studio"))}));
    trigger(ActionId::ImportDevice);
    auto *window = onlyWindow()->findChild<DeviceWindow *>();
    ASSERT_TRUE(window);
    QTRY_VERIFY_WITH_TIMEOUT(window->messageShown().contains(QStringLiteral("avahi"), Qt::CaseInsensitive),
                             20000);
    window->reject();
}

} // namespace
} // namespace velumark::test
