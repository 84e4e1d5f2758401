#include "interchange/contacts/DocumentContacts.h"

#include "document/VelumarkDatabase.h"
#include "interchange/contacts/ClientFromPerson.h"

namespace velumark {

bool addClientWithPerson(VelumarkDatabase &document, const Person *person)
{
    return addClientWithPerson(person, [&document](std::unique_ptr<Client> client) {
        return document.addClient(std::move(client)) != nullptr;
    });
}

} // namespace velumark
