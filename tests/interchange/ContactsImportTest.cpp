#include "interchange/contacts/ContactsImport.h"

#include "support/SampleCatalogue.h"
#include "support/Succeeded.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace velumark;

namespace {

QByteArray cards(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + QByteArray::number(i) + "\r\nORG:Gallery " +
                QByteArray::number(i) + "\r\nEND:VCARD\r\n";
    return text;
}

int countCommit(void *commits)
{
    ++*static_cast<int *>(commits);
    return 0;
}

} // namespace

TEST(ContactsImport, AllClientsOfAnImportAreStoredInOneTransactionOrNone)
{
    test::SampleCatalogue sample;
    VelumarkDatabase &document = sample.document();
    int commits = 0;
    sqlite3_commit_hook(document.database()->handle(), countCommit, &commits);
    ContactsImport import(document);
    ASSERT_TRUE(succeeded(import.run(
        [](VCardImport &cards_) { cards_.parsevCardsInString(cards(50), QStringLiteral("drop")); })));
    sqlite3_commit_hook(document.database()->handle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1) << "one write to the disk for the whole import";
    EXPECT_EQ(import.cards().addedCount(), 50);
    EXPECT_EQ(sample.count("client"), 50);

    // The disk refuses the third client of the next import: none of them is kept.
    ASSERT_TRUE(document.database()->exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON client WHEN (SELECT count(*) FROM client) >= 52 "
        "BEGIN SELECT RAISE(ABORT, 'disk says no'); END"));
    ContactsImport failing(document);
    const Result<> refused = failing.run(
        [](VCardImport &cards_) { cards_.parsevCardsInString(cards(5), QStringLiteral("drop")); });
    EXPECT_FALSE(refused);
    const QString &error = refused.message();
    EXPECT_TRUE(error.contains(QStringLiteral("disk says no")) && error.contains(document.dbFilename()) &&
                error.contains(QStringLiteral("No client was added")))
        << error.toStdString();
    EXPECT_EQ(document.clients().size(), 50u);
    EXPECT_EQ(sample.count("client"), 50);
    ASSERT_TRUE(document.database()->exec("DROP TRIGGER refuse"));
    sample.reopen();
    EXPECT_EQ(sample.document().clients().size(), 50u);
}
