// Bad and hostile input: random mutations of real-looking cards, and sizes far beyond any address
// book. Nothing may crash or hang, and every client made must have a company.
#include "interchange/contacts/ClientFromPerson.h"
#include "interchange/contacts/VCardImport.h"
#include "interchange/contacts/VCardProperty.h"
#include "interchange/contacts/VCardReader.h"

#include <gtest/gtest.h>
#include <random>

using namespace velumark;

namespace {

const QList<QByteArray> &seeds()
{
    static const QList<QByteArray> cards{
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;;;"
        "\r\n"
        "ADR;WORK;ENCODING=QUOTED-PRINTABLE:;;Stra=C3=9Fe 1=\r\n35;Berlin;;10623;DE\r\nTEL;WORK;FAX:030 8\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n /9j/4AAQSkZJRgABAQEASABIAAD/2wBD\r\n\r\nEND:VCARD\r\n",
        "BEGIN:VCARD\nVERSION:3.0\nN:Lee;Ann;Marie,Jo;;\nORG:Lee\\, Stone;Dept\nitem1.TEL;type=IPHONE:1\n"
        "item1.X-ABLabel:_$!<Mobile>!$_\nitem2.URL:http\\://x.example\nitem2.X-ABLabel:_$!<HomePage>!$_\n"
        "EMAIL;type=INTERNET;type=WORK;type=pref:a@b\nNOTE:one\\ntwo\\; three\n folded\nEND:VCARD\n",
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Sofía\r\nTEL;VALUE=uri;TYPE=\"voice,work\";PREF=1:tel:+34\r\n"
        "ADR;TYPE=home;LABEL=\"a:b;c\":;;Calle 1;Madrid;;28013;España\r\nEND:VCARD\r\n",
        "BEGIN:VCARD\nN;CHARSET=SHIFT_JIS:\x95\x5c;\x91\xbe\x98\x59\nNOTE;ENCODING=b:bm90ZQ==\nEND:VCARD",
    };
    return cards;
}

// Pieces of syntax and of broken encodings, and a NUL byte.
const QList<QByteArray> &tokens()
{
    static const QList<QByteArray> list = [] {
        QList<QByteArray> pieces =
            QByteArray(
                "\r\n|\n|\r| |\t|=|=\r\n|:|;|,|\\|\"|.|BEGIN:VCARD\r\n|END:VCARD|ENCODING=QUOTED-PRINTABLE|"
                "CHARSET=UTF-16|CHARSET=ISO-2022-JP|ENCODING=b|item1.|item1.X-ABLabel:|TYPE=|PREF=|\xff|\xc3|"
                "\xe2\x82|\x1b$B|=F|N:|ADR:|TEL;FAX:|")
                .split('|');
        pieces.last() = QByteArray(1, '\0');
        return pieces;
    }();
    return list;
}

QByteArray mutated(std::mt19937 &random)
{
    const auto pick = [&](qsizetype size) {
        return size <= 0 ? qsizetype(0)
                         : qsizetype(std::uniform_int_distribution<qsizetype>(0, size - 1)(random));
    };
    QByteArray data = seeds()[pick(seeds().size())];
    const int mutations = std::uniform_int_distribution<int>(1, 12)(random);
    for (int i = 0; i < mutations; ++i) {
        const qsizetype at = pick(data.size() + 1);
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
            if (at < data.size())
                data[at] = static_cast<char>(random());
            break;
        case 1:
            data.insert(at, tokens()[pick(tokens().size())]);
            break;
        case 2:
            data.remove(at, pick(32));
            break;
        case 3:
            data.insert(at, data.mid(pick(data.size()), pick(64)));
            break;
        case 4:
            data.insert(at, seeds()[pick(seeds().size())]);
            break;
        default:
            data.insert(at, QByteArray(pick(8) + 1, static_cast<char>(random())));
            break;
        }
    }
    return data;
}

} // namespace

TEST(VCardRobustness, RandomlyMutatedCards)
{
    std::mt19937 random(20240611);
    int clients = 0;
    VCardImport import([&](const Person *person) {
        const auto client = clientWithPerson(*person);
        EXPECT_FALSE(client->company().isEmpty());
        ++clients;
        return true;
    });
    for (int round = 0; round < 3000; ++round) {
        const QByteArray data = mutated(random);
        import.parsevCardsInString(data, QStringLiteral("fuzz"));
        if (const std::optional<Person> person = readVCardPerson(data)) {
            EXPECT_FALSE(person->isEmpty());
        }
    }
    EXPECT_GT(clients, 1000) << "most mutated cards still carry contact data";
    EXPECT_LE(import.skipped().size(), VCardImport::kMaxListed);
}

TEST(VCardRobustness, HugeLinesAndManyCards)
{
    // A note beyond the line limit is left out; the rest of the card is read.
    const QByteArray hugeNote =
        "BEGIN:VCARD\nORG:Big\nNOTE:" + QByteArray(3 << 20, 'x') + "\nEMAIL:a@b\nEND:VCARD";
    std::optional<Person> person = readVCardPerson(hugeNote);
    ASSERT_TRUE(person);
    EXPECT_TRUE(person->note().isEmpty());
    EXPECT_EQ(person->emails().size(), 1u);

    // Soft line breaks without end, and a single line without any break.
    QByteArray softBreaks = "BEGIN:VCARD\nORG:Soft\nNOTE;QUOTED-PRINTABLE:";
    for (int i = 0; i < 200000; ++i)
        softBreaks += "abcdefghij=\n";
    person = readVCardPerson(softBreaks);
    ASSERT_TRUE(person);
    EXPECT_EQ(person->organization(), QStringLiteral("Soft"));
    EXPECT_TRUE(readVCardProperties(QByteArray(4 << 20, ';')).empty());

    // Many cards without their end, and many markers that are not at the start of a line: one pass.
    QByteArray cards;
    for (int i = 0; i < 50000; ++i)
        cards += "BEGIN:VCARD\nORG:C" + QByteArray::number(i) + "\n";
    int added = 0;
    VCardImport import([&](const Person *) { return ++added > 0; });
    EXPECT_TRUE(import.parsevCardsInString(cards, QStringLiteral("many")));
    EXPECT_EQ(added, 50000);
    EXPECT_EQ(import.added().size(), VCardImport::kMaxListed);
    EXPECT_EQ(import.addedCount(), 50000);
    EXPECT_FALSE(import.parsevCardsInString(QByteArray("x") + QByteArray("BEGIN:VCARD ").repeated(200000),
                                            QStringLiteral("inline")));
}
