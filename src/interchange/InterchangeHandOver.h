#pragma once

#include "document/PackageDestination.h"
#include "interchange/TransferScope.h"
#include "store/PictureSize.h"
#include "store/Result.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

namespace velumark {

class LongOperation;
class OperationWatcher;
class VelumarkDatabase;

// Hands the import and export requests of the front ends (dialogs, the command line, the
// device transfer) to the application's main document, starts the matching operation and lets
// one watcher follow it. One operation at a time.
class InterchangeHandOver : public QObject
{
    Q_OBJECT
public:
    explicit InterchangeHandOver(QObject *parent = nullptr);
    ~InterchangeHandOver() override;

    // Each starts the operation on the main document and returns it (owned by the hand-over, gone
    // after its end), or fails with the reason when nothing started.

    // "csv"/"CSV": a CSV import; "vdbi"/"VDBI": an interchange file; anything else a package.
    // `restore` replaces every record (complete scope only). Refused, for example, when the
    // source is the package of an open document.
    Result<LongOperation *> importLocalDatabase(const QString &path, TransferScope scope,
                                                OperationWatcher *watcher, bool restore = false);
    // "csv"/"CSV": a CSV export; anything else a database export (".vdbi" file or ".vdb" package).
    // A catalogue that exists at a package destination is replaced only with Replace (the windows
    // ask first).
    Result<LongOperation *> exportLocalDatabase(const QString &path, TransferScope scope,
                                                OperationWatcher *watcher,
                                                ExistingCatalogue existing = ExistingCatalogue::Keep);
    // The complete interchange file (pictures inside) that a device receives, written to `path`.
    Result<LongOperation *> prepareDatabaseForExport(const QString &path, OperationWatcher *watcher);
    // The HTML report with its pictures in the size given.
    Result<LongOperation *> exportReport(const QString &folder, const QString &filename, PictureSize size,
                                         OperationWatcher *watcher);
    // A catalogue database that was made for this import (a download): it is moved, not copied.
    Result<LongOperation *> importPreparedDatabase(const QString &path, TransferScope scope,
                                                   bool overwriteAllowed, OperationWatcher *watcher);

    // Stops the operation under way (the Cancel of any interchange window, Ctrl-C).
    void cancelImportExport();
    LongOperation *currentOperation() const { return m_operation; }

    static bool isCsvPath(const QString &path);
    // Fails with the reason when the path may not be imported from (or exported to): it is an
    // open catalogue's package (or lies inside the main catalogue's).
    static Result<> checkTransferPath(const QString &path, bool import);

private:
    static Result<VelumarkDatabase *> mainDocument();
    Result<LongOperation *> begin(std::unique_ptr<LongOperation> operation, OperationWatcher *watcher);

    QPointer<LongOperation> m_operation;
};

} // namespace velumark
