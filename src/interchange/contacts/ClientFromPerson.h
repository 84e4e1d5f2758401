#pragma once

#include "interchange/contacts/Person.h"
#include "store/Client.h"

#include <functional>
#include <memory>

namespace velumark {

// Hands a new client to the document, which stores it; whether it was added.
using AddClientFunction = std::function<bool(std::unique_ptr<Client>)>;

// The company a person's client gets: the organization, else the contact's name, else "No Name".
QString clientCompany(const Person &person);
// Writes the person's names, addresses, web page, e-mail, phone and fax numbers and note into the
// client's fields. Fields the person has nothing for keep their value. Where the person has no
// entry with the labels a field takes (home page; work and home addresses and e-mails; main, work,
// home, iPhone and mobile numbers), the field takes the first entry of that kind instead.
void fillClientWithPerson(Client &client, const Person &person);
// A new client (not stored) made from the person.
std::unique_ptr<Client> clientWithPerson(const Person &person);
// Makes a client of the person and hands it to addClient; false for no person.
bool addClientWithPerson(const Person *person, const AddClientFunction &addClient);

} // namespace velumark
