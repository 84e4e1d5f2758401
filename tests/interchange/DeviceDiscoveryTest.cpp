#include "interchange/device/DeviceBrowserLogic.h"
#include "interchange/device/ServiceDiscovery.h"
#include "support/LoopbackAvahiDaemon.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace velumark;
using test::LoopbackAvahiDaemon;

namespace {

// No test of this suite may reach the machine's own system bus (and through it a daemon that
// browses the real network); libdbus fixes the address at the first connection of the process.
class PrivateSystemBus : public ::testing::Environment
{
public:
    void SetUp() override { LoopbackAvahiDaemon::useOnlyPrivateBus(); }
};
const ::testing::Environment *const privateSystemBus =
    ::testing::AddGlobalTestEnvironment(new PrivateSystemBus);

constexpr int kWaitMs = 15000;

class LoopbackDiscovery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const LoopbackAvahiDaemon::Result started = m_daemon.start();
        if (started.outcome == LoopbackAvahiDaemon::Outcome::Skipped)
            GTEST_SKIP() << started.message.toStdString();
        ASSERT_EQ(started.outcome, LoopbackAvahiDaemon::Outcome::Running) << started.message.toStdString();
    }

    std::unique_ptr<test::ChildProcess> publish(const QString &name, quint16 port, const QStringList &txt)
    {
        QString problem;
        auto publication = m_daemon.publish(name, port, txt, &problem);
        EXPECT_TRUE(publication) << problem.toStdString();
        return publication;
    }

    LoopbackAvahiDaemon m_daemon; // first: it outlives the discovery
    std::unique_ptr<ServiceDiscovery> m_discovery = ServiceDiscovery::create();
    DeviceBrowserLogic m_logic{*m_discovery};
};

} // namespace

TEST_F(LoopbackDiscovery, ListsVelumarkPeersByTheirAddressAndDropsLostOnes)
{
    QSignalSpy found(m_discovery.get(), &ServiceDiscovery::serviceFound);
    ASSERT_TRUE(m_logic.presentDeviceBrowser(0));
    auto stranger = publish(QStringLiteral("Gallery printer"), 8120,
                            {QStringLiteral("name=Velumark Pro"), QStringLiteral("type=0")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return found.count() == 1; }, kWaitMs));
    EXPECT_EQ(m_logic.numberOfRows(), 0) << "an unknown application is not listed";

    auto ann = publish(
        QStringLiteral("Ann's iPad"), 8123,
        {QStringLiteral("name=Velumark Lite"), QStringLiteral("type=0"), QStringLiteral("version=2.1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_logic.numberOfRows() == 1; }, kWaitMs));
    auto bob =
        publish(QStringLiteral("Bob's iPhone"), 8124,
                {QStringLiteral("name=Velumark"), QStringLiteral("type=2"), QStringLiteral("version=3.0")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_logic.numberOfRows() == 2; }, kWaitMs));
    EXPECT_EQ(found.count(), 3) << "each service is reported once";
    EXPECT_EQ(m_logic.rowText(0), QStringLiteral("Ann's iPad (Velumark Lite v2.1)"));
    // What the window does with the rows is the logic's own test; here, that the address and
    // port resolved are those published.
    m_logic.setSelectedRow(1);
    EXPECT_EQ(m_logic.downloadURL(), QStringLiteral("http://127.0.0.1:8124/velumark.vdbi"));

    ann->stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_logic.numberOfRows() == 1; }, kWaitMs));
    EXPECT_EQ(m_logic.deviceArray().at(0).deviceName(), QStringLiteral("Bob's iPhone"));
    bob->stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_logic.numberOfRows() == 0; }, kWaitMs));
}

TEST_F(LoopbackDiscovery, ReportsADaemonThatStops)
{
    m_logic.presentDeviceBrowser(1);
    auto ann = publish(QStringLiteral("Ann's iPad"), 8123,
                       {QStringLiteral("name=Velumark"), QStringLiteral("type=1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_logic.numberOfRows() == 1; }, kWaitMs));

    m_daemon.stopDaemon();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_logic.discoveryProblem().isEmpty(); }, kWaitMs));
    EXPECT_TRUE(m_logic.message().startsWith(QStringLiteral("The Avahi daemon stopped (")))
        << m_logic.message().toStdString();
    EXPECT_EQ(m_logic.numberOfRows(), 0);
    EXPECT_FALSE(m_logic.isActionEnabled());
    EXPECT_FALSE(m_discovery->isBrowsing());
}

TEST(DeviceDiscovery, ReportsAMissingDaemon)
{
    LoopbackAvahiDaemon daemon;
    const LoopbackAvahiDaemon::Result reserved = daemon.reserve();
    ASSERT_EQ(reserved.outcome, LoopbackAvahiDaemon::Outcome::Running) << reserved.message.toStdString();
    const auto discovery = ServiceDiscovery::create();
    DeviceBrowserLogic logic(*discovery);
    const QString unreachable =
        QStringLiteral("Devices cannot be found because the Avahi daemon is not reachable (");

    // No bus at all.
    logic.presentDeviceBrowser(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !logic.discoveryProblem().isEmpty(); }, kWaitMs));
    EXPECT_TRUE(logic.message().startsWith(unreachable)) << logic.message().toStdString();
    EXPECT_FALSE(logic.isActionEnabled());
    EXPECT_FALSE(discovery->isBrowsing());

    // A bus on which no daemon answers.
    const LoopbackAvahiDaemon::Result bus = daemon.startBusOnly();
    if (bus.outcome == LoopbackAvahiDaemon::Outcome::Skipped)
        GTEST_SKIP() << bus.message.toStdString();
    ASSERT_EQ(bus.outcome, LoopbackAvahiDaemon::Outcome::Running) << bus.message.toStdString();
    logic.presentDeviceBrowser(1);
    EXPECT_TRUE(logic.discoveryProblem().isEmpty()) << "browsing again starts afresh";
    EXPECT_TRUE(logic.message().startsWith(QStringLiteral("No devices found.")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !logic.discoveryProblem().isEmpty(); }, kWaitMs));
    EXPECT_EQ(logic.message(),
              unreachable + QStringLiteral("Daemon not running). Start avahi-daemon and try again."));
}
