#include "interchange/device/DeviceBrowser.h"

#include "TransferTestSupport.h"
#include "document/DocumentRegistry.h"
#include "interchange/DatabaseExport.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/device/ServiceDiscovery.h"
#include "reference-peer/ReferencePeer.h"
#include "store/DatabaseFile.h"
#include "store/Image.h"
#include "store/VelumarkUtility.h"
#include "support/LoopbackAvahiDaemon.h"
#include "support/OperationRunner.h"
#include "support/SampleCatalogue.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;
using velumark::peer::PeerOptions;
using velumark::peer::ReferencePeer;

namespace {

struct Ending
{
    int finished = 0;
    int cancelled = 0;
    bool succeeded = false;
    TransferAlert alert;
    QString detail;
    QList<double> progress;
    QStringList requests; // "METHOD target" of every request the peer answered
};

// The state of a catalogue that a failed or cancelled transfer must leave as it was.
QByteArray fingerprint(test::SampleCatalogue &catalogue)
{
    QByteArray state = test::readWholeFile(catalogue.document().dbFilename());
    state += QDir(catalogue.packagePath()).entryList(QDir::Files | QDir::Hidden).join(u' ').toUtf8();
    return QCryptographicHash::hash(state, QCryptographicHash::Sha256);
}

QStringList operationFolders()
{
    // The import's own folder goes with the operation object, which is deleted later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QDir(VelumarkUtility::cacheFolder()).entryList({QStringLiteral("operation-*")}, QDir::Dirs);
}

class DeviceBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useCatalogue(m_catalogue);
        m_catalogue.fillWithSamples();
        m_catalogue.addPhoto(m_catalogue.document().artworks().back().get());
    }
    void TearDown() override { DocumentRegistry::shared().registerAsMainDocument(nullptr); }

    static void useCatalogue(test::SampleCatalogue &catalogue)
    {
        DocumentRegistry::shared().registerAsMainDocument(&catalogue.document());
    }

    // A device in the mode; its files are in (and uploads go to) the folder.
    ReferencePeer &startPeer(int mode, const QString &folder, PeerOptions options = {})
    {
        options.mode = mode;
        options.folder = folder;
        m_peer = std::make_unique<ReferencePeer>(options);
        EXPECT_TRUE(m_peer->listen()) << qPrintable(m_peer->errorString());
        QObject::connect(m_peer.get(), &ReferencePeer::requestHandled, m_peer.get(),
                         [this](const peer::HttpRequestHead &head, int) {
                             m_ending.requests << QString::fromLatin1(head.method + ' ' + head.target);
                         });
        return *m_peer;
    }

    // Lists the peer as discovery reports it and selects it in the import or export window.
    void selectPeer(bool import, int choice = ImportChoice::CompleteDatabase)
    {
        NetService service;
        service.identity = {QStringLiteral("Studio iPad"), QStringLiteral("_http._tcp"),
                            QStringLiteral("local")};
        service.address = QHostAddress(QHostAddress::LocalHost);
        service.port = m_peer->port();
        service.txtRecord = {{QStringLiteral("name"), "Velumark"},
                             {QStringLiteral("type"), QByteArray::number(m_peer->options().mode)}};
        DeviceBrowserLogic &logic = m_browser.logic();
        logic.endBrowsing();
        logic.setImport(import);
        logic.addResolvedService(service);
        logic.setSelectedRow(0);
        logic.setImportSelection(choice);
    }

    // Begins a transfer with `begin` and waits for its end; `onProgress` sees every bar value.
    const Ending &run(const std::function<bool()> &begin, const std::function<void(double)> &onProgress = {})
    {
        m_ending = Ending{};
        const QObject scope;
        QObject::connect(&m_browser, &DeviceBrowser::progressChanged, &scope, [&](double value) {
            m_ending.progress << value;
            if (onProgress)
                onProgress(value);
        });
        QObject::connect(&m_browser, &DeviceBrowser::transferFinished, &scope,
                         [&](bool succeeded, const TransferAlert &alert, const QString &detail) {
                             ++m_ending.finished;
                             m_ending.succeeded = succeeded;
                             m_ending.alert = alert;
                             m_ending.detail = detail;
                         });
        QObject::connect(&m_browser, &DeviceBrowser::transferCancelled, &scope,
                         [&] { ++m_ending.cancelled; });
        EXPECT_TRUE(begin());
        EXPECT_TRUE(test::waitUntil([&] { return m_ending.finished + m_ending.cancelled > 0; }, 60000));
        EXPECT_EQ(m_ending.finished + m_ending.cancelled, 1);
        EXPECT_FALSE(m_browser.isTransferring());
        return m_ending;
    }

    // Writes the device catalogue's files as a device in Backup Database or Export Data mode serves them.
    void writeDeviceFiles(test::SampleCatalogue &device, const QString &folder)
    {
        for (const auto &[name, scope] : {std::pair{"velumark.vdbi", ExportScope::Complete},
                                          std::pair{"velumark_artworks.vdbi", ExportScope::Artworks},
                                          std::pair{"velumark_clients.vdbi", ExportScope::Clients}}) {
            DatabaseExport operation(device.document(), QDir(folder).filePath(QLatin1String(name)), scope);
            ASSERT_EQ(test::runOperation(operation).result, OperationResult::Done);
        }
    }

    bool download() { return m_browser.downloadDatabase(); }
    bool upload() { return m_browser.uploadDatabase(); }

    test::SampleCatalogue m_catalogue{QStringLiteral("Desktop")};
    InterchangeHandOver m_handOver;
    DeviceBrowser m_browser{ServiceDiscovery::create(), m_handOver};
    std::unique_ptr<ReferencePeer> m_peer;
    Ending m_ending;
};

} // namespace

