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

// Why a file is not a complete catalogue database; none when it is one.
std::optional<QString> databaseProblem(const QString &path)
{
    QString error;
    if (DatabaseFile::verifyForeign(path, &error))
        return std::nullopt;
    return error;
}

} // namespace

void DeviceBrowser::EndOperation::operator()(VelumarkDatabase *document) const
{
    document->endOperation();
}

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
        connect(m_operation.data(), &QObject::destroyed, [folder = m_folder] {});
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

bool DeviceBrowser::claimMainDocument(QString *error)
{
    VelumarkDatabase *document = DocumentRegistry::shared().getMainDocument();
    if (!document) {
        *error = localized("No catalogue is open.");
        return false;
    }
    if (!document->beginOperation(error))
        return false;
    m_claim.reset(document);
    return true;
}

bool DeviceBrowser::makeFolder(QString *error)
{
    m_folder = std::make_shared<OperationFolder>();
    if (m_folder->isValid())
        return true;
    *error = localized("The cache folder for temporary files cannot be created.");
    return false;
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

    QString error;
    if (!claimMainDocument(&error) || !makeFolder(&error)) {
        failLater(TransferAlert::downloadFailed(TransferError{0, error}));
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
    auto *check = new QFutureWatcher<std::optional<QString>>(this);
    connect(check, &QFutureWatcherBase::finished, this, [this, check, attempt = m_attempt] {
        check->deleteLater();
        if (attempt == m_attempt)
            checkFinished(check->result());
    });
    // The folder stays while the check reads from it, even when the transfer is cancelled meanwhile.
    check->setFuture(QtConcurrent::run(
        [path = m_folder->importDatabase(), folder = m_folder] { return databaseProblem(path); }));
}

void DeviceBrowser::checkFinished(const std::optional<QString> &problem)
{
    // Whatever a device sends is untrusted: an error page, a cut-off file or anything else that
    // is not a whole catalogue never reaches the import.
    if (problem) {
        fail(TransferAlert::downloadFailed(TransferError{
            0, localized("The device did not send a complete catalogue database: %1").arg(*problem)}));
        return;
    }
    m_claim.reset();
    QString error;
    // The device restore replaces the catalogue: overwriting is allowed, which makes choice 0 a
    // complete restore and leaves the other choices adding records.
    LongOperation *operation = m_handOver.importPreparedDatabase(m_folder->importDatabase(),
                                                                 m_importSelection, true, nullptr, &error);
    if (!operation) {
        fail(*TransferAlert::importFinished(OperationResult::Failed), error);
        return;
    }
    m_phase = Phase::Importing;
    m_operation = operation;
    connect(operation, &LongOperation::progress, this,
            [this](double percent) { m_progress.importProgressUpdate(percent); });
    connect(operation, &LongOperation::finished, this, &DeviceBrowser::importFinished);
}

void DeviceBrowser::importFinished(int result, const QString &message)
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

    QString error;
    if (!makeFolder(&error)) {
        failLater(TransferAlert::uploadFailed(TransferError{0, error}));
        return true;
    }
    // A new export each time: nothing of an earlier, cancelled one carries over.
    LongOperation *operation = m_handOver.prepareDatabaseForExport(exportFile(), nullptr, &error);
    if (!operation) {
        failLater(TransferAlert::uploadFailed(TransferError{0, error}));
        return true;
    }
    m_operation = operation;
    connect(operation, &LongOperation::finished, this, &DeviceBrowser::exportFinished);
    return true;
}

void DeviceBrowser::exportFinished(int result, const QString &message)
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

void DeviceBrowser::cancelButtonPressed()
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
    m_claim.reset();
    m_folder.reset();
}

} // namespace velumark
