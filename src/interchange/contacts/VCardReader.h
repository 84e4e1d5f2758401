#pragma once

#include "interchange/contacts/Person.h"

#include <QByteArrayView>
#include <optional>

namespace velumark {

// Reads one vCard (2.1, 3.0 or 4.0) from "BEGIN:VCARD" to "END:VCARD" into a person. Each value is
// decoded by its own ENCODING and CHARSET parameters (UTF-8 when it names none). Nothing when the
// card holds no name, organization, note, address, web address, e-mail address or phone number.
std::optional<Person> readVCardPerson(QByteArrayView card);

} // namespace velumark
