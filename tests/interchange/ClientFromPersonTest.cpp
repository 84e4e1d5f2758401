#include "interchange/contacts/ClientFromPerson.h"

#include <gtest/gtest.h>

using namespace velumark;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
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
    Person ann;
    ann.setFirstName(text("Ann"));
    ann.setLastName(text("Lee"));
    auto client = clientWithPerson(ann);
    EXPECT_EQ(client->contact(), text("Ann Lee"));
    EXPECT_EQ(client->company(), text("Ann Lee"));
    EXPECT_TRUE(client->status()) << "the other fields keep the defaults of a new client";
    EXPECT_EQ(client->primaryKey(), -1);

    ann.setMiddleName(text("Marie"));
    ann.setOrganization(text("Lee & Stone"));
    client = clientWithPerson(ann);
    EXPECT_EQ(client->contact(), text("Ann Marie Lee"));
    EXPECT_EQ(client->company(), text("Lee & Stone"));

    Person onlyLast;
    onlyLast.setLastName(text("Lee"));
    EXPECT_EQ(clientWithPerson(onlyLast)->contact(), text("Lee"));

    Person company;
    company.setOrganization(text("Galerie Nord"));
    client = clientWithPerson(company);
    EXPECT_EQ(client->company(), text("Galerie Nord"));
    EXPECT_TRUE(client->contact().isEmpty());

    client = clientWithPerson(Person());
    EXPECT_EQ(client->company(), text("No Name"));
    EXPECT_TRUE(client->contact().isEmpty());
    EXPECT_TRUE(client->address().isNull());
    EXPECT_TRUE(client->email().isNull());
    EXPECT_TRUE(client->web().isNull());
    EXPECT_TRUE(client->notes().isNull());
}

TEST(ClientFromPerson, FormattedNameStandsInForMissingNamesButNotForTheOrganization)
{
    Person person;
    person.setFormattedName(text("Ann Lee"));
    auto client = clientWithPerson(person);
    EXPECT_EQ(client->contact(), text("Ann Lee"));
    EXPECT_EQ(client->company(), text("Ann Lee"));

    person.setOrganization(text("ann lee"));
    client = clientWithPerson(person);
    EXPECT_TRUE(client->contact().isEmpty()) << "a company's card names the company, not a contact";
    EXPECT_EQ(client->company(), text("ann lee"));

    person.setLastName(text("Stone"));
    EXPECT_EQ(clientWithPerson(person)->contact(), text("Stone")) << "names in parts come first";
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
    person.setAddresses({{ContactLabel::other, {text("1 Side St"), {}, {}, {}, {}}}});
    EXPECT_TRUE(clientWithPerson(person)->address().isNull());
}

TEST(ClientFromPerson, WebAndEmail)
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
    EXPECT_TRUE(client->web().isNull());
    EXPECT_EQ(client->email(), text("ann@home.example"));
}

TEST(ClientFromPerson, PhoneAndFaxNumbersInTheirOrder)
{
    Person person;
    person.setPhones(entries({{ContactLabel::mobile, "0170 1"},
                              {ContactLabel::work, "030 2"},
                              {ContactLabel::main, "030 1"},
                              {ContactLabel::homeFax, "030 9"},
                              {ContactLabel::workFax, "030 8"}}));
    auto client = clientWithPerson(person);
    EXPECT_EQ(client->phone(), text("030 1 (Main), 030 2 (Work), 0170 1 (Mobile)"));
    EXPECT_EQ(client->fax(), text("030 8 (Work), 030 9 (Home)"));

    person.setPhones(entries({{ContactLabel::iPhone, "0171 5"}, {ContactLabel::home, "030 3"}}));
    client = clientWithPerson(person);
    EXPECT_EQ(client->phone(), text("030 3 (Home), 0171 5 (iPhone)"));
    EXPECT_TRUE(client->fax().isEmpty());
    EXPECT_FALSE(client->fax().isNull()) << "a person with phone numbers gets an (empty) fax";

    person.setPhones(entries({{ContactLabel::work, "030 2"}, {ContactLabel::workFax, "030 8"}}));
    client = clientWithPerson(person);
    EXPECT_EQ(client->phone(), text("030 2 (Work)"));
    EXPECT_EQ(client->fax(), text("030 8 (Work)"));

    person.setPhones({});
    client = clientWithPerson(person);
    EXPECT_TRUE(client->phone().isNull());
    EXPECT_TRUE(client->fax().isNull());
}

TEST(ClientFromPerson, MatchMultiValueAndAddingThroughTheDocument)
{
    const MultiValue<QString> phones =
        entries({{ContactLabel::work, "1"}, {ContactLabel::home, "2"}, {ContactLabel::work, "3"}});
    EXPECT_EQ(matchMultiValue(phones, ContactLabel::work), 0);
    EXPECT_EQ(matchMultiValue(phones, ContactLabel::home), 1);
    EXPECT_EQ(matchMultiValue(phones, ContactLabel::mobile), -1);
    EXPECT_EQ(matchMultiValue(MultiValue<QString>(), ContactLabel::work), -1);

    int calls = 0;
    QString company;
    const AddClientFunction store = [&](std::unique_ptr<Client> client) {
        ++calls;
        company = client->company();
        return company != text("Refused");
    };
    EXPECT_FALSE(addClientWithPerson(nullptr, store));
    EXPECT_EQ(calls, 0);

    Person person;
    person.setOrganization(text("Galerie Nord"));
    person.setNote(text("Prefers e-mail"));
    EXPECT_TRUE(addClientWithPerson(&person, store));
    EXPECT_EQ(company, text("Galerie Nord"));
    person.setOrganization(text("Refused"));
    EXPECT_FALSE(addClientWithPerson(&person, store)) << "the document's answer is passed on";

    Client existing;
    existing.setCommission(10);
    fillClientWithPerson(existing, person);
    EXPECT_EQ(existing.notes(), text("Prefers e-mail"));
    EXPECT_EQ(existing.commission(), 10);
}
