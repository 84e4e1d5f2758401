#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace velumark {

// The temporary files of one import or export: a folder of its own inside the application's
// cache folder (so two operations or two running instances never share files), removed with
// everything in it when the operation object goes, whatever the outcome. The folders that killed
// processes left are removed when the next one is made.
class OperationFolder
{
public:
    OperationFolder();
    bool isValid() const { return m_folder && m_folder->isValid(); }
    QString path() const { return isValid() ? m_folder->path() : QString(); }

    QString exportCopy() const { return file("temp_velumark_export.db"); }
    QString importDatabase() const { return file("temp_velumark_import.db"); }
    QString workingCopy() const { return file("temp_velumark_backup.db"); }
    // Picture files of imported images under their new keys, until they move into the package.
    QString tempPhotos() const { return file("temp_photos"); }
    // Where imported images read picture files that are not in their rows.
    QString importPhotos() const { return file("temp_import_photos"); }

private:
    QString file(const char *name) const;

    std::unique_ptr<QTemporaryDir> m_folder;
};

// A share in an operation folder, held for an object that uses the folder on its own (an export
// that is still stopping while its transfer has ended): the folder stays until that object is
// destroyed, as the share is its child.
class OperationFolderShare : public QObject
{
public:
    OperationFolderShare(std::shared_ptr<const OperationFolder> folder, QObject *user)
        : QObject(user), m_folder(std::move(folder))
    {}

private:
    std::shared_ptr<const OperationFolder> m_folder;
};

// Lets the crash-safety tests stop the process at an exact point of an operation: when the
// environment variable VELUMARK_CRASH_AT names the point, the process ends at once, as a
// killed process would.
void crashPoint(const char *name);
// The same at a share of the work: VELUMARK_CRASH_AT=progress-N ends the process once an operation
// reports N percent or more.
void crashAtProgress(int percent);

} // namespace velumark