TEST_F(DeviceBrowserTest, PushedCatalogueArrivesWholeInBothModes)
{
    VelumarkDatabase &document = m_catalogue.document();
    for (const int mode : {DeviceMode::RestoreDatabase, DeviceMode::ImportData}) {
        SCOPED_TRACE(mode);
        QTemporaryDir device;
        startPeer(mode, device.path());
        selectPeer(false);
        const Ending &ending = run([&] { return upload(); });
        ASSERT_TRUE(ending.succeeded) << ending.alert.text.toStdString();
        EXPECT_EQ(ending.alert.title, QStringLiteral("Check Device"));
        EXPECT_EQ(ending.alert.text,
                  QStringLiteral("Database transferred! Check your device for further instructions."));
        EXPECT_EQ(ending.requests, QStringList{QStringLiteral("POST /")});
        EXPECT_EQ(m_browser.progress().title(), QStringLiteral("Exporting Database"));
        EXPECT_EQ(ending.progress.last(), 100);
        EXPECT_TRUE(std::is_sorted(ending.progress.begin(), ending.progress.end()));
        EXPECT_TRUE(operationFolders().isEmpty()) << "the exported file stays behind";

        const QString received = device.filePath(QStringLiteral("velumark.vdbi"));
        QString error;
        ASSERT_TRUE(DatabaseFile::verify(received, &error)) << error.toStdString();
        auto db = SqliteConnection::open(received, SqliteConnection::Mode::ReadOnly);
        auto count = [&](const char *table) {
            auto statement = db->prepare(QByteArray("SELECT count(*) FROM ").append(table).constData());
            return statement->step() == SqliteStatement::Step::Row ? statement->columnInt64(0) : -1;
        };
        EXPECT_EQ(count("artwork"), qint64(document.artworks().size()));
        EXPECT_EQ(count("client"), qint64(document.clients().size()));
        EXPECT_EQ(count("submission"), qint64(document.submissions().size()));
        EXPECT_EQ(count("medium"), qint64(document.mediums().size()));
        EXPECT_EQ(count("artist"), qint64(document.artists().size()));
        ASSERT_EQ(count("image"), 3);
        for (const auto &image : document.images()) {
            auto blobs = db->prepare("SELECT photo, thumbnail FROM image WHERE pk=?");
            blobs->bindInt64(1, image->primaryKey());
            ASSERT_EQ(blobs->step(), SqliteStatement::Step::Row);
            EXPECT_EQ(blobs->columnBlob(0), test::readWholeFile(image->photoFilePath()));
            EXPECT_EQ(blobs->columnBlob(1), test::readWholeFile(image->thumbnailFilePath()));
        }
    }
}

