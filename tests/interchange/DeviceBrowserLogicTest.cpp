#include "interchange/device/DeviceBrowserLogic.h"

#include "interchange/device/ServiceDiscovery.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace velumark;

namespace {

const QString kNoDevicesImport = QStringLiteral("No devices found. Load Velumark on your iPhone, iPad, or "
                                                "iPod touch, and select Backup Database or Export "
                                                "Data on the Tools screen.");
const QString kNoDevicesExport = QStringLiteral("No devices found. Load Velumark on your iPhone, iPad, or "
                                                "iPod touch, and select Restore Database or Import "
                                                "Data on the Tools screen.");
const QString kSelectDevice = QStringLiteral("Select a device from the list.");

NetService peer(const QString &name, const QByteArray &application, const QByteArray &type,
                const QByteArray &version = "2.1", quint16 port = 8123)
{
    NetService service;
    service.identity = {name, QStringLiteral("_http._tcp"), QStringLiteral("local")};
    service.address = QHostAddress(QStringLiteral("127.0.0.1"));
    service.port = port;
    service.txtRecord = {{QStringLiteral("name"), application},
                         {QStringLiteral("type"), type},
                         {QStringLiteral("version"), version}};
    return service;
}

// The logic on a discovery that never runs: the tests feed it resolved services themselves.
class DeviceBrowserLogicTest : public ::testing::Test
{
protected:
    // One device per mode 0 to 4, each in the row of its mode.
    void addOneDevicePerMode()
    {
        for (int mode = 0; mode <= 4; ++mode)
            m_logic.addResolvedService(peer(QStringLiteral("Device %1").arg(mode), "Velumark",
                                            QByteArray::number(mode), "3.0", 8000 + mode));
        ASSERT_EQ(m_logic.numberOfRows(), 5);
    }

    std::unique_ptr<ServiceDiscovery> m_discovery = ServiceDiscovery::create();
    DeviceBrowserLogic m_logic{*m_discovery};
};

} // namespace

TEST_F(DeviceBrowserLogicTest, ImportDisplayFollowsModeChoiceAndSelection)
{
    m_logic.refreshDisplay();
    EXPECT_EQ(m_logic.message(), kNoDevicesImport);
    EXPECT_FALSE(m_logic.isActionEnabled());
    addOneDevicePerMode();

    const QString click = QStringLiteral("Click the Import button to %1 from your device.");
    const QString exportData = QStringLiteral("Export Data is selected on your device. %1");
    const std::pair<QString, bool> artworks{click.arg(QStringLiteral("import the artworks")), true},
        clients{click.arg(QStringLiteral("import the clients")), true},
        restore{QStringLiteral("Restore Database is selected on your device. Select either Backup Database "
                               "or Export Data instead."),
                false},
        import{QStringLiteral("Import Data is selected on your device. Select either Backup Database or "
                              "Export Data instead."),
               false};
    // The message and the button by mode (rows) and choice (columns).
    const std::pair<QString, bool> expected[4][4] = {
        {{click.arg(QStringLiteral("restore the complete database")), true},
         {click.arg(QStringLiteral("restore only the artworks and clients in the database")), true},
         artworks,
         clients},
        {restore, restore, restore, restore},
        {{exportData.arg(QStringLiteral("Only artworks or clients can be imported in this mode.")), false},
         {exportData.arg(
              QStringLiteral("Select Backup Database instead to restore both artworks and clients.")),
          false},
         artworks,
         clients},
        {import, import, import, import},
    };
    for (int mode = 0; mode < 4; ++mode) {
        for (int choice = 0; choice < 4; ++choice) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", choice " << choice);
            m_logic.setSelectedRow(mode);
            m_logic.setImportSelection(static_cast<TransferScope>(choice));
            EXPECT_EQ(m_logic.message(), expected[mode][choice].first);
            EXPECT_EQ(m_logic.isActionEnabled(), expected[mode][choice].second);
        }
    }

    // A mode above 3 gives no message and leaves the button as it was.
    for (const int previousMode : {0, 1}) {
        m_logic.setImportSelection(TransferScope::Complete);
        m_logic.setSelectedRow(previousMode);
        const bool wasEnabled = m_logic.isActionEnabled();
        m_logic.setSelectedRow(4);
        EXPECT_TRUE(m_logic.message().isEmpty());
        EXPECT_EQ(m_logic.isActionEnabled(), wasEnabled);
    }

    EXPECT_FALSE(transferScopeFromCode(7)) << "a choice outside 0 to 3 names no scope";
    EXPECT_FALSE(transferScopeFromCode(-1));
    EXPECT_EQ(transferScopeFromCode(3), TransferScope::Clients);

    for (const int row : {-1, 5}) {
        m_logic.setSelectedRow(0);
        m_logic.setSelectedRow(row);
        EXPECT_EQ(m_logic.message(), kSelectDevice);
        EXPECT_FALSE(m_logic.isActionEnabled());
        EXPECT_EQ(m_logic.selectedRow(), -1) << "an out-of-range selection is cleared";
        EXPECT_TRUE(m_logic.downloadURL().isEmpty());
    }
}

