#include "interchange/device/DeviceBrowser.h"

#include "TransferTestSupport.h"
#include "document/DocumentRegistry.h"
#include "interchange/DatabaseExport.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/device/ServiceDiscovery.h"
#include "reference-peer/ReferencePeer.h"
#include "store/DatabaseFile.h"
#include "store/Image.h"
#include "store/StandardFolders.h"
#include "support/OperationRunner.h"
#include "support/SampleCatalogue.h"
#include "support/Succeeded.h"

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
    QByteArray state = test::readFile(catalogue.document().dbFilename());
    state += QDir(catalogue.packagePath()).entryList(QDir::Files | QDir::Hidden).join(u' ').toUtf8();
    return QCryptographicHash::hash(state, QCryptographicHash::Sha256);
}

QStringList operationFolders()
{
    // The import's own folder goes with the operation object, which is deleted later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QDir(StandardFolders::cacheFolder()).entryList({QStringLiteral("operation-*")}, QDir::Dirs);
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
    void startPeer(int mode, const QString &folder, PeerOptions options = {})
    {
        options.mode = mode;
        options.folder = folder;
        m_peer = std::make_unique<ReferencePeer>(options);
        EXPECT_TRUE(m_peer->listen()) << qPrintable(m_peer->errorString());
        QObject::connect(m_peer.get(), &ReferencePeer::requestHandled, m_peer.get(),
                         [this](const peer::HttpRequestHead &head, int) {
                             m_ending.requests << QString::fromLatin1(head.method + ' ' + head.target);
                         });
    }

    // Lists the peer as discovery reports it and selects it in the import or export window.
    void selectPeer(bool import, TransferScope choice = TransferScope::Complete)
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

    bool beginTransfer()
    {
        return m_browser.logic().isImport() ? m_browser.downloadDatabase() : m_browser.uploadDatabase();
    }

    // Begins the transfer the window's button would (or the one `begin` does) and waits for its
    // end; `onProgress` sees every bar value.
    const Ending &run(const std::function<void(double)> &onProgress = {},
                      const std::function<bool()> &begin = {})
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
        EXPECT_TRUE(begin ? begin() : beginTransfer());
        EXPECT_TRUE(test::waitUntil([&] { return m_ending.finished + m_ending.cancelled > 0; }, 60000));
        EXPECT_EQ(m_ending.finished + m_ending.cancelled, 1);
        EXPECT_FALSE(m_browser.isTransferring());
        return m_ending;
    }

    // Writes this catalogue's files as a device in Backup Database or Export Data mode serves them.
    void writeDeviceFiles(const QString &folder)
    {
        for (const auto &[name, scope] : {std::pair{"velumark.vdbi", TransferScope::Complete},
                                          std::pair{"velumark_artworks.vdbi", TransferScope::Artworks},
                                          std::pair{"velumark_clients.vdbi", TransferScope::Clients}}) {
            DatabaseExport operation(m_catalogue.document(), QDir(folder).filePath(QLatin1String(name)),
                                     scope);
            ASSERT_EQ(test::runOperation(operation).result, OperationResult::Done);
        }
    }

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
    ASSERT_EQ(document.images().size(), 3u);
    for (const int mode : {DeviceMode::RestoreDatabase, DeviceMode::ImportData}) {
        SCOPED_TRACE(mode);
        QTemporaryDir device;
        startPeer(mode, device.path());
        selectPeer(false);
        const Ending &ending = run({}, [&] {
            const bool began = m_browser.uploadDatabase();
            EXPECT_EQ(m_browser.logic().numberOfRows(), 0) << "browsing ends when the transfer begins";
            return began;
        });
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
        ASSERT_TRUE(succeeded(DatabaseFile::verify(received)));
        // The file is the export of the whole catalogue (whose contents the export's own tests
        // check), photos included.
        auto db = SqliteConnection::open(received, SqliteConnection::Mode::ReadOnly);
        auto count = db->prepare("SELECT (SELECT count(*) FROM artwork) || (SELECT count(*) FROM client) || "
                                 "(SELECT count(*) FROM submission) || (SELECT count(*) FROM image "
                                 "WHERE length(photo) > 0 AND length(thumbnail) > 0)");
        ASSERT_EQ(count->step(), SqliteStatement::Step::Row);
        EXPECT_EQ(count->columnText(0), QStringLiteral("%1%2%3%4")
                                            .arg(document.artworks().size())
                                            .arg(document.clients().size())
                                            .arg(document.submissions().size())
                                            .arg(document.images().size()));
    }
}