TEST_F(DeviceBrowserTest, PulledDatabaseArrivesWholeInEveryModeAndChoiceTheRulesAllow)
{
    QTemporaryDir files;
    writeDeviceFiles(m_catalogue, files.path()); // the device holds what this catalogue holds
    struct Case
    {
        int mode, choice;
        const char *request;
        size_t artworks, clients, submissions, images;
    };
    // The desktop starts with one artwork with a photo and one client; a restore replaces them.
    for (const Case c : {Case{0, 0, "/velumark.vdbi", 2, 2, 3, 3}, Case{0, 1, "/velumark.vdbi", 3, 3, 0, 4},
                         Case{0, 2, "/velumark.vdbi", 3, 1, 0, 4}, Case{0, 3, "/velumark.vdbi", 1, 3, 0, 1},
                         Case{2, 2, "/velumark_artworks.vdbi", 3, 1, 0, 4},
                         Case{2, 3, "/velumark_clients.vdbi", 1, 3, 0, 1}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " choice " << c.choice);
        test::SampleCatalogue desktop(QStringLiteral("Target"));
        desktop.addPhoto(desktop.addArtwork(QStringLiteral("Already here")));
        desktop.addClient(QStringLiteral("Existing Client"));
        useCatalogue(desktop);
        startPeer(c.mode, files.path());
        selectPeer(true, c.choice);
        const Ending &ending = run([&] { return download(); });
        ASSERT_TRUE(ending.succeeded) << ending.alert.text.toStdString() << ending.detail.toStdString();
        EXPECT_EQ(ending.alert.title, QStringLiteral("Import Complete"));
        EXPECT_EQ(ending.alert.text, QStringLiteral("Database import complete!"));
        EXPECT_EQ(ending.requests, QStringList{QStringLiteral("GET ") + QLatin1String(c.request)});
        EXPECT_EQ(m_browser.progress().title(), QStringLiteral("Importing Database"));
        EXPECT_TRUE(std::is_sorted(ending.progress.begin(), ending.progress.end()));
        EXPECT_TRUE(ending.progress.contains(50)) << "the download ends at half way";
        EXPECT_EQ(ending.progress.last(), 100);
        EXPECT_TRUE(operationFolders().isEmpty());

        desktop.reopen();
        VelumarkDatabase &doc = desktop.document();
        EXPECT_EQ(doc.artworks().size(), c.artworks);
        EXPECT_EQ(doc.clients().size(), c.clients);
        EXPECT_EQ(doc.submissions().size(), c.submissions);
        EXPECT_EQ(doc.images().size(), c.images);
        for (const auto &image : doc.images())
            EXPECT_FALSE(QImage(image->photoFilePath()).isNull());
    }

    useCatalogue(m_catalogue);
    // What the rules disable does not begin and asks the device for nothing.
    for (const auto &[mode, choice] : {std::pair{1, 0}, std::pair{2, 0}, std::pair{2, 1}, std::pair{3, 2}}) {
        startPeer(mode, files.path());
        m_ending.requests.clear();
        selectPeer(true, choice);
        EXPECT_FALSE(m_browser.downloadDatabase()) << mode << " " << choice;
        EXPECT_FALSE(m_browser.uploadDatabase()) << "the import window exports nothing";
        EXPECT_FALSE(m_browser.isTransferring());
    }
    EXPECT_TRUE(m_ending.requests.isEmpty());
}

