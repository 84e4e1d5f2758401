#pragma once

#include "document/CatalogueContents.h"
#include "document/OperationClaim.h"
#include "interchange/LongOperation.h"
#include "interchange/OperationFolder.h"
#include "interchange/TransferScope.h"

#include <QString>
#include <optional>
#include <vector>

namespace velumark {

class VelumarkDatabase;

// Brings the records of another catalogue into the document: an interchange file, another
// document package, the intermediate database of a CSV import, or a file downloaded from a
// device. The merge works on a copy of the document's database in a private temporary folder;
// the document's file is replaced (by one rename) only when the whole merge succeeded and the
// copy checked out sound. The worker loads the records of the new file, so that the document only
// takes them over. A crash at any moment leaves the document as it was or fully imported; at worst
// unreferenced picture files remain.
class DatabaseImport : public LongOperation
{
    Q_OBJECT
public:
    enum class Source
    {
        InterchangeFile, // pictures in blobs
        Package,         // a ".vdb" folder: pictures as files beside its database
        Prepared, // a catalogue database made for this import (CSV, device download): moved, not copied
    };

    // A complete restore (the complete scope with overwrite) replaces every record instead of adding.
    DatabaseImport(VelumarkDatabase &document, Source source, QString sourcePath, TransferScope scope,
                   bool overwriteAllowed, QObject *parent = nullptr);
    ~DatabaseImport() override;

    bool isCompleteRestore() const;

protected:
    Result<> prepare() override;
    Result<> run() override;
    Result<> finish(Result<> outcome) override;

    // For imports that first make the database to merge (CSV): runs on the worker before the
    // merge and leaves the file at `target`. The default copies or moves the source.
    virtual Result<> prepareForeignDatabase(const QString &target);
    const QString &sourcePath() const { return m_sourcePath; }
    // The database file of the source (its "velumark.db" for a package).
    QString foreignFilePath() const;
    const OperationFolder &folder() const { return m_folder; }
    // For imports whose preparation is a long step of its own: the percent of the progress it
    // takes; the merge reports over the rest.
    void setPreparationShare(double percent) { m_preparationShare = percent; }
    // Worker thread: how far the preparation is, 0 to 1.
    void reportPreparation(double fraction) { reportProgress(fraction * m_preparationShare); }

private:
    Result<> makeWorkingCopy();
    // Merges the foreign database into the working copy, in one transaction.
    Result<> mergeIntoWorkingCopy();
    Result<> stageIntoPackage();
    // Loads the records of the staged file for the document to take over.
    Result<> loadStaged();
    void discardStaged();

    VelumarkDatabase &m_document;
    Source m_source;
    QString m_sourcePath;
    TransferScope m_scope;
    bool m_overwriteAllowed;
    double m_preparationShare = 0;
    OperationClaim m_claim;
    QString m_databasePath;
    QString m_packagePath;
    qint64 m_highestImageKey = 0;
    OperationFolder m_folder;
    QString m_stagedDatabase;
    CatalogueOrder m_order;
    std::optional<CatalogueLoad> m_loaded;
    std::vector<QString> m_movedPictures;
};

} // namespace velumark
