#include "interchange/contacts/ClientFromPerson.h"

#include "store/Localization.h"

#include <QStringList>
#include <algorithm>

namespace velumark {

namespace {

// The value of the first entry labelled `label`, or a null text.
QString firstLabelled(const MultiValue<QString> &list, const QString &label)
{
    const int index = matchMultiValue(list, label);
    return index < 0 ? QString() : list[static_cast<std::size_t>(index)].value;
}

QString withSuffix(const QString &text, const QString &suffix)
{
    return text.isEmpty() ? QString() : text + suffix;
}

void removeFinalSeparator(QString &text)
{
    if (text.endsWith(QLatin1String(", ")))
        text.chop(2);
}

// "First Middle Last": the names present, one space between them.
QString namesText(const Person &person)
{
    const QString space = QStringLiteral(" ");
    QString contact = withSuffix(person.firstName(), space) + withSuffix(person.middleName(), space) +
                      withSuffix(person.lastName(), space);
    if (contact.endsWith(space))
        contact.chop(1);
    return contact;
}

// A card without names in parts still names its person in its formatted name; a formatted name that
// only repeats the organization is the card of a company, which has no contact.
QString contactText(const Person &person)
{
    QString contact = namesText(person);
    if (contact.isEmpty() && person.formattedName().compare(person.organization(), Qt::CaseInsensitive) != 0)
        contact = person.formattedName();
    return contact.isNull() ? QStringLiteral("") : contact;
}

// "Street, City, State ZIP, Country (Work)", each part only when present.
QString addressText(const PostalAddress &address, const QString &label)
{
    const QString comma = QStringLiteral(", ");
    QString text = withSuffix(address.street, comma) + withSuffix(address.city, comma) +
                   withSuffix(address.state, QStringLiteral(" ")) + withSuffix(address.zip, comma) +
                   address.country;
    removeFinalSeparator(text);
    // A state with neither ZIP nor country would otherwise leave its space before the label.
    if (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text + QStringLiteral(" (%1)").arg(label);
}

// The word shown in parentheses after an entry that carries the label.
QString labelWord(const QString &label)
{
    static const std::pair<const QString &, const char *> words[] = {
        {ContactLabel::work, "Work"},     {ContactLabel::home, "Home"},     {ContactLabel::main, "Main"},
        {ContactLabel::iPhone, "iPhone"}, {ContactLabel::mobile, "Mobile"}, {ContactLabel::pager, "Pager"},
        {ContactLabel::other, "Other"}};
    for (const auto &[known, word] : words) {
        if (label == known)
            return localized(word);
    }
    return label; // a label of the user's own
}

QString numberText(const QString &number, const QString &label, bool followed)
{
    if (number.isEmpty())
        return QString();
    return number + (followed ? QStringLiteral(" (%1), ") : QStringLiteral(" (%1)")).arg(label);
}

// The first work address, then the first home address, one per line.
void fillAddress(Client &client, const Person &person)
{
    const MultiValue<PostalAddress> &addresses = person.addresses();
    QStringList texts;
    if (const int work = matchMultiValue(addresses, ContactLabel::work); work >= 0)
        texts.append(addressText(addresses[static_cast<std::size_t>(work)].value, localized("Work")));
    if (const int home = matchMultiValue(addresses, ContactLabel::home); home >= 0)
        texts.append(addressText(addresses[static_cast<std::size_t>(home)].value, localized("Home")));
    // Without either, the first address of any label.
    if (texts.isEmpty() && !addresses.empty())
        texts.append(addressText(addresses.front().value, labelWord(addresses.front().label)));
    if (!texts.isEmpty())
        client.setAddress(texts.join(QLatin1Char('\n')));
}

// The first work e-mail, then the first home e-mail, separated by a comma alone.
void fillEmail(Client &client, const Person &person)
{
    QStringList emails;
    if (const int work = matchMultiValue(person.emails(), ContactLabel::work); work >= 0)
        emails.append(person.emails()[static_cast<std::size_t>(work)].value);
    if (const int home = matchMultiValue(person.emails(), ContactLabel::home); home >= 0)
        emails.append(person.emails()[static_cast<std::size_t>(home)].value);
    if (emails.isEmpty() && !person.emails().empty())
        emails.append(person.emails().front().value);
    if (!emails.isEmpty())
        client.setEmail(emails.join(QLatin1Char(',')));
}

// Phone and fax only for a person with phone numbers; numbers in the order main, work, home, iPhone,
// mobile, each followed by its label.
void fillPhoneAndFax(Client &client, const Person &person)
{
    const MultiValue<QString> &phones = person.phones();
    if (phones.empty())
        return;
    QString phone = numberText(firstLabelled(phones, ContactLabel::main), localized("Main"), true) +
                    numberText(firstLabelled(phones, ContactLabel::work), localized("Work"), true) +
                    numberText(firstLabelled(phones, ContactLabel::home), localized("Home"), true) +
                    numberText(firstLabelled(phones, ContactLabel::iPhone), localized("iPhone"), true) +
                    numberText(firstLabelled(phones, ContactLabel::mobile), localized("Mobile"), false);
    if (phone.isEmpty()) {
        // None of those: the first number that is not a fax.
        const auto number =
            std::find_if(phones.begin(), phones.end(), [](const LabeledValue<QString> &entry) {
                return entry.label != ContactLabel::workFax && entry.label != ContactLabel::homeFax;
            });
        if (number != phones.end())
            phone = numberText(number->value, labelWord(number->label), false);
    }
    removeFinalSeparator(phone);
    client.setPhone(phone.isNull() ? QStringLiteral("") : phone);

    QString fax = numberText(firstLabelled(phones, ContactLabel::workFax), localized("Work"), true) +
                  numberText(firstLabelled(phones, ContactLabel::homeFax), localized("Home"), false);
    removeFinalSeparator(fax);
    client.setFax(fax.isNull() ? QStringLiteral("") : fax);
}

} // namespace

QString clientCompany(const Person &person)
{
    const QString contact = contactText(person);
    QString company = person.organization().isEmpty() ? contact : person.organization();
    if (company.isEmpty() && contact.isEmpty())
        company = localized("No Name");
    return company;
}

void fillClientWithPerson(Client &client, const Person &person)
{
    client.setContact(contactText(person));
    client.setCompany(clientCompany(person));
    fillAddress(client, person);
    // The home page, else the first address of any label.
    const int homePage = std::max(matchMultiValue(person.urls(), ContactLabel::homePage), 0);
    if (!person.urls().empty())
        client.setWeb(person.urls()[static_cast<std::size_t>(homePage)].value);
    fillEmail(client, person);
    fillPhoneAndFax(client, person);
    if (!person.note().isNull())
        client.setNotes(person.note());
}

std::unique_ptr<Client> clientWithPerson(const Person &person)
{
    auto client = std::make_unique<Client>();
    fillClientWithPerson(*client, person);
    return client;
}

bool addClientWithPerson(const Person *person, const AddClientFunction &addClient)
{
    if (!person)
        return false;
    return addClient(clientWithPerson(*person));
}

} // namespace velumark
