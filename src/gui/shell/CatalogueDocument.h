#pragma once

#include "document/PackageDestination.h"
#include "store/Result.h"

#include <QString>
#include <memory>

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

// The catalogue one window shows: the document and every call the windows make into its file
// handling, kept together.
class CatalogueDocument
{
public:
    // Opens the package, making a fresh catalogue there when nothing is at the path yet.
    static Result<std::unique_ptr<CatalogueDocument>> open(const QString &packagePath);
    // A catalogue without a file of the user's: "Untitled", "Untitled 2"... in the application's
    // data folder, skipping names open here or in another program. A package left there by an
    // earlier run is opened again with its records.
    static Result<std::unique_ptr<CatalogueDocument>> openUntitled();

    ~CatalogueDocument();
    CatalogueDocument(const CatalogueDocument &) = delete;
    CatalogueDocument &operator=(const CatalogueDocument &) = delete;

    VelumarkDatabase &database() const { return *m_database; }
    QString packagePath() const;
    QString displayName() const;
    bool isUntitled() const;

    // Writes every changed record.
    Result<> save();
    // Saves, copies the package to the target and goes on there. An untitled package is then
    // removed: it only stood in for the place the user has now chosen.
    Result<> saveAs(const QString &targetPackagePath, ExistingCatalogue existing);
    // Writes every changed record and closes the file; fails (and stays open) when that failed.
    Result<> close();
    // The untitled package is removed when this object goes (the user chose not to save it).
    void discardWhenGone() { m_discard = true; }
    // The window of this catalogue became the active one: interchange acts on it.
    void becomeMain();

private:
    explicit CatalogueDocument(std::unique_ptr<VelumarkDatabase> database);

    std::unique_ptr<VelumarkDatabase> m_database;
    bool m_discard = false;
};

} // namespace velumark::gui
