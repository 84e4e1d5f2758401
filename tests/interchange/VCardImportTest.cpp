#include "interchange/contacts/VCardImport.h"

#include "interchange/contacts/ClientFromPerson.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Stands in for the document: keeps the company of every client made, refusing the ones named
// "Refused".
struct ClientList
{
    QStringList companies;
    AddPersonFunction adder()
    {
        return [this](const Person *person) {
            return addClientWithPerson(person, [this](std::unique_ptr<Client> client) {
                if (client->company() == QLatin1String("Refused"))
                    return false;
                companies.append(client->company());
                return true;
            });
        };
    }
};

} // namespace

TEST(VCardImport, SplitsCardsWithOrWithoutTheirEndInAnyCase)
{
    ClientList list;
    VCardImport import(list.adder());
    const QByteArray threeCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann\r\nEND:VCARD\r\n"
                                  "begin:vcard\nversion:3.0\norg:Galerie Nord\nend:vcard\n"
                                  "BEGIN:VCARD\nFN:Open End\nNOTE:runs to the end of the text";
    EXPECT_TRUE(import.parsevCardsInString(threeCards, text("drop")));
    EXPECT_EQ(list.companies, QStringList({text("Ann Lee"), text("Galerie Nord"), text("Open End")}));
    EXPECT_EQ(import.added(), list.companies);
    EXPECT_EQ(import.addedCount(), 3);
    EXPECT_TRUE(import.skipped().isEmpty());

    // A card that lost its end stops at the next card; a marker inside a line is no marker.
    list.companies.clear();
    EXPECT_TRUE(import.parsevCardsInString("BEGIN:VCARD\nORG:First\nNOTE:see BEGIN:VCARD and END:VCARD\n"
                                           "BEGIN:VCARD\nORG:Second\nEND:VCARD\nORG:Outside\n",
                                           text("drop")));
    EXPECT_EQ(list.companies, QStringList({text("First"), text("Second")}));
}

TEST(VCardImport, ReportsWhatWasLeftOut)
{
    ClientList list;
    VCardImport import(list.adder());
    EXPECT_FALSE(import.parsevCardsInString(QByteArray(), text("empty")));
    EXPECT_FALSE(import.parsevCardsInString("no cards here\nEND:VCARD\n", text("note.txt")));
    EXPECT_FALSE(import.parsevCardsInString(QByteArray("\0\xff\xfe\x01"
                                                       "BEGIN:VCARD",
                                                       15),
                                            text("junk")));
    EXPECT_EQ(import.skipped(),
              QStringList({text("empty: no contact card found"), text("note.txt: no contact card found"),
                           text("junk: no contact card found")}));

    const QByteArray cards = "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nPHOTO;ENCODING=b:AAAA\nEND:VCARD\n"
                             "BEGIN:VCARD\nORG:Refused\nEND:VCARD\n"
                             "BEGIN:VCARD\nTEL;TYPE=CELL:0170 1\nEND:VCARD\n";
    EXPECT_TRUE(import.parsevCardsInString(cards, text("cards%2.vcf")));
    EXPECT_EQ(list.companies, QStringList({text("No Name")}))
        << "a card with only a number is still a client";
    EXPECT_EQ(import.skipped().mid(3),
              QStringList({text("cards%2.vcf, card 1: no name, organization or contact details"),
                           text("cards%2.vcf, card 2: the client could not be added")}));
    EXPECT_EQ(import.skippedCount(), 5);
    EXPECT_FALSE(import.processvCard("BEGIN:VCARD\nORG:Refused\nEND:VCARD"));
    EXPECT_TRUE(import.processvCard("BEGIN:VCARD\nORG:Alone\nEND:VCARD"));
}

TEST(VCardImport, EachCardIsDecodedByItsOwnCharset)
{
    ClientList list;
    VCardImport import(list.adder());
    const QByteArray mixed = "BEGIN:VCARD\nVERSION:2.1\nORG;CHARSET=ISO-8859-1:Atelier M\xfcller\nEND:VCARD\n"
                             "BEGIN:VCARD\nVERSION:3.0\nORG:Atelier M\xc3\xbcller\nEND:VCARD\n";
    EXPECT_TRUE(import.parsevCardsInString(mixed, text("mixed")));
    EXPECT_EQ(list.companies, QStringList({text("Atelier Müller"), text("Atelier Müller")}));

    // Text with a UTF-16 byte order mark.
    list.companies.clear();
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray wide =
        QByteArray("\xff\xfe") + QByteArray(utf16(text("BEGIN:VCARD\r\nORG:Café\r\nEND:VCARD\r\n")));
    EXPECT_TRUE(import.parsevCardsInString(wide, text("wide")));
    EXPECT_EQ(list.companies, QStringList({text("Café")}));
}

TEST(VCardImport, FilesAndFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("contacts"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/sub.vcf")));
    ASSERT_TRUE(test::writeFile(folder + QStringLiteral("/b.VCF"), "\xef\xbb\xbf"
                                                                   "BEGIN:VCARD\nORG:Second\nEND:VCARD\n"));
    ASSERT_TRUE(test::writeFile(folder + QStringLiteral("/a.vcf"), "BEGIN:VCARD\nORG:First\nEND:VCARD\n"));
    ASSERT_TRUE(test::writeFile(folder + QStringLiteral("/c.vcf"), QByteArray()));
    ASSERT_TRUE(
        test::writeFile(folder + QStringLiteral("/d.txt"), "BEGIN:VCARD\nORG:Not a card file\nEND:VCARD\n"));

    ClientList list;
    VCardImport import(list.adder());
    EXPECT_TRUE(import.importFolder(folder));
    EXPECT_EQ(list.companies, QStringList({text("First"), text("Second")}));
    EXPECT_EQ(import.skipped(), QStringList({text("c.vcf: no contact card found")}));

    EXPECT_TRUE(import.importFile(folder + QStringLiteral("/a.vcf")));
    EXPECT_FALSE(import.importFile(folder + QStringLiteral("/missing.vcf")));
    EXPECT_FALSE(import.importFile(folder + QStringLiteral("/sub.vcf")));
    EXPECT_FALSE(import.importFile(QStringLiteral("/dev/zero")));
    EXPECT_FALSE(import.importFolder(dir.filePath(QStringLiteral("none"))));
    EXPECT_FALSE(import.importFolder(folder + QStringLiteral("/sub.vcf")));
    EXPECT_EQ(import.skippedCount(), 6);
    EXPECT_EQ(import.skipped().last(),
              text("%1: no vCard files (.vcf)").arg(folder + QStringLiteral("/sub.vcf")));

    ASSERT_TRUE(
        test::writeFile(folder + QStringLiteral("/locked.vcf"), "BEGIN:VCARD\nORG:Locked\nEND:VCARD\n"));
    QFile::setPermissions(folder + QStringLiteral("/locked.vcf"), QFileDevice::Permissions());
    QFile probe(folder + QStringLiteral("/locked.vcf"));
    if (!probe.open(QIODevice::ReadOnly)) { // root reads anything
        EXPECT_FALSE(import.importFile(folder + QStringLiteral("/locked.vcf")));
        EXPECT_TRUE(import.skipped().last().startsWith(text("locked.vcf: could not be read (")));
    }
}
