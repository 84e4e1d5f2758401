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

    const QString importArtworks =
        QStringLiteral("Click the Import button to import the artworks from your device.");
    const QString importClients =
        QStringLiteral("Click the Import button to import the clients from your device.");
    const QString restoreSelected = QStringLiteral(
        "Restore Database is selected on your device. Select either Backup Database or Export Data instead.");
    const QString importSelected = QStringLiteral(
        "Import Data is selected on your device. Select either Backup Database or Export Data instead.");
    struct Case
    {
        int mode;
        int choice;
        QString message;
        bool enabled;
    };
    const Case cases[] = {
        {0, 0, QStringLiteral("Click the Import button to restore the complete database from your device."),
         true},
        {0, 1,
         QStringLiteral(
             "Click the Import button to restore only the artworks and clients in the database from "
             "your device."),
         true},
        {0, 2, importArtworks, true},
        {0, 3, importClients, true},
        {1, 0, restoreSelected, false},
        {1, 1, restoreSelected, false},
        {1, 2, restoreSelected, false},
        {1, 3, restoreSelected, false},
        {2, 0,
         QStringLiteral(
             "Export Data is selected on your device. Only artworks or clients can be imported in this "
             "mode."),
         false},
        {2, 1,
         QStringLiteral(
             "Export Data is selected on your device. Select Backup Database instead to restore both "
             "artworks and clients."),
         false},
        {2, 2, importArtworks, true},
        {2, 3, importClients, true},
        {3, 0, importSelected, false},
        {3, 1, importSelected, false},
        {3, 2, importSelected, false},
        {3, 3, importSelected, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", choice " << c.choice);
        m_logic.setSelectedRow(c.mode);
        m_logic.setImportSelection(c.choice);
        EXPECT_EQ(m_logic.message(), c.message);
        EXPECT_EQ(m_logic.isActionEnabled(), c.enabled);
    }

    // A mode above 3 gives no message and leaves the button as it was.
    for (const int previousMode : {0, 1}) {
        m_logic.setImportSelection(0);
        m_logic.setSelectedRow(previousMode);
        const bool wasEnabled = m_logic.isActionEnabled();
        m_logic.setSelectedRow(4);
        EXPECT_TRUE(m_logic.message().isEmpty());
        EXPECT_EQ(m_logic.isActionEnabled(), wasEnabled);
    }

    m_logic.setImportSelection(7);
    EXPECT_EQ(m_logic.importSelection(), 0) << "a choice outside 0 to 3 is ignored";

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

    NetService noAddress = peer(QStringLiteral("Nowhere"), "Velumark", "0");
    noAddress.address = QHostAddress();
    NetService noPort = peer(QStringLiteral("Portless"), "Velumark", "0");
    noPort.port = 0;
    NetService noName = peer(QStringLiteral("Anonymous"), "", "0");
    noName.txtRecord.remove(QStringLiteral("name"));
    NetService noType = peer(QStringLiteral("Typeless"), "Velumark", "0");
    noType.txtRecord.remove(QStringLiteral("type"));
    for (const NetService &stranger :
         {noAddress, noPort, noName, noType, peer(QStringLiteral("Lower"), "velumark", "0"),
          peer(QStringLiteral("Pro"), "Velumark Pro", "0"), peer(QStringLiteral("Wordy"), "Velumark", "two"),
          peer(QStringLiteral("Huge"), "Velumark", "99999999999"),
          peer(QStringLiteral("Bad UTF-8"), "Velumark\xff", "0")})
        m_logic.addResolvedService(stranger);

    ASSERT_EQ(m_logic.numberOfRows(), 2);
    ASSERT_EQ(m_logic.serviceArray().size(), 2);
    const Device &bob = m_logic.deviceArray().at(0);
    EXPECT_EQ(bob.deviceName(), QStringLiteral("Bob's iPhone"));
    EXPECT_EQ(bob.serviceName(), QStringLiteral("Velumark"));
    EXPECT_EQ(bob.serviceNumber(), 2);
    EXPECT_EQ(bob.serviceVersion(), QStringLiteral("3.0"));
    EXPECT_EQ(m_logic.rowText(0), QStringLiteral("Bob's iPhone (Velumark v3.0)"));
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