TEST_F(DeviceBrowserLogicTest, ExportDisplayFollowsMode)
{
    m_logic.setImport(false);
    EXPECT_EQ(m_logic.message(), kNoDevicesExport);
    EXPECT_FALSE(m_logic.isActionEnabled());
    addOneDevicePerMode();

    const QString send = QStringLiteral("Click the Export button to send the database to your device.");
    const std::pair<QString, bool> expected[] = {
        {QStringLiteral(
             "Backup Database is selected on your device. Select either Restore Database or Import Data "
             "instead."),
         false},
        {send, true},
        {QStringLiteral(
             "Export Data is selected on your device. Select either Restore Database or Import Data "
             "instead."),
         false},
        {send + QStringLiteral(" The app will ask what you want to import."), true},
    };
    for (int mode = 0; mode < 4; ++mode) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        m_logic.setSelectedRow(mode);
        EXPECT_EQ(m_logic.message(), expected[mode].first);
        EXPECT_EQ(m_logic.isActionEnabled(), expected[mode].second);
        EXPECT_EQ(m_logic.uploadURL(), QStringLiteral("http://127.0.0.1:%1").arg(8000 + mode));
    }
    m_logic.setSelectedRow(4);
    EXPECT_TRUE(m_logic.message().isEmpty());
    EXPECT_TRUE(m_logic.isActionEnabled()) << "the button stays as mode 3 left it";

    m_logic.setSelectedRow(9);
    EXPECT_EQ(m_logic.message(), kSelectDevice);
    EXPECT_FALSE(m_logic.isActionEnabled());
    EXPECT_TRUE(m_logic.uploadURL().isEmpty());
}

TEST_F(DeviceBrowserLogicTest, ListsOnlyReachableVelumarkPeersOnce)
{
    m_logic.addResolvedService(peer(QStringLiteral("Bob's iPhone"), "Velumark", "2", "3.0"));
    m_logic.addResolvedService(peer(QStringLiteral("Ann's iPad"), "Velumark Lite", " 1 ", "2.1"));
    m_logic.addResolvedService(peer(QStringLiteral("Ann's iPad"), "Velumark", "0", "9.9"));

    QList<NetService> strangers(4, peer(QStringLiteral("Stranger"), "Velumark", "0"));
    strangers[0].address = QHostAddress();
    strangers[1].port = 0;
    strangers[2].txtRecord.remove(QStringLiteral("name"));
    strangers[3].txtRecord.remove(QStringLiteral("type"));
    for (const auto &[application, type] :
         {std::pair{"velumark", "0"}, std::pair{"Velumark Pro", "0"}, std::pair{"Velumark", "two"},
          std::pair{"Velumark", "99999999999"}, std::pair{"Velumark\xff", "0"}})
        strangers << peer(QStringLiteral("Stranger"), application, type);
    for (const NetService &stranger : strangers)
        m_logic.addResolvedService(stranger);

    ASSERT_EQ(m_logic.numberOfRows(), 2);
    ASSERT_EQ(m_logic.serviceArray().size(), 2);
    EXPECT_EQ(m_logic.rowText(0), QStringLiteral("Bob's iPhone (Velumark v3.0)"));
    EXPECT_EQ(m_logic.deviceArray().at(0).serviceNumber(), 2);
    EXPECT_EQ(m_logic.rowText(1), QStringLiteral("Ann's iPad (Velumark Lite v2.1)"))
        << "the first report of a service stays";
    EXPECT_EQ(m_logic.deviceArray().at(1).serviceNumber(), 1);
    EXPECT_TRUE(m_logic.rowText(2).isNull());
    EXPECT_TRUE(m_logic.rowText(-1).isNull());

    m_logic.addResolvedService(peer(QStringLiteral("50% of %1"), "Velumark", "0", "%2"));
    EXPECT_EQ(m_logic.rowText(2), QStringLiteral("50% of %1 (Velumark v%2)"));
}

