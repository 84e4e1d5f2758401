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

namespace {
bool refuse(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}
} // namespace

InterchangeHandOver::InterchangeHandOver(QObject *parent) : QObject(parent) {}

InterchangeHandOver::~InterchangeHandOver() = default;

bool InterchangeHandOver::isCsvPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix == QLatin1String("csv") || suffix == QLatin1String("CSV");
}

QString InterchangeHandOver::refusal(const QString &path, bool import)
{
    const DocumentRegistry &registry = DocumentRegistry::shared();
    if (import) {
        if (registry.isDatabaseLoaded(path))
            return localized("Importing from a currently open database is not permitted. Please select "
                             "another database for import.");
        return {};
    }
    const VelumarkDatabase *main = registry.getMainDocument();
    if (registry.isDatabaseLoaded(path) || (main && DocumentPackage::isInside(path, main->packageFilename())))
        return localized("Exporting to a currently open database is not permitted. Please select another "
                         "database for export.");
    return {};
}

VelumarkDatabase *InterchangeHandOver::mainDocument(QString *error) const
{
    VelumarkDatabase *document = DocumentRegistry::shared().getMainDocument();
    if (!document)
        refuse(error, localized("No catalogue is open."));
    return document;
}

LongOperation *InterchangeHandOver::begin(LongOperation *operation, OperationWatcher *watcher, QString *error)
{
    if (m_operation && m_operation->isRunning()) {
        delete operation;
        refuse(error, localized("Another import or export is running. Wait until it has finished."));
        return nullptr;
    }
    operation->setParent(this);
    if (watcher)
        operation->setWatcher(watcher);
    connect(operation, &LongOperation::finished, operation, &QObject::deleteLater);
    if (!operation->start(error)) {
        delete operation;
        return nullptr;
    }
    m_operation = operation;
    return operation;
}

LongOperation *InterchangeHandOver::importLocalDatabase(const QString &path, int scope,
                                                        OperationWatcher *watcher, QString *error,
                                                        bool restore)
{
    VelumarkDatabase *document = mainDocument(error);
    if (!document)
        return nullptr;
    if (const QString refused = refusal(path, true); !refused.isEmpty()) {
        refuse(error, refused);
        return nullptr;
    }
    if (restore && (scope != ExportScope::Complete || isCsvPath(path))) {
        refuse(error, localized("Only a complete database can be restored."));
        return nullptr;
    }
    LongOperation *operation = nullptr;
    if (isCsvPath(path))
        operation = new CsvImport(*document, path, scope);
    else if (DatabaseExport::isInterchangePath(path))
        operation =
            new DatabaseImport(*document, DatabaseImport::Source::InterchangeFile, path, scope, restore);
    else
        operation = new DatabaseImport(*document, DatabaseImport::Source::Package, path, scope, restore);
    return begin(operation, watcher, error);
}

LongOperation *InterchangeHandOver::exportLocalDatabase(const QString &path, int scope,
                                                        OperationWatcher *watcher, QString *error,
                                                        ExistingCatalogue existing)
{
    VelumarkDatabase *document = mainDocument(error);
    if (!document)
        return nullptr;
    if (const QString refused = refusal(path, false); !refused.isEmpty()) {
        refuse(error, refused);
        return nullptr;
    }
    LongOperation *operation = nullptr;
    if (isCsvPath(path))
        operation = new CsvExport(*document, path, scope);
    else
        operation = new DatabaseExport(*document, path, scope, existing);
    return begin(operation, watcher, error);
}

LongOperation *InterchangeHandOver::prepareDatabaseForExport(const QString &path, OperationWatcher *watcher,
                                                             QString *error)
{
    if (!DatabaseExport::isInterchangePath(path)) {
        refuse(error, localized("A device receives an interchange file (.vdbi)."));
        return nullptr;
    }
    return exportLocalDatabase(path, ExportScope::Complete, watcher, error);
}

LongOperation *InterchangeHandOver::exportReport(const QString &folder, const QString &filename, int sizeCode,
                                                 OperationWatcher *watcher, QString *error)
{
    VelumarkDatabase *document = mainDocument(error);
    if (!document)
        return nullptr;
    return begin(new ReportExport(*document, folder, filename, sizeCode), watcher, error);
}

LongOperation *InterchangeHandOver::importPreparedDatabase(const QString &path, int scope,
                                                           bool overwriteAllowed, OperationWatcher *watcher,
                                                           QString *error)
{
    VelumarkDatabase *document = mainDocument(error);
    if (!document)
        return nullptr;
    return begin(
        new DatabaseImport(*document, DatabaseImport::Source::Prepared, path, scope, overwriteAllowed),
        watcher, error);
}

void InterchangeHandOver::cancelImportExport()
{
    if (m_operation)
        m_operation->abort();
}

} // namespace velumark
