#include "interchange/InterchangeHeader.h"

#include "support/Catalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;

namespace {

TEST(InterchangeHeader, ReadsTheCountsAndDateAndDistrustsNonsense)
{
    test::TemporaryDatabase database;
    database.exec(
        QStringLiteral("INSERT INTO version (version_num, num_artworks, num_clients, num_submissions, "
                       "num_images, app_version, export_date) VALUES (3, 3, -5, 99999999999, 2, 1.3, "
                       "1700000000.5)"));
    const auto header = readInterchangeHeader(database.path());
    ASSERT_TRUE(header.ok()) << header.message().toStdString();
    EXPECT_EQ(header->artworks, 3);
    EXPECT_EQ(header->clients, 0);
    EXPECT_EQ(header->submissions, 0);
    EXPECT_EQ(header->images, 2);
    EXPECT_DOUBLE_EQ(header->appVersion, 1.3);
    EXPECT_EQ(header->exportDate.toSecsSinceEpoch(), 1700000000);

    database.exec(QStringLiteral("UPDATE version SET export_date=1e300"));
    const auto farFuture = readInterchangeHeader(database.path());
    ASSERT_TRUE(farFuture.ok());
    EXPECT_FALSE(farFuture->exportDate.isValid());
}

TEST(InterchangeHeader, FilesWithoutAHeaderFailWithAReason)
{
    test::TemporaryDatabase database;
    database.exec(QStringLiteral("DELETE FROM version"));
    EXPECT_FALSE(readInterchangeHeader(database.path()).ok());

    QTemporaryDir folder;
    QFile junk(folder.filePath(QStringLiteral("junk.vdbi")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(2048, 'j'));
    junk.close();
    const auto damaged = readInterchangeHeader(junk.fileName());
    ASSERT_FALSE(damaged.ok());
    EXPECT_FALSE(damaged.message().isEmpty());
    EXPECT_FALSE(readInterchangeHeader(folder.filePath(QStringLiteral("gone.vdbi"))).ok());
}

} // namespace
