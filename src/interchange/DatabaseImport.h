#pragma once

#include "interchange/LongOperation.h"
#include "interchange/OperationFolder.h"

#include <QString>
#include <vector>

namespace velumark {

class VelumarkDatabase;

// Brings the records of another catalogue into the document: an interchange file, another
// document package, the intermediate database of a CSV import, or a file downloaded from a
// device. The merge works on a copy of the document's database in a private temporary folder;
// the document's file is replaced (by one rename) only when the whole merge succeeded and the
// copy checked out sound, and the document is then reloaded. A crash at any moment leaves the
// document as it was or fully imported; at worst unreferenced picture files remain.
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

    // A complete restore (scope 0 with overwrite) replaces every record instead of adding.
    DatabaseImport(VelumarkDatabase &document, Source source, QString sourcePath, int scope,
                   bool overwriteAllowed, QObject *parent = nullptr);
    ~DatabaseImport() override;

    bool isCompleteRestore() const;

protected:
    bool prepare(QString *error) override;
    Outcome run() override;
    Outcome finish(Outcome outcome) override;

    // For imports that first make the database to merge (CSV): runs on the worker before the
    // merge and leaves the file at `target`. The default copies or moves the source.
    virtual Outcome prepareForeignDatabase(const QString &target);
    const QString &sourcePath() const { return m_sourcePath; }
    // The database file of the source (its "velumark.db" for a package).
    QString foreignFilePath() const;
    const OperationFolder &folder() const { return m_folder; }

    static Outcome failed(const QString &message) { return {OperationResult::Failed, message}; }
    static Outcome cancelled() { return {OperationResult::Cancelled, {}}; }

private:
    Outcome makeWorkingCopy();
    Outcome stageIntoPackage();
    void discardStaged();

    VelumarkDatabase &m_document;
    Source m_source;
    QString m_sourcePath;
    int m_scope;
    bool m_overwriteAllowed;
    bool m_began = false;
    QString m_databasePath;
    QString m_packagePath;
    qint64 m_highestImageKey = 0;
    OperationFolder m_folder;
    QString m_stagedDatabase;
    std::vector<QString> m_movedPictures;
};

} // namespace velumark