TEST_F(DeviceBrowserLogicTest, LostDevicesLeaveWithTheirServiceAndTakeTheSelection)
{
    for (const char *name : {"Ann", "Bob", "Cid"})
        m_logic.addResolvedService(peer(QString::fromLatin1(name), "Velumark", name[0] == 'C' ? "2" : "0"));
    m_logic.setSelectedRow(2);
    const QString cidMessage = m_logic.message();

    m_logic.removeService(peer(QStringLiteral("Ann"), "", "").identity);
    ASSERT_EQ(m_logic.numberOfRows(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(m_logic.serviceArray().at(row).identity.name, m_logic.deviceArray().at(row).deviceName());
    EXPECT_EQ(m_logic.deviceArray().at(0).deviceName(), QStringLiteral("Bob"));
    EXPECT_EQ(m_logic.selectedRow(), 1) << "the selection stays on Cid";
    EXPECT_EQ(m_logic.message(), cidMessage);

    m_logic.removeService(peer(QStringLiteral("Cid"), "", "").identity);
    EXPECT_EQ(m_logic.selectedRow(), -1);
    EXPECT_EQ(m_logic.message(), kSelectDevice);
    EXPECT_FALSE(m_logic.isActionEnabled());

    m_logic.removeService(peer(QStringLiteral("Somebody else"), "", "").identity);
    EXPECT_EQ(m_logic.numberOfRows(), 1);

    m_logic.setSelectedRow(0);
    m_logic.removeService(peer(QStringLiteral("Bob"), "", "").identity);
    EXPECT_TRUE(m_logic.serviceArray().isEmpty());
    EXPECT_EQ(m_logic.message(), kNoDevicesImport);
    EXPECT_FALSE(m_logic.isActionEnabled());
}

TEST_F(DeviceBrowserLogicTest, AddressesUseTheResolvedAddressAndTheChosenFile)
{
    NetService service = peer(QStringLiteral("Ann"), "Velumark", "2", "1.0", 80);
    for (const auto &[address, url] :
         {std::pair{"127.0.0.1", "http://127.0.0.1:80"}, std::pair{"2001:db8::5", "http://[2001:db8::5]:80"},
          std::pair{"fe80::1%lo", "http://[fe80::1%25lo]:80"}, std::pair{"", ""}}) {
        service.address = QHostAddress(QLatin1String(address));
        EXPECT_EQ(DeviceBrowserLogic::getServerFromNetService(service), QLatin1String(url)) << address;
    }

    // Which file each mode and choice asks for is seen in the requests of the device browser's
    // tests; here, that the address carries it.
    m_logic.addResolvedService(peer(QStringLiteral("Ann"), "Velumark", "2"));
    EXPECT_TRUE(m_logic.downloadURL().isEmpty()) << "nothing selected";
    m_logic.setSelectedRow(0);
    m_logic.setImportSelection(TransferScope::Clients);
    EXPECT_EQ(m_logic.downloadURL(), QStringLiteral("http://127.0.0.1:8123/velumark_clients.vdbi"));
}
