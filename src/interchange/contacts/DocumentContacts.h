#pragma once

#include "interchange/contacts/VCardImport.h"

namespace velumark {

class VelumarkDatabase;
struct Person;

// The document's side of contacts: a person becomes a client of the document (added, saved and
// sorted by the document), and vCard text or files dropped on the client list become clients.
bool addClientWithPerson(VelumarkDatabase &document, const Person *person);
VCardImport vCardImportFor(VelumarkDatabase &document);

} // namespace velumark
