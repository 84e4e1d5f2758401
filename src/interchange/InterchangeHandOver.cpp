#include "interchange/InterchangeHandOver.h"

#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "interchange/DatabaseExport.h"
#include "interchange/DatabaseImport.h"
#include "interchange/csv/CsvExport.h"
#include "interchange/csv/CsvImport.h"
#include "interchange/report/ReportExport.h"
#include "store/Localization.h"

#include <QFileInfo>

namespace velumark {

InterchangeHandOver::InterchangeHandOver(QObject *parent) : QObject(parent) {}

InterchangeHandOver::~InterchangeHandOver() = default;

bool InterchangeHandOver::isCsvPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix == QLatin1String("csv") || suffix == QLatin1String("CSV");
}

Result<> InterchangeHandOver::checkTransferPath(const QString &path, bool import)
{
    const DocumentRegistry &registry = DocumentRegistry::shared();
    if (import) {
        if (registry.isDatabaseLoaded(path))
            return Failure{localized("Importing from a currently open database is not permitted. Please "
                                     "select another database for import.")};
        return {};
    }
    const VelumarkDatabase *main = registry.getMainDocument();
    if (registry.isDatabaseLoaded(path) || (main && DocumentPackage::isInside(path, main->packageFilename())))
        return Failure{localized("Exporting to a currently open database is not permitted. Please select "
                                 "another database for export.")};
    return {};
}

Result<VelumarkDatabase *> InterchangeHandOver::mainDocument()
{
    if (VelumarkDatabase *document = DocumentRegistry::shared().getMainDocument())
        return document;
    return Failure{localized("No catalogue is open.")};
}

Result<LongOperation *> InterchangeHandOver::begin(std::unique_ptr<LongOperation> operation,
                                                   OperationWatcher *watcher)
{
    if (m_operation && m_operation->isRunning())
        return Failure{localized("Another import or export is running. Wait until it has finished.")};
    if (watcher)
        operation->setWatcher(watcher);
    if (const Result<> started = operation->start(); !started)
        return Failure{started.message()};
    LongOperation *running = operation.release();
    running->setParent(this);
    connect(running, &LongOperation::finished, running, &QObject::deleteLater);
    m_operation = running;
    return running;
}

Result<LongOperation *> InterchangeHandOver::importLocalDatabase(const QString &path, TransferScope scope,
                                                                 OperationWatcher *watcher, bool restore)
{
    const Result<VelumarkDatabase *> document = mainDocument();
    if (!document)
        return Failure{document.message()};
    if (const Result<> allowed = checkTransferPath(path, true); !allowed)
        return Failure{allowed.message()};
    if (restore && (scope != TransferScope::Complete || isCsvPath(path)))
        return Failure{localized("Only a complete database can be restored.")};
    if (isCsvPath(path))
        return begin(std::make_unique<CsvImport>(*document.value(), path, scope), watcher);
    const DatabaseImport::Source source = DatabaseExport::isInterchangePath(path)
                                              ? DatabaseImport::Source::InterchangeFile
                                              : DatabaseImport::Source::Package;
    return begin(std::make_unique<DatabaseImport>(*document.value(), source, path, scope, restore), watcher);
}

Result<LongOperation *> InterchangeHandOver::exportLocalDatabase(const QString &path, TransferScope scope,
                                                                 OperationWatcher *watcher,
                                                                 ExistingCatalogue existing)
{
    const Result<VelumarkDatabase *> document = mainDocument();
    if (!document)
        return Failure{document.message()};
    if (const Result<> allowed = checkTransferPath(path, false); !allowed)
        return Failure{allowed.message()};
    if (isCsvPath(path))
        return begin(std::make_unique<CsvExport>(*document.value(), path, scope), watcher);
    return begin(std::make_unique<DatabaseExport>(*document.value(), path, scope, existing), watcher);
}

Result<LongOperation *> InterchangeHandOver::prepareDatabaseForExport(const QString &path,
                                                                      OperationWatcher *watcher)
{
    if (!DatabaseExport::isInterchangePath(path))
        return Failure{localized("A device receives an interchange file (.vdbi).")};
    return exportLocalDatabase(path, TransferScope::Complete, watcher);
}

Result<LongOperation *> InterchangeHandOver::exportReport(const QString &folder, const QString &filename,
                                                          PictureSize size, OperationWatcher *watcher)
{
    const Result<VelumarkDatabase *> document = mainDocument();
    if (!document)
        return Failure{document.message()};
    return begin(std::make_unique<ReportExport>(*document.value(), folder, filename, size), watcher);
}

Result<LongOperation *> InterchangeHandOver::importPreparedDatabase(const QString &path, TransferScope scope,
                                                                    bool overwriteAllowed,
                                                                    OperationWatcher *watcher)
{
    const Result<VelumarkDatabase *> document = mainDocument();
    if (!document)
        return Failure{document.message()};
    return begin(std::make_unique<DatabaseImport>(*document.value(), DatabaseImport::Source::Prepared, path,
                                                  scope, overwriteAllowed),
                 watcher);
}

void InterchangeHandOver::cancelImportExport()
{
    if (m_operation)
        m_operation->abort();
}

} // namespace velumark
