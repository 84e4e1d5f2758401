#include "interchange/contacts/VCardReader.h"

#include "interchange/contacts/ClientFromPerson.h"

#include <gtest/gtest.h>

using namespace velumark;

namespace {

// Cards as exporters write them: lines end in CRLF.
QByteArray card(const char *lines)
{
    return QByteArray(lines).replace("\n", "\r\n");
}

// The client a card makes: contact, company, phone, fax, address, email, web and notes; empty when
// the card makes no client.
std::string clientOf(const QByteArray &vcard)
{
    const std::optional<Person> person = readVCardPerson(vcard);
    if (!person)
        return {};
    const auto c = clientWithPerson(*person);
    return QStringList{c->contact(), c->company(), c->phone(), c->fax(),
                       c->address(), c->email(),   c->web(),   c->notes()}
        .join(QStringLiteral(" | "))
        .toStdString();
}

} // namespace

TEST(VCardReader, Version21QuotedPrintableAndLegacyCharsets)
{
    const QByteArray vcard =
        card("BEGIN:VCARD\n"
             "VERSION:2.1\n"
             "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;;;\n"
             "FN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:J=FCrgen M=FCller\n"
             "ORG;CHARSET=windows-1252:Kunst\x96Raum\n"
             "TEL;WORK;VOICE:+49 30 1234567\n"
             "TEL;CELL:+49 170 7654321\n"
             "TEL;WORK;FAX:+49 30 1234568\n"
             "TEL;HOME:+49 30 9999\n"
             "ADR;WORK;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:;;Stra=DFe des 17. Juni 1=\n"
             "35;Berlin;;10623;Deutschland\n"
             "EMAIL;INTERNET;PREF:juergen@example.de\n"
             "NOTE;QUOTED-PRINTABLE:Prefers large formats.=0D=0AStudio=\n"
             "hours: 10=3D18 =C3=A9t=C3=A9\n"
             "PHOTO;ENCODING=BASE64;TYPE=JPEG:\n"
             " /9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgICAgMCAgIDAwMDBAYEBAQEBAgGBgUG\n"
             " BgUIDgkJCAoOCw0NDg0LDAwOEBQREA8TDg4PFRQVFhcWFhQTFxcYFR==\n"
             "\n"
             "N;CHARSET=SHIFT_JIS:\x95\x5c;\x91\xbe\x98\x59\n"
             "END:VCARD\n");
    // The first N counts.
    EXPECT_EQ(clientOf(vcard), "Jürgen Müller | Kunst–Raum | "
                               "+49 30 1234567 (Work), +49 30 9999 (Home), +49 170 7654321 (Mobile) | "
                               "+49 30 1234568 (Work) | "
                               "Straße des 17. Juni 135, Berlin, 10623, Deutschland (Work) | "
                               "juergen@example.de |  | Prefers large formats.\nStudiohours: 10=18 été");

    // Shift_JIS has backslashes as second bytes: escapes are resolved after decoding.
    EXPECT_EQ(clientOf(card(
                  "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:\x95\x5c;\x91\xbe\x98\x59\nEND:VCARD\n")),
              "太郎 表 | 太郎 表 |  |  |  |  |  | ");
}

