#pragma once

#include "document/PackageDestination.h"

#include <QObject>
#include <QPointer>
#include <QString>

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

    // "csv"/"CSV": a CSV import; "vdbi"/"VDBI": an interchange file; anything else a package.
    // `restore` replaces every record (complete scope only). Null with the reason when nothing
    // started (for example the source is the package of an open document).
    LongOperation *importLocalDatabase(const QString &path, int scope, OperationWatcher *watcher,
                                       QString *error, bool restore = false);
    // "csv"/"CSV": a CSV export; anything else a database export (".vdbi" file or ".vdb" package).
    // A catalogue that exists at a package destination is replaced only with Replace (the windows
    // ask first).
    LongOperation *exportLocalDatabase(const QString &path, int scope, OperationWatcher *watcher,
                                       QString *error, ExistingCatalogue existing = ExistingCatalogue::Keep);
    // The complete interchange file (pictures inside) that a device receives, written to `path`.
    LongOperation *prepareDatabaseForExport(const QString &path, OperationWatcher *watcher, QString *error);
    // The HTML report: photo size code 1..4.
    LongOperation *exportReport(const QString &folder, const QString &filename, int sizeCode,
                                OperationWatcher *watcher, QString *error);
    // A catalogue database that was made for this import (a download): it is moved, not copied.
    LongOperation *importPreparedDatabase(const QString &path, int scope, bool overwriteAllowed,
                                          OperationWatcher *watcher, QString *error);

    // The Cancel button of any interchange window.
    void cancelImportExport();
    LongOperation *currentOperation() const { return m_operation; }

    static bool isCsvPath(const QString &path);
    // Why the path may not be imported from (or exported to): it is an open catalogue's package
    // (or lies inside the main catalogue's); empty when it may.
    static QString refusal(const QString &path, bool import);

private:
    VelumarkDatabase *mainDocument(QString *error) const;
    LongOperation *begin(LongOperation *operation, OperationWatcher *watcher, QString *error);

    QPointer<LongOperation> m_operation;
};

} // namespace velumark
