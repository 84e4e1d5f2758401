#include "interchange/contacts/Person.h"

namespace velumark {

bool Person::isEmpty() const
{
    return m_firstName.isEmpty() && m_middleName.isEmpty() && m_lastName.isEmpty() &&
           m_formattedName.isEmpty() && m_organization.isEmpty() && m_note.isEmpty() && m_addresses.empty() &&
           m_urls.empty() && m_emails.empty() && m_phones.empty();
}

} // namespace velumark