TEST(VCardReader, Version30GroupedItemsEscapesAndFolding)
{
    const QByteArray vcard =
        card("BEGIN:VCARD\n"
             "VERSION:3.0\n"
             "PRODID:-//Example//Contacts 1.0//EN\n"
             "N:Lee;Ann;Marie,Jo;Dr.;\n"
             "FN:Dr. Ann Marie Jo Lee\n"
             "ORG:Lee\\, Stone & Partners;Acquisitions\n"
             "EMAIL;type=INTERNET;type=HOME:ann.lee@mail.example\n"
             "EMAIL;type=INTERNET;type=WORK;type=pref:ann@leestone.example\n"
             "TEL;type=MAIN:+1 212 555 0100\n"
             "TEL;type=IPHONE;type=CELL;type=VOICE:+1 917 555 0101\n"
             "item1.TEL:+1 212 555 0199\n"
             "item1.X-ABLabel:Studio\n"
             "item2.X-ABLabel:_$!<Mobile>!$_\n"
             "item2.TEL;type=VOICE:+1 646 555 0102\n"
             "item3.ADR;type=WORK;type=pref:;;500 West 25th Street\\, Floor 3;New York;NY;1\n"
             " 0001;USA\n"
             "item3.X-ABADR:us\n"
             "ADR;TYPE=HOME:;;12 Elm Road;Hudson;NY;12534;\n"
             "item4.URL;type=pref:http\\://www.leestone.example\n"
             "item4.X-ABLabel:_$!<HomePage>!$_\n"
             "item5.URL:https\\://blog.example/ann\n"
             "item5.X-ABLabel:blog\n"
             "NOTE:Met at the spring fair\\; prefers e-\n"
             "\tmail.\\nPath: C:\\\\art\\\\2024 or C:\\art\n"
             "END:VCARD\n");
    const std::optional<Person> person = readVCardPerson(vcard);
    ASSERT_TRUE(person);
    ASSERT_EQ(person->phones().size(), 4u);
    EXPECT_EQ(person->phones()[2].label, QStringLiteral("Studio"));
    EXPECT_EQ(person->urls()[1].label, QStringLiteral("blog"));

    EXPECT_EQ(clientOf(vcard),
              "Ann Marie Jo Lee | Lee, Stone & Partners | "
              "+1 212 555 0100 (Main), +1 917 555 0101 (iPhone), +1 646 555 0102 (Mobile) |  | "
              "500 West 25th Street, Floor 3, New York, NY 10001, USA (Work)\n"
              "12 Elm Road, Hudson, NY 12534 (Home) | "
              "ann@leestone.example,ann.lee@mail.example | http://www.leestone.example | "
              "Met at the spring fair; prefers e-mail.\nPath: C:\\art\\2024 or C:\\art");
}

TEST(VCardReader, Version40TypeParametersPreferenceAndUris)
{
    const QByteArray vcard =
        card("BEGIN:VCARD\n"
             "VERSION:4.0\n"
             "KIND:individual\n"
             "FN:Sofía Ortega\n"
             "N:Ortega;Sofía;;;\n"
             "ORG:Estudio Norte\n"
             "TEL;VALUE=uri;TYPE=\"voice,work\":tel:+34-91-555-0100\n"
             "TEL;VALUE=uri;TYPE=cell;PREF=2:tel:+34-600-555-0101\n"
             "TEL;VALUE=uri;TYPE=cell;PREF=1:tel:+34-600-555-0102\n"
             "TEL;TYPE=\"fax,home\":+34 91 555 0109\n"
             "EMAIL;TYPE=work:sofia@estudionorte.example\n"
             "EMAIL;TYPE=work;PREF=1:s.ortega@estudionorte.example\n"
             "EMAIL;TYPE=home:sofia@correo.example\n"
             "URL:https://estudionorte.example\n"
             "ADR;TYPE=work;LABEL=\"Studio: Calle Mayor 1;Madrid\":;;Calle Mayor 1;Madrid;;28013;España\n"
             "PHOTO:data:image/jpeg;base64,/9j/4AAQSkZJRgABAQEASABIAAD\n"
             "END:VCARD\n");
    EXPECT_EQ(clientOf(vcard),
              "Sofía Ortega | Estudio Norte | +34-91-555-0100 (Work), +34-600-555-0102 (Mobile) | "
              "+34 91 555 0109 (Home) | Calle Mayor 1, Madrid, 28013, España (Work) | "
              "s.ortega@estudionorte.example,sofia@correo.example | https://estudionorte.example | ");
}

