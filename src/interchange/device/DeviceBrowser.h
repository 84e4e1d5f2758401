#pragma once

#include "document/OperationClaim.h"
#include "interchange/OperationWatcher.h"
#include "interchange/device/DeviceBrowserLogic.h"
#include "interchange/device/TransferAlert.h"
#include "interchange/device/TransferProgress.h"
#include "store/Result.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

namespace velumark {

class HTTPDownload;
class HTTPUpload;
class InterchangeHandOver;
class LongOperation;
class OperationFolder;
class ServiceDiscovery;
class VelumarkDatabase;

// The device browser without its windows: it finds the devices (through its logic) and moves a
// database between the selected device and the main document. An import downloads the device's
// file, checks that it is a complete catalogue database and imports it; an export writes the
// complete interchange file and uploads it. The import, export and progress windows wrap it; the
// command line drives it directly.
//
// A transfer that began ends with exactly one of transferFinished() or transferCancelled(), always
// from the event loop, never inside the call that began it. Its temporary files are gone by then.
class DeviceBrowser : public QObject
{
    Q_OBJECT

public:
    DeviceBrowser(std::unique_ptr<ServiceDiscovery> discovery, InterchangeHandOver &handOver,
                  QObject *parent = nullptr);
    ~DeviceBrowser() override;

    DeviceBrowserLogic &logic() { return m_logic; }
    const DeviceBrowserLogic &logic() const { return m_logic; }
    // The title and the bar of the progress window.
    const TransferProgress &progress() const { return m_progress; }
    bool isTransferring() const { return m_phase != Phase::Idle; }

    // The import window's Import button: imports the selected device's database into the main
    // document with the import choice (a complete restore for choice 0). False, and nothing
    // happens, unless the import window's action is enabled and no transfer is under way.
    bool downloadDatabase();
    // The export window's Export button: sends the main document's complete database to the
    // selected device. False, and nothing happens, unless the export window's action is enabled
    // and no transfer is under way.
    bool uploadDatabase();
    // Stops the transfer at whatever step it is (the progress window's Cancel). A transfer that
    // waits for an import or export to stop ends once it has stopped.
    void cancel();

signals:
    // The progress bar, 0 to 100: an import shows the download as the first half.
    void progressChanged(double value);
    // The alert to show. detail says why an import failed, which the alert's own text does not;
    // it is empty otherwise.
    void transferFinished(bool succeeded, const velumark::TransferAlert &alert, const QString &detail);
    // Cancelled: no alert.
    void transferCancelled();

private:
    enum class Phase
    {
        Idle,
        Downloading,
        Checking, // is the download a complete catalogue database?
        Importing,
        Preparing, // writing the interchange file to send
        Uploading,
    };

    HTTPDownload &downloader();
    HTTPUpload &uploader();
    // Claims the main document's one operation at a time, so that no other import or export
    // can begin while the download is on its way.
    Result<> claimMainDocument();
    Result<> makeFolder();
    QString exportFile() const;

    void downloadFinished();
    void checkFinished(const Result<> &check);
    void importFinished(OperationResult result, const QString &message);
    void exportFinished(OperationResult result, const QString &message);

    void succeed(const TransferAlert &alert);
    void fail(const TransferAlert &alert, const QString &detail = {});
    // A failure found while beginning, reported from the event loop.
    void failLater(const TransferAlert &alert);
    void endCancelled();
    // Back to idle: the claim, the operation and the temporary files are let go.
    void settle();

    std::unique_ptr<ServiceDiscovery> m_discovery; // first: the logic uses it until it goes
    DeviceBrowserLogic m_logic;
    InterchangeHandOver &m_handOver;
    TransferProgress m_progress;
    std::unique_ptr<HTTPDownload> m_httpDownloader;
    std::unique_ptr<HTTPUpload> m_httpUploader;

    Phase m_phase = Phase::Idle;
    bool m_cancelling = false;
    TransferScope m_importSelection = TransferScope::Complete;
    QString m_uploadURL;
    // Shared with work that may outlive the transfer (a check still reading the download, an
    // export still writing after a cancel); the folder goes with the last share.
    std::shared_ptr<const OperationFolder> m_folder;
    // During the download: no other import or export may begin on the document.
    OperationClaim m_claim;
    QPointer<LongOperation> m_operation;
    // Counts transfers, so that news of one that has ended is dropped.
    quint64 m_attempt = 0;
};

} // namespace velumark
