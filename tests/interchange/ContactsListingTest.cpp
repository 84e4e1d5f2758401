#include "interchange/contacts/ContactsListing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;

namespace {

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QByteArray card(const char *last, const char *first, const char *organization = "")
{
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:") + last + ';' + first +
           ";;;\r\nORG:" + organization + "\r\nEND:VCARD\r\n";
}

TEST(ContactsListing, ListsThePeopleOfAFileOrAFolderInCardOrder)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("b.vcf")), card("Berg", "Bo") + card("Cole", "Cy", "Cole & Co"));
    writeFile(folder.filePath(QStringLiteral("a.vcf")), card("Lee", "Ann"));
    // Not a card file of the folder, and a card file without any card.
    writeFile(folder.filePath(QStringLiteral("notes.txt")), card("Hidden", "Hal"));
    writeFile(folder.filePath(QStringLiteral("empty.vcf")), "no card here");

    const auto all = listPeople(folder.path());
    ASSERT_TRUE(all.ok()) << all.message().toStdString();
    ASSERT_EQ(all->size(), 3u);
    EXPECT_EQ(all.value()[0].lastName(), QStringLiteral("Lee"));
    EXPECT_EQ(all.value()[1].lastName(), QStringLiteral("Berg"));
    EXPECT_EQ(all.value()[2].organization(), QStringLiteral("Cole & Co"));

    const auto one = listPeople(folder.filePath(QStringLiteral("b.vcf")));
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(one->size(), 2u);
}

TEST(ContactsListing, SourcesWithoutPeopleFailWithTheReason)
{
    QTemporaryDir folder;
    const auto missing = listPeople(folder.filePath(QStringLiteral("gone.vcf")));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.message().contains(QStringLiteral("gone.vcf")));

    const auto noCards = listPeople(folder.path());
    ASSERT_FALSE(noCards.ok());
    EXPECT_FALSE(noCards.message().isEmpty());

    writeFile(folder.filePath(QStringLiteral("junk.vcf")), "BEGIN:VCARD\r\nEND:VCARD\r\n");
    EXPECT_FALSE(listPeople(folder.filePath(QStringLiteral("junk.vcf"))).ok());
}

} // namespace