// Web pages typed work, home or other, addresses typed with a quoted list of types: as exporters
// write them, they reach the client.
TEST(VCardReader, WebPagesAndAddressesOfAnyTypeReachTheClient)
{
    struct Case
    {
        const char *lines;
        const char *address, *web;
    };
    for (const Case &c : {
             Case{"URL;TYPE=WORK:https://work.example\nADR;TYPE=\"home;pref\":;;1 Elm;Hudson;;;\n",
                  "1 Elm, Hudson (Home)", "https://work.example"},
             Case{"URL;TYPE=\"home\":https://home.example\nADR;TYPE=\"work;postal\":;;2 Oak;;;;\n",
                  "2 Oak (Work)", "https://home.example"},
             Case{"URL;OTHER:https://other.example\nURL;TYPE=WORK:https://second.example\n"
                  "ADR;TYPE=\"x-studio,pref\":;;3 Mill;;;;\n",
                  "3 Mill (Other)", "https://other.example"},
         }) {
        SCOPED_TRACE(c.lines);
        const QByteArray vcard = card(
            (QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Ann Lee\n") + c.lines + "END:VCARD\n").constData());
        EXPECT_EQ(clientOf(vcard),
                  std::string("Ann Lee | Ann Lee |  |  | ") + c.address + " |  | " + c.web + " | ");
    }
}

TEST(VCardReader, UntypedEntriesTakeTheDefaultLabelOnce)
{
    const std::optional<Person> person =
        readVCardPerson("BEGIN:VCARD\nVERSION:3.0\nFN:A\n"
                        "TEL;TYPE=WORK:1\nTEL:2\nTEL;TYPE=VOICE:3\nTEL;TYPE=CAR:4\n"
                        "TEL;TYPE=FAX:5\nTEL:\nEMAIL;TYPE=HOME:h@x\nEMAIL:w@x\n"
                        "URL;TYPE=WORK:u1\nURL:u2\nADR:;;S;C;;;\nADR;TYPE=HOME:;;;;;;\n"
                        "END:VCARD\n");
    ASSERT_TRUE(person);
    const auto labels = [](const auto &list) {
        QStringList result;
        for (const auto &entry : list)
            result.append(entry.label);
        return result.join(u'|');
    };
    // Phones, emails, web pages, addresses; empty values are left out.
    EXPECT_EQ(QStringList({labels(person->phones()), labels(person->emails()), labels(person->urls()),
                           labels(person->addresses())})
                  .join(QStringLiteral(" / ")),
              QStringLiteral("work|main|other|other|work fax / home|work / work|home page / work"));
}

TEST(VCardReader, FormattedNameAndCharsetFallbacks)
{
    struct Case
    {
        const char *card;
        const char *client; // as clientOf() gives it; empty for no client
    };
    for (const Case &c : {
             Case{"BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:Ann Lee\nEND:VCARD\n",
                  "Ann Lee | Ann Lee |  |  |  |  |  | "},
             // A formatted name that is the organization is no contact.
             Case{"BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:Galerie Nord\nORG:Galerie Nord;\nEND:VCARD\n",
                  " | Galerie Nord |  |  |  |  |  | "},
             // Undeclared Latin-1 is not UTF-8; an unknown or malformed charset name falls back the
             // same way.
             Case{"BEGIN:VCARD\nVERSION:2.1\nN:M\xfcller;J\xfcrgen\nEND:VCARD\n",
                  "Jürgen Müller | Jürgen Müller |  |  |  |  |  | "},
             Case{"BEGIN:VCARD\nN;CHARSET=X-NO-SUCH-SET:Lee;Ann\nORG;CHARSET=\"../../"
                  "etc\":Caf\xc3\xa9\nEND:VCARD",
                  "Ann Lee | Café |  |  |  |  |  | "},
             // Control characters are dropped.
             Case{"BEGIN:VCARD\nORG;CHARSET=UTF-8:Caf\xe9\x01\nNOTE;ENCODING=b:bm90IGJhc2U2NCE=\nEND:VCARD",
                  " | Café |  |  |  |  |  | not base64!"},
             Case{"BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:\nPHOTO;ENCODING=b:AAAA\nEND:VCARD\n", ""},
             Case{"BEGIN:VCARD\nNOTE;ENCODING=b:***\nEND:VCARD\n", ""}, // bad base64 is skipped
             Case{"", ""},
         }) {
        SCOPED_TRACE(c.card);
        EXPECT_EQ(clientOf(c.card), c.client);
    }
}