TEST_F(DeviceBrowserTest, FailuresEndWithTheirMessageAndLeaveTheDocumentUntouched)
{
    const QString transferError = QStringLiteral("Error transferring database!\n\n(");
    const char *const kIncomplete = "The device did not send a complete catalogue database: ";
    struct Case
    {
        const char *what;
        int mode;
        PeerOptions options;
        bool noFile, notADatabase;
        const char *text;
    };
    PeerOptions status404, cutUpload, truncated, truncatedWithoutLength, plain;
    status404.forcedStatus = 404;
    cutUpload.cutAfterBytes = 20000;
    truncated.truncateAt = 5000;
    truncatedWithoutLength.truncateAt = 5000;
    truncatedWithoutLength.omitContentLength = true;
    for (const Case &c : {
             Case{"upload answered 404", 1, status404, false, false, "103 - HTTP error 404)"},
             Case{"connection cut mid-upload", 3, cutUpload, false, false, "104 - "},
             Case{"missing file", 0, plain, true, false, "HTTP error 404)"},
             Case{"download shorter than announced", 0, truncated, false, false, ""},
             Case{"download cut without a length", 0, truncatedWithoutLength, false, false, kIncomplete},
             Case{"download that is not a database", 2, plain, false, true, kIncomplete},
         }) {
        SCOPED_TRACE(c.what);
        QTemporaryDir files;
        writeDeviceFiles(m_catalogue, files.path());
        if (c.noFile)
            QFile::remove(files.filePath(QStringLiteral("velumark.vdbi")));
        if (c.notADatabase)
            test::writePatternFile(files.filePath(QStringLiteral("velumark_artworks.vdbi")), 300000);
        const QByteArray before = fingerprint(m_catalogue);
        startPeer(c.mode, files.path(), c.options);
        const bool upload = c.mode == 1 || c.mode == 3;
        selectPeer(!upload, c.mode == 2 ? ImportChoice::Artworks : ImportChoice::CompleteDatabase);
        const Ending &ending = run([&] { return upload ? this->upload() : download(); });
        EXPECT_FALSE(ending.succeeded);
        EXPECT_EQ(ending.alert.title, QStringLiteral("WARNING"));
        const QString expected = transferError + QLatin1String(c.text);
        EXPECT_TRUE(ending.alert.text.startsWith(expected)) << ending.alert.text.toStdString();
        EXPECT_TRUE(operationFolders().isEmpty());
        EXPECT_EQ(m_catalogue.document().artworks().size(), 2u);
        // An export writes its header into the catalogue; a failed import changes nothing.
        if (!upload) {
            EXPECT_EQ(fingerprint(m_catalogue), before);
        }
        EXPECT_EQ(QDir(files.path()).entryList(QDir::Files).size(), c.noFile ? 2 : 3) << "nothing stored";
    }
}

TEST_F(DeviceBrowserTest, CancelAtAnyStepShowsNoAlertSendsNothingAndLeavesNoFiles)
{
    QTemporaryDir files;
    writeDeviceFiles(m_catalogue, files.path());
    const QByteArray before = fingerprint(m_catalogue);
    PeerOptions slow;
    slow.chunkDelayMs = 100;

    // During the download; meanwhile no other import or export may begin on the catalogue.
    startPeer(DeviceMode::BackupDatabase, files.path(), slow);
    selectPeer(true);
    QString refusal;
    const Ending *ending =
        &run([&] { return download(); },
             [&](double value) {
                 if (value <= 0 || value >= 50)
                     return;
                 QTemporaryDir other;
                 EXPECT_EQ(m_handOver.exportLocalDatabase(other.filePath(QStringLiteral("x.vdbi")), 0,
                                                          nullptr, &refusal),
                           nullptr);
                 m_browser.cancelButtonPressed();
             });
    EXPECT_EQ(ending->cancelled, 1);
    EXPECT_EQ(refusal, QStringLiteral("Another import or export is running for this catalogue. Wait until it "
                                      "has finished."));
    EXPECT_LT(ending->progress.last(), 50);
    EXPECT_EQ(fingerprint(m_catalogue), before);
    EXPECT_TRUE(operationFolders().isEmpty());

    // While the file to send is being written: nothing goes to the device, and the next export,
    // a new one, is not cancelled by the one before.
    QTemporaryDir device;
    startPeer(DeviceMode::RestoreDatabase, device.path());
    selectPeer(false);
    ending = &run([&] {
        const bool began = upload();
        m_browser.cancelButtonPressed();
        EXPECT_TRUE(m_browser.isTransferring()) << "the export stops before the transfer ends";
        return began;
    });
    EXPECT_EQ(ending->cancelled, 1);
    test::waitUntil([] { return false; }, 300);
    EXPECT_TRUE(m_ending.requests.isEmpty());
    EXPECT_TRUE(operationFolders().isEmpty());
    selectPeer(false);
    EXPECT_TRUE(run([&] { return upload(); }).succeeded);
    EXPECT_TRUE(QFileInfo::exists(device.filePath(QStringLiteral("velumark.vdbi"))));

    // During the upload.
    QTemporaryDir slowDevice;
    startPeer(DeviceMode::ImportData, slowDevice.path(), slow);
    selectPeer(false);
    ending = &run([&] { return upload(); },
                  [&](double value) {
                      if (value > 0)
                          m_browser.cancelButtonPressed();
                  });
    EXPECT_EQ(ending->cancelled, 1);
    EXPECT_TRUE(QDir(slowDevice.path()).isEmpty()) << "the device stored a partial file";
    EXPECT_TRUE(operationFolders().isEmpty());
}

