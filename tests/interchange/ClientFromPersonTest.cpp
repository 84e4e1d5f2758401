#include "interchange/contacts/ClientFromPerson.h"

#include <gtest/gtest.h>

using namespace velumark;

namespace {

// The text, or a null string for "".
QString text(const char *utf8)
{
    return *utf8 ? QString::fromUtf8(utf8) : QString();
}

MultiValue<QString> entries(std::initializer_list<std::pair<QString, const char *>> list)
{
    MultiValue<QString> result;
    for (const auto &[label, value] : list)
        result.push_back({label, text(value)});
    return result;
}

} // namespace

TEST(ClientFromPerson, ContactAndCompanyFromNamesOrganizationOrNothing)
{
    struct Case
    {
        const char *first, *middle, *last, *formatted, *organization, *contact, *company;
    };
    for (const Case &c : std::initializer_list<Case>{
             {"Ann", "", "Lee", "", "", "Ann Lee", "Ann Lee"},
             {"Ann", "Marie", "Lee", "", "Lee & Stone", "Ann Marie Lee", "Lee & Stone"},
             {"", "", "Lee", "", "", "Lee", "Lee"},
             {"", "", "", "", "Galerie Nord", "", "Galerie Nord"},
             {"", "", "", "", "", "", "No Name"},
             // A formatted name stands in for missing names, but a company's card names no contact.
             {"", "", "", "Ann Lee", "", "Ann Lee", "Ann Lee"},
             {"", "", "", "Ann Lee", "ann lee", "", "ann lee"},
             {"", "", "Stone", "Ann Lee", "ann lee", "Stone", "ann lee"},
         }) {
        Person person;
        person.setFirstName(text(c.first));
        person.setMiddleName(text(c.middle));
        person.setLastName(text(c.last));
        person.setFormattedName(text(c.formatted));
        person.setOrganization(text(c.organization));
        const auto client = clientWithPerson(person);
        EXPECT_EQ(client->contact().toStdString(), c.contact);
        EXPECT_EQ(client->company().toStdString(), c.company);
    }

    // The other fields keep the defaults of a new client.
    const auto client = clientWithPerson(Person());
    EXPECT_TRUE(client->status());
    EXPECT_EQ(client->primaryKey(), -1);
    for (const QString &field :
         {client->address(), client->email(), client->web(), client->notes(), client->phone(), client->fax()})
        EXPECT_TRUE(field.isNull());
}

TEST(ClientFromPerson, WorkAndHomeAddressesOnePerLine)
{
    Person person;
    person.setAddresses({
        {ContactLabel::other, {text("1 Side St"), text("Elsewhere"), {}, {}, {}}},
        {ContactLabel::work,
         {text("500 West 25th Street"), text("New York"), text("NY"), text("10001"), text("USA")}},
        {ContactLabel::home, {text("12 Elm Road"), text("Hudson"), text("NY"), text("12534"), {}}},
        {ContactLabel::work, {text("2nd work"), {}, {}, {}, {}}},
    });
    EXPECT_EQ(
        clientWithPerson(person)->address(),
        text("500 West 25th Street, New York, NY 10001, USA (Work)\n12 Elm Road, Hudson, NY 12534 (Home)"));

    person.setAddresses({{ContactLabel::home, {{}, text("Hudson"), text("NY"), {}, {}}}});
    EXPECT_EQ(clientWithPerson(person)->address(), text("Hudson, NY (Home)"));
    person.setAddresses({{ContactLabel::work, {{}, {}, {}, text("10001"), text("USA")}}});
    EXPECT_EQ(clientWithPerson(person)->address(), text("10001, USA (Work)"));
    // Without a work or home address, the first address of any label, with its label.
    person.setAddresses({{ContactLabel::other, {text("1 Side St"), {}, {}, {}, {}}},
                         {text("Studio"), {text("2 Back Lane"), {}, {}, {}, {}}}});
    EXPECT_EQ(clientWithPerson(person)->address(), text("1 Side St (Other)"));
    person.setAddresses({{text("Studio"), {text("2 Back Lane"), {}, {}, {}, {}}}});
    EXPECT_EQ(clientWithPerson(person)->address(), text("2 Back Lane (Studio)"));
    person.setAddresses({});
    EXPECT_TRUE(clientWithPerson(person)->address().isNull());
}