TEST_F(DeviceBrowserTest, PulledDatabaseArrivesWholeInEveryModeAndChoiceTheRulesAllow)
{
    QTemporaryDir files;
    writeDeviceFiles(files.path()); // the device holds what this catalogue holds
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
        selectPeer(true, static_cast<TransferScope>(c.choice));
        const Ending &ending = run();
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
        selectPeer(true, static_cast<TransferScope>(choice));
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
    const char *const kBusy = "Another import or export is running";
    enum Setup
    {
        Plain,
        NoFile,
        NotADatabase,
        Busy, // another operation runs on the catalogue
    };
    struct Case
    {
        const char *what;
        int mode;
        PeerOptions options;
        Setup setup;
        QString text;
    };
    // How each kind of broken transfer fails is the uploader's and the downloader's own test;
    // here, that the failure reaches the alert and leaves the catalogue alone.
    PeerOptions status404, truncatedWithoutLength;
    status404.forcedStatus = 404;
    truncatedWithoutLength.truncateAt = 5000;
    truncatedWithoutLength.omitContentLength = true;
    for (const Case &c : {
             Case{"upload answered 404", 1, status404, Plain, QStringLiteral("103 - HTTP error 404)")},
             Case{"missing file", 0, {}, NoFile, QStringLiteral("HTTP error 404)")},
             Case{"download cut without a length", 0, truncatedWithoutLength, Plain,
                  QLatin1String(kIncomplete)},
             Case{"download that is not a database", 2, {}, NotADatabase, QLatin1String(kIncomplete)},
             Case{"download while busy", 0, {}, Busy, QLatin1String(kBusy)},
             Case{"upload while busy", 1, {}, Busy, QStringLiteral("104 - ") + QLatin1String(kBusy)},
         }) {
        SCOPED_TRACE(c.what);
        QTemporaryDir files, elsewhere;
        writeDeviceFiles(files.path());
        if (c.setup == NoFile)
            QFile::remove(files.filePath(QStringLiteral("velumark.vdbi")));
        if (c.setup == NotADatabase)
            test::writePatternFile(files.filePath(QStringLiteral("velumark_artworks.vdbi")), 300000);
        if (c.setup == Busy) {
            ASSERT_TRUE(succeeded(m_handOver.exportLocalDatabase(
                elsewhere.filePath(QStringLiteral("other.vdbi")), TransferScope::Complete, nullptr)));
        }
        const QByteArray before = fingerprint(m_catalogue);
        startPeer(c.mode, files.path(), c.options);
        const bool upload = c.mode == 1 || c.mode == 3;
        selectPeer(!upload, c.mode == 2 ? TransferScope::Artworks : TransferScope::Complete);
        const Ending &ending = run();
        EXPECT_FALSE(ending.succeeded);
        EXPECT_EQ(ending.alert.title, QStringLiteral("WARNING"));
        EXPECT_TRUE(ending.alert.text.startsWith(transferError + c.text)) << ending.alert.text.toStdString();
        if (c.setup == Busy) {
            EXPECT_TRUE(ending.requests.isEmpty());
            ASSERT_TRUE(test::waitUntil([&] { return !m_catalogue.document().isOperationRunning(); }));
        }
        EXPECT_TRUE(operationFolders().isEmpty());
        EXPECT_EQ(m_catalogue.document().artworks().size(), 2u);
        // An export writes its header into the catalogue; a failed import changes nothing.
        if (!upload) {
            EXPECT_EQ(fingerprint(m_catalogue), before);
        }
        EXPECT_EQ(QDir(files.path()).entryList(QDir::Files).size(), c.setup == NoFile ? 2 : 3)
            << "nothing stored";
    }
}

TEST_F(DeviceBrowserTest, CancelAtAnyStepShowsNoAlertSendsNothingAndLeavesNoFiles)
{
    QTemporaryDir files;
    writeDeviceFiles(files.path());
    const QByteArray before = fingerprint(m_catalogue);
    PeerOptions slow;
    slow.chunkDelayMs = 100;

    // During the download; meanwhile no other import or export may begin on the catalogue.
    startPeer(DeviceMode::BackupDatabase, files.path(), slow);
    selectPeer(true);
    QString refusal;
    const Ending &ending = run([&](double value) {
        if (value <= 0 || value >= 50)
            return;
        QTemporaryDir other;
        const Result<LongOperation *> refused = m_handOver.exportLocalDatabase(
            other.filePath(QStringLiteral("x.vdbi")), TransferScope::Complete, nullptr);
        EXPECT_FALSE(refused);
        refusal = refused.message();
        m_browser.cancel();
    });
    EXPECT_EQ(ending.cancelled, 1);
    EXPECT_FALSE(refusal.isEmpty());
    EXPECT_LT(ending.progress.last(), 50);
    EXPECT_EQ(fingerprint(m_catalogue), before);
    EXPECT_TRUE(operationFolders().isEmpty());

    // During the upload, and while the file to send is being written; the next export, a new
    // one, is not cancelled by the one before.
    QTemporaryDir device;
    for (const bool whileWriting : {false, true}) {
        SCOPED_TRACE(whileWriting ? "while writing" : "during the upload");
        startPeer(DeviceMode::ImportData, device.path(), whileWriting ? PeerOptions{} : slow);
        selectPeer(false);
        const auto cancel = [&](double value) {
            if (value > 0)
                m_browser.cancel();
        };
        run(cancel, [&] {
            const bool began = m_browser.uploadDatabase();
            if (whileWriting) {
                m_browser.cancel();
                EXPECT_TRUE(m_browser.isTransferring()) << "the export stops before the transfer ends";
            }
            return began;
        });
        EXPECT_EQ(ending.cancelled, 1);
        test::waitUntil([] { return false; }, 300);
        if (whileWriting) {
            EXPECT_TRUE(ending.requests.isEmpty());
        }
        EXPECT_TRUE(QDir(device.path()).isEmpty()) << "the device stored a file";
        EXPECT_TRUE(operationFolders().isEmpty());
    }
    selectPeer(false);
    EXPECT_TRUE(run().succeeded);
    EXPECT_TRUE(QFileInfo::exists(device.filePath(QStringLiteral("velumark.vdbi"))));
}
