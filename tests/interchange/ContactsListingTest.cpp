#include "interchange/contacts/ContactsListing.h"

#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;

namespace {

QByteArray card(const char *last, const char *first, const char *organization = "")
{
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:") + last + ';' + first +
           ";;;\r\nORG:" + organization + "\r\nEND:VCARD\r\n";
}

// Which files of a folder are read, and in what order, is the card import's own test.
TEST(ContactsListing, ListsThePeopleOfAFileOrAFolderOrSaysWhyThereAreNone)
{
    QTemporaryDir folder;
    const auto noCards = listPeople(folder.path());
    ASSERT_FALSE(noCards.ok());
    EXPECT_FALSE(noCards.message().isEmpty());
    const auto missing = listPeople(folder.filePath(QStringLiteral("gone.vcf")));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.message().contains(QStringLiteral("gone.vcf")));

    ASSERT_TRUE(test::writeFile(folder.filePath(QStringLiteral("b.vcf")),
                                card("Berg", "Bo") + card("Cole", "Cy", "Cole & Co")));
    ASSERT_TRUE(test::writeFile(folder.filePath(QStringLiteral("a.vcf")), card("Lee", "Ann")));
    // A card file without a card fails only when nothing else gives people.
    const QString empty = folder.filePath(QStringLiteral("empty.vcf"));
    ASSERT_TRUE(test::writeFile(empty, "BEGIN:VCARD\r\nEND:VCARD\r\n"));
    EXPECT_FALSE(listPeople(empty).ok());
    const auto all = listPeople(folder.path());
    ASSERT_TRUE(all.ok()) << all.message().toStdString();
    ASSERT_EQ(all->size(), 3u);
    EXPECT_EQ(all.value()[0].lastName(), QStringLiteral("Lee"));
    EXPECT_EQ(all.value()[2].organization(), QStringLiteral("Cole & Co"));
    const auto one = listPeople(folder.filePath(QStringLiteral("b.vcf")));
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(one->size(), 2u);
}

} // namespace