TEST_F(DeviceBrowserTest, ACatalogueBusyWithAnotherOperationRefusesTheTransfer)
{
    QTemporaryDir files;
    writeDeviceFiles(m_catalogue, files.path());
    for (const bool import : {true, false}) {
        SCOPED_TRACE(import);
        startPeer(import ? DeviceMode::BackupDatabase : DeviceMode::RestoreDatabase, files.path());
        m_ending.requests.clear();
        selectPeer(import);
        QString error;
        LongOperation *other =
            m_handOver.exportLocalDatabase(files.filePath(QStringLiteral("other.vdbi")), 0, nullptr, &error);
        ASSERT_NE(other, nullptr) << error.toStdString();
        const Ending &ending = run([&] { return import ? download() : upload(); });
        EXPECT_FALSE(ending.succeeded);
        EXPECT_TRUE(ending.alert.text.contains(QStringLiteral("Wait until it has finished.)")))
            << ending.alert.text.toStdString();
        EXPECT_TRUE(ending.requests.isEmpty());
        ASSERT_TRUE(test::waitUntil([&] { return !m_catalogue.document().isOperationRunning(); }));
    }
}

TEST(DeviceBrowserDiscovery, FindsTheAnnouncingPeerAndSendsItTheCatalogue)
{
    test::LoopbackAvahiDaemon daemon;
    const test::LoopbackAvahiDaemon::Result started = daemon.start();
    if (started.outcome == test::LoopbackAvahiDaemon::Outcome::Skipped)
        GTEST_SKIP() << started.message.toStdString();
    ASSERT_EQ(started.outcome, test::LoopbackAvahiDaemon::Outcome::Running) << started.message.toStdString();

    test::SampleCatalogue catalogue(QStringLiteral("Desktop"));
    catalogue.fillWithSamples();
    DocumentRegistry::shared().registerAsMainDocument(&catalogue.document());
    QTemporaryDir device;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), test::LoopbackAvahiDaemon::busAddress());
    test::ChildProcess peer;
    ASSERT_TRUE(peer.start(QStringLiteral(VELUMARK_REFERENCE_PEER),
                           {QStringLiteral("--mode"), QStringLiteral("3"), QStringLiteral("--folder"),
                            device.path(), QStringLiteral("--service-name"), QStringLiteral("Studio iPad")},
                           environment));
    ASSERT_TRUE(peer.waitForOutput(QStringLiteral("announced as"), 15000)) << peer.transcript().toStdString();

    InterchangeHandOver handOver;
    DeviceBrowser browser(ServiceDiscovery::create(), handOver);
    DeviceBrowserLogic &logic = browser.logic();
    ASSERT_TRUE(logic.presentDeviceBrowser(1));
    ASSERT_TRUE(test::waitUntil([&] { return logic.numberOfRows() == 1; }, 15000))
        << logic.message().toStdString();
    EXPECT_EQ(logic.rowText(0), QStringLiteral("Studio iPad (Velumark v1.3)"));
    EXPECT_EQ(logic.deviceArray().at(0).modeText(), QStringLiteral("Import Data"));
    logic.setSelectedRow(0);
    EXPECT_EQ(logic.message(),
              QStringLiteral("Click the Export button to send the database to your device. The "
                             "app will ask what you want to import."));

    bool succeeded = false;
    QObject::connect(&browser, &DeviceBrowser::transferFinished, &browser,
                     [&](bool ok, const TransferAlert &) { succeeded = ok; });
    ASSERT_TRUE(browser.uploadDatabase());
    EXPECT_EQ(logic.numberOfRows(), 0) << "browsing ends when the transfer begins";
    ASSERT_TRUE(test::waitUntil([&] { return !browser.isTransferring(); }));
    EXPECT_TRUE(succeeded);
    QString error;
    EXPECT_TRUE(DatabaseFile::verify(device.filePath(QStringLiteral("velumark.vdbi")), &error))
        << error.toStdString();
    DocumentRegistry::shared().registerAsMainDocument(nullptr);
}
