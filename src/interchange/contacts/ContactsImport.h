#pragma once

#include "interchange/contacts/VCardImport.h"
#include "store/Result.h"

#include <QString>
#include <functional>
#include <vector>

namespace velumark {

class Client;
class VelumarkDatabase;

// One import of contact cards (files, folders or dropped text) into the document's clients. Every
// client of the import is stored in one transaction: all of them, or, when storing fails or the
// import is stopped before its end, none (the document then drops them again). A process killed
// meanwhile leaves the catalogue as it was.
class ContactsImport
{
public:
    explicit ContactsImport(VelumarkDatabase &document);
    ContactsImport(const ContactsImport &) = delete;
    ContactsImport &operator=(const ContactsImport &) = delete;

    // Hands the cards to the import (importFile, importFolder, parsevCardsInString of cards()) and
    // stores the clients they make. Fails with the reason, naming the catalogue, when nothing
    // was stored.
    Result<> run(const std::function<void(VCardImport &)> &addCards);

    // What was added and left out (what was added counts only when run() succeeded).
    const VCardImport &cards() const { return m_cards; }

private:
    void dropAdded();

    VelumarkDatabase &m_document;
    std::vector<Client *> m_added;
    VCardImport m_cards;
};

} // namespace velumark