TEST(ClientFromPerson, WebPageAndEmailsJoined)
{
    Person person;
    person.setUrls(entries({{ContactLabel::work, "https://work.example"},
                            {ContactLabel::homePage, "https://leestone.example"}}));
    person.setEmails(entries({{ContactLabel::home, "ann@home.example"},
                              {ContactLabel::work, "ann@work.example"},
                              {ContactLabel::work, "second@work.example"}}));
    auto client = clientWithPerson(person);
    EXPECT_EQ(client->web(), text("https://leestone.example"));
    EXPECT_EQ(client->email(), text("ann@work.example,ann@home.example"));

    person.setUrls(entries({{ContactLabel::work, "https://work.example"}}));
    person.setEmails(entries({{ContactLabel::home, "ann@home.example"}}));
    client = clientWithPerson(person);
    EXPECT_EQ(client->email(), text("ann@home.example"));
    // Without the preferred labels, the first of its kind.
    EXPECT_EQ(client->web(), text("https://work.example"));
    person.setUrls(
        entries({{ContactLabel::other, "https://other.example"}, {ContactLabel::home, "https://h"}}));
    person.setEmails(entries({{ContactLabel::other, "ann@other.example"}, {text("school"), "ann@school"}}));
    client = clientWithPerson(person);
    EXPECT_EQ(client->web(), text("https://other.example"));
    EXPECT_EQ(client->email(), text("ann@other.example"));
    person.setUrls({});
    person.setEmails({});
    client = clientWithPerson(person);
    EXPECT_TRUE(client->web().isNull());
    EXPECT_TRUE(client->email().isNull());
}

TEST(ClientFromPerson, PhoneAndFaxNumbersInTheirOrder)
{
    struct Case
    {
        MultiValue<QString> phones;
        const char *phone, *fax;
    };
    const Case cases[] = {
        {entries({{ContactLabel::mobile, "0170 1"},
                  {ContactLabel::work, "030 2"},
                  {ContactLabel::main, "030 1"},
                  {ContactLabel::homeFax, "030 9"},
                  {ContactLabel::workFax, "030 8"}}),
         "030 1 (Main), 030 2 (Work), 0170 1 (Mobile)", "030 8 (Work), 030 9 (Home)"},
        // A person with phone numbers gets an empty fax; one without, none.
        {entries({{ContactLabel::iPhone, "0171 5"}, {ContactLabel::home, "030 3"}}),
         "030 3 (Home), 0171 5 (iPhone)", ""},
        {entries({{ContactLabel::work, "030 2"}, {ContactLabel::workFax, "030 8"}}), "030 2 (Work)",
         "030 8 (Work)"},
        // None of the five: the first number that is not a fax, with its label.
        {entries(
             {{ContactLabel::homeFax, "030 9"}, {ContactLabel::pager, "0160 4"}, {ContactLabel::other, "1"}}),
         "0160 4 (Pager)", "030 9 (Home)"},
        {entries({{ContactLabel::workFax, "030 8"}}), "", "030 8 (Work)"},
        {{}, nullptr, nullptr},
    };
    for (const Case &c : cases) {
        Person person;
        person.setPhones(c.phones);
        const auto client = clientWithPerson(person);
        EXPECT_EQ(client->phone(), c.phone ? QString::fromUtf8(c.phone) : QString());
        EXPECT_EQ(client->fax(), c.fax ? QString::fromUtf8(c.fax) : QString());
        EXPECT_EQ(client->fax().isNull(), c.fax == nullptr);
    }
}
