#pragma once

#include <QString>
#include <vector>

namespace velumark {

class VelumarkDatabase;

// The open documents of this process and the main one, which interchange acts on, plus the
// relays that apply changed preferences to every open document. Main thread only.
class DocumentRegistry
{
public:
    static DocumentRegistry &shared();

    void registerDatabase(VelumarkDatabase *database);
    void deregisterDatabase(VelumarkDatabase *database);
    const std::vector<VelumarkDatabase *> &dbArray() const { return m_dbArray; }

    void registerAsMainDocument(VelumarkDatabase *database) { m_mainDocument = database; }
    VelumarkDatabase *getMainDocument() const { return m_mainDocument; }

    // Whether an open document's package is this path (compared in canonical form).
    bool isDatabaseLoaded(const QString &packagePath) const;

    // After "Sort artworks by artist" changed: re-sort every document's artworks, then refresh.
    void notifyDatabasesOfArtworkReSort();
    // After the deadline highlighting changed: refresh every document's current list.
    void notifyDatabasesOfDeadlineSetting();

private:
    DocumentRegistry() = default;

    std::vector<VelumarkDatabase *> m_dbArray;
    VelumarkDatabase *m_mainDocument = nullptr;
};

} // namespace velumark