TEST_F(DeviceBrowserLogicTest, UnavailableDiscoveryIsShownUntilBrowsingAgain)
{
    m_logic.addResolvedService(peer(QStringLiteral("Ann"), "Velumark", "1"));
    m_logic.setImport(false);
    m_logic.setSelectedRow(0);
    ASSERT_TRUE(m_logic.isActionEnabled());

    m_logic.discoveryUnavailable(QStringLiteral("No daemon"));
    EXPECT_EQ(m_logic.numberOfRows(), 0);
    EXPECT_EQ(m_logic.selectedRow(), -1);
    EXPECT_EQ(m_logic.discoveryProblem(), QStringLiteral("No daemon"));
    EXPECT_EQ(m_logic.message(), QStringLiteral("No daemon"));
    EXPECT_FALSE(m_logic.isActionEnabled());

    // Browsing again starts from nothing (the discovery reports every device anew).
    m_logic.addResolvedService(peer(QStringLiteral("Bob"), "Velumark", "0"));
    ASSERT_TRUE(m_logic.presentDeviceBrowser(0));
    EXPECT_EQ(m_logic.numberOfRows(), 0);
    EXPECT_TRUE(m_logic.discoveryProblem().isEmpty());
    EXPECT_EQ(m_logic.message(), kNoDevicesImport);
    EXPECT_FALSE(m_logic.presentDeviceBrowser(2));
    m_logic.endBrowsing();
}

TEST_F(DeviceBrowserLogicTest, AddressesUseTheResolvedAddressAndTheChosenFile)
{
    NetService service = peer(QStringLiteral("Ann"), "Velumark", "2");
    EXPECT_EQ(DeviceBrowserLogic::getServerFromNetService(service), QStringLiteral("http://127.0.0.1:8123"));
    service.address = QHostAddress(QStringLiteral("2001:db8::5"));
    service.port = 80;
    EXPECT_EQ(DeviceBrowserLogic::getServerFromNetService(service),
              QStringLiteral("http://[2001:db8::5]:80"));
    service.address = QHostAddress(QStringLiteral("fe80::1"));
    service.address.setScopeId(QStringLiteral("lo"));
    EXPECT_EQ(DeviceBrowserLogic::getServerFromNetService(service),
              QStringLiteral("http://[fe80::1%25lo]:80"));
    service.address = QHostAddress();
    EXPECT_TRUE(DeviceBrowserLogic::getServerFromNetService(service).isEmpty());

    // Only a device that is not in Backup Database mode serves the partial files.
    const QString files[4] = {QStringLiteral("velumark.vdbi"), QStringLiteral("velumark.vdbi"),
                              QStringLiteral("velumark_artworks.vdbi"),
                              QStringLiteral("velumark_clients.vdbi")};
    for (int choice = 0; choice < 4; ++choice) {
        EXPECT_EQ(DeviceBrowserLogic::downloadFileName(0, choice), QStringLiteral("velumark.vdbi"));
        for (const int mode : {1, 2, 3})
            EXPECT_EQ(DeviceBrowserLogic::downloadFileName(mode, choice), files[choice])
                << mode << "/" << choice;
    }

    m_logic.addResolvedService(peer(QStringLiteral("Ann"), "Velumark", "2"));
    EXPECT_TRUE(m_logic.downloadURL().isEmpty()) << "nothing selected";
    m_logic.setSelectedRow(0);
    m_logic.setImportSelection(3);
    EXPECT_EQ(m_logic.downloadURL(), QStringLiteral("http://127.0.0.1:8123/velumark_clients.vdbi"));
}
