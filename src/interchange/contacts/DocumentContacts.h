#pragma once

namespace velumark {

class VelumarkDatabase;
struct Person;

// The document's side of contacts: a person becomes a client of the document (added, saved and
// sorted by the document). Cards from files or dropped text go through ContactsImport.
bool addClientWithPerson(VelumarkDatabase &document, const Person *person);

} // namespace velumark
