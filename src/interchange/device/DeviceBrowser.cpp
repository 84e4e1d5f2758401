#include "interchange/device/DeviceBrowser.h"

#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/LongOperation.h"
#include "interchange/OperationFolder.h"
#include "interchange/device/HTTPDownload.h"
#include "interchange/device/HTTPUpload.h"
#include "interchange/device/ServiceDiscovery.h"
#include "store/DatabaseFile.h"
#include "store/Localization.h"

#include <QDir>
#include <QFutureWatcher>
#include <QUrl>
#include <QtConcurrent>

namespace velumark {

namespace {

// Whether what the device sent is a complete catalogue database. Reads the folder it was given,
// which stays while the check holds it.
Result<> checkDownload(const std::shared_ptr<const OperationFolder> &folder)
{
    return DatabaseFile::verifyForeign(folder->importDatabase());
}

} // namespace

DeviceBrowser::DeviceBrowser(std::unique_ptr<ServiceDiscovery> discovery, InterchangeHandOver &handOver,
                             QObject *parent)
    : QObject(parent), m_discovery(std::move(discovery)), m_logic(*m_discovery), m_handOver(handOver)
{
    connect(&m_progress, &TransferProgress::valueChanged, this, &DeviceBrowser::progressChanged);
}

DeviceBrowser::~DeviceBrowser()
{
    if (m_operation) {
        m_operation->disconnect(this);
        m_operation->abort();
        // The export may still be writing into the folder; it goes once the operation has.
        if (m_folder)
            new OperationFolderShare(m_folder, m_operation.data());
    }
}

HTTPDownload &DeviceBrowser::downloader()
{
    if (!m_httpDownloader) {
        m_httpDownloader = std::make_unique<HTTPDownload>();
        connect(m_httpDownloader.get(), &HTTPDownload::progress, &m_progress,
                &TransferProgress::downloadProgressUpdate);
        connect(m_httpDownloader.get(), &HTTPDownload::finished, this, &DeviceBrowser::downloadFinished);
        connect(m_httpDownloader.get(), &HTTPDownload::failed, this, [this](const QString &message) {
            fail(TransferAlert::downloadFailed(TransferError{0, message}));
        });
    }
    return *m_httpDownloader;
}

HTTPUpload &DeviceBrowser::uploader()
{
    if (!m_httpUploader) {
        m_httpUploader = std::make_unique<HTTPUpload>();
        connect(m_httpUploader.get(), &HTTPUpload::progress, &m_progress,
                &TransferProgress::uploadProgressUpdate);
        connect(m_httpUploader.get(), &HTTPUpload::finished, this, [this] {
            m_progress.uploadDidFinish();
            succeed(TransferAlert::exportFinished());
        });
        connect(m_httpUploader.get(), &HTTPUpload::failed, this, [this](int code, const QString &message) {
            fail(TransferAlert::uploadFailed(TransferError{code, message}));
        });
    }
    return *m_httpUploader;
}

Result<> DeviceBrowser::claimMainDocument()
{
    VelumarkDatabase *document = DocumentRegistry::shared().getMainDocument();
    if (!document)
        return Failure{localized("No catalogue is open.")};
    Result<OperationClaim> claim = document->beginOperation();
    if (!claim)
        return Failure{claim.message()};
    m_claim = std::move(claim).value();
    return {};
}

Result<> DeviceBrowser::makeFolder()
{
    m_folder = std::make_shared<const OperationFolder>();
    if (m_folder->isValid())
        return {};
    return Failure{localized("The cache folder for temporary files cannot be created.")};
}

QString DeviceBrowser::exportFile() const
{
    // The device keeps the file under the name it arrives with.
    return QDir(m_folder->path()).filePath(QStringLiteral("velumark.vdbi"));
}

bool DeviceBrowser::downloadDatabase()
{
    if (m_phase != Phase::Idle || !m_logic.isImport() || !m_logic.isActionEnabled())
        return false;
    const QString url = m_logic.downloadURL();
    if (url.isEmpty())
        return false;
    m_importSelection = m_logic.importSelection();
    m_logic.endBrowsing();
    m_progress.beginImport();
    m_phase = Phase::Downloading;

    Result<> ready = claimMainDocument();
    if (ready)
        ready = makeFolder();
    if (!ready) {
        failLater(TransferAlert::downloadFailed(TransferError{0, ready.message()}));
        return true;
    }
    downloader().downloadURL(QUrl(url), m_folder->importDatabase());
    return true;
}

void DeviceBrowser::downloadFinished()
{
    m_progress.downloadDidFinish();
    m_phase = Phase::Checking;
    // Reading a large file through takes a while: off the event loop, so the window stays alive.
    auto *check = new QFutureWatcher<Result<>>(this);
    connect(check, &QFutureWatcherBase::finished, this, [this, check, attempt = m_attempt] {
        check->deleteLater();
        if (attempt == m_attempt)
            checkFinished(check->result());
    });
    // The check holds its share of the folder, even when the transfer is cancelled meanwhile.
    check->setFuture(QtConcurrent::run(checkDownload, m_folder));
}

void DeviceBrowser::checkFinished(const Result<> &check)
{
    // Whatever a device sends is untrusted: an error page, a cut-off file or anything else that
    // is not a whole catalogue never reaches the import.
    if (!check) {
        fail(TransferAlert::downloadFailed(TransferError{
            0, localized("The device did not send a complete catalogue database: %1").arg(check.message())}));
        return;
    }
    m_claim.release();
    // The device restore replaces the catalogue: overwriting is allowed, which makes the complete
    // choice a complete restore and leaves the other choices adding records.
    const Result<LongOperation *> operation =
        m_handOver.importPreparedDatabase(m_folder->importDatabase(), m_importSelection, true, nullptr);
    if (!operation) {
        fail(*TransferAlert::importFinished(OperationResult::Failed), operation.message());
        return;
    }
    m_phase = Phase::Importing;
    m_operation = operation.value();
    connect(m_operation, &LongOperation::progress, this,
            [this](double percent) { m_progress.importProgressUpdate(percent); });
    connect(m_operation, &LongOperation::finished, this, &DeviceBrowser::importFinished);
}

void DeviceBrowser::importFinished(OperationResult result, const QString &message)
{
    const std::optional<TransferAlert> alert = TransferAlert::importFinished(result);
    if (!alert)
        endCancelled();
    else if (result == OperationResult::Done)
        succeed(*alert);
    else
        fail(*alert, message);
}

bool DeviceBrowser::uploadDatabase()
{
    if (m_phase != Phase::Idle || m_logic.isImport() || !m_logic.isActionEnabled())
        return false;
    m_uploadURL = m_logic.uploadURL();
    if (m_uploadURL.isEmpty())
        return false;
    m_logic.endBrowsing();
    m_progress.beginExport();
    m_phase = Phase::Preparing;

    if (const Result<> made = makeFolder(); !made) {
        failLater(TransferAlert::uploadFailed(TransferError{0, made.message()}));
        return true;
    }
    // A new export each time: nothing of an earlier, cancelled one carries over.
    const Result<LongOperation *> operation = m_handOver.prepareDatabaseForExport(exportFile(), nullptr);
    if (!operation) {
        failLater(TransferAlert::uploadFailed(TransferError{0, operation.message()}));
        return true;
    }
    m_operation = operation.value();
    connect(m_operation, &LongOperation::finished, this, &DeviceBrowser::exportFinished);
    return true;
}

void DeviceBrowser::exportFinished(OperationResult result, const QString &message)
{
    m_operation = nullptr;
    // Only a complete file, and one the user still wants sent, goes to the device.
    if (m_cancelling || result == OperationResult::Cancelled) {
        endCancelled();
        return;
    }
    if (result != OperationResult::Done) {
        fail(TransferAlert::uploadFailed(TransferError{0, message}));
        return;
    }
    m_phase = Phase::Uploading;
    uploader().uploadToURL(QUrl(m_uploadURL), exportFile());
}

void DeviceBrowser::cancel()
{
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::Downloading:
        if (m_httpDownloader)
            m_httpDownloader->abortDownload();
        return endCancelled();
    case Phase::Checking:
        return endCancelled();
    case Phase::Importing:
    case Phase::Preparing:
        // The operation stops at its next check; the transfer ends when it has.
        if (m_operation) {
            m_cancelling = true;
            m_operation->abort();
            return;
        }
        return endCancelled();
    case Phase::Uploading:
        if (m_httpUploader)
            m_httpUploader->abortUpload();
        return endCancelled();
    }
}

void DeviceBrowser::succeed(const TransferAlert &alert)
{
    settle();
    emit transferFinished(true, alert, QString());
}

void DeviceBrowser::fail(const TransferAlert &alert, const QString &detail)
{
    settle();
    emit transferFinished(false, alert, detail);
}

void DeviceBrowser::failLater(const TransferAlert &alert)
{
    QMetaObject::invokeMethod(
        this,
        [this, attempt = m_attempt, alert] {
            if (attempt == m_attempt)
                fail(alert);
        },
        Qt::QueuedConnection);
}

void DeviceBrowser::endCancelled()
{
    settle();
    emit transferCancelled();
}

void DeviceBrowser::settle()
{
    ++m_attempt;
    m_phase = Phase::Idle;
    m_cancelling = false;
    if (m_operation)
        m_operation->disconnect(this);
    m_operation = nullptr;
    m_claim.release();
    m_folder.reset();
}

} // namespace velumark
