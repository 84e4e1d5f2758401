#include "interchange/contacts/ContactsImport.h"

#include "document/VelumarkDatabase.h"
#include "interchange/OperationFolder.h"
#include "interchange/contacts/ClientFromPerson.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/Localization.h"

#include <QDir>

namespace velumark {

ContactsImport::ContactsImport(VelumarkDatabase &document)
    : m_document(document), m_cards([this](const Person *person) {
          return addClientWithPerson(person, [this](std::unique_ptr<Client> client) {
              Client *added = m_document.addClient(std::move(client));
              m_added.push_back(added);
              return added != nullptr;
          });
      })
{}

Result<> ContactsImport::run(const std::function<void(VCardImport &)> &addCards)
{
    if (const Result<> editable = m_document.checkEditable(); !editable)
        return editable;
    SqliteConnection *db = m_document.database();
    auto fail = [&](const QString &reason) -> Result<> {
        if (db)
            DatabaseFile::rollbackTransaction(*db);
        dropAdded();
        return Failure{localized("No client was added to %1: %2")
                           .arg(QDir::toNativeSeparators(m_document.dbFilename()), reason)};
    };
    // One transaction for the whole import: one write to the disk instead of several per card.
    if (!db || !DatabaseFile::beginTransaction(*db))
        return fail(db ? db->errorMessage() : localized("the catalogue is not open"));
    try {
        addCards(m_cards);
    } catch (const DatabaseError &failure) {
        return fail(failure.message());
    }
    crashPoint("contacts-added");
    if (!DatabaseFile::endTransaction(*db))
        return fail(db->errorMessage());
    return {};
}

void ContactsImport::dropAdded()
{
    // The rows went with the transaction; the records go from the lists.
    for (auto it = m_added.rbegin(); it != m_added.rend(); ++it) {
        try {
            if (*it)
                m_document.removeClient(*it);
        } catch (const DatabaseError &) {
            // The row is gone already; only a record the lists still show would remain.
        }
    }
    m_added.clear();
}

} // namespace velumark
