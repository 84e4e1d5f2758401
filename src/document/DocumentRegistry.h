#pragma once

#include "store/AppPreferences.h"

#include <QPointer>
#include <QString>
#include <vector>

namespace velumark {

class VelumarkDatabase;

// The open documents of this process and the main one, which interchange acts on. Every open
// document follows the preferences: the registry listens to the preferences object of the time a
// document registers (getPreferences()). Main thread only.
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

private:
    DocumentRegistry() = default;

    void followPreferences();
    // After "Sort artworks by artist" changed: re-sort every document's artworks, then refresh.
    void notifyDatabasesOfArtworkReSort();
    // After the deadline highlighting changed: refresh every document's current list.
    void notifyDatabasesOfDeadlineSetting();

    std::vector<VelumarkDatabase *> m_dbArray;
    VelumarkDatabase *m_mainDocument = nullptr;
    QPointer<AppPreferences> m_followed;
};

} // namespace velumark
