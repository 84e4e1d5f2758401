#pragma once

#include "document/VelumarkDatabase.h"
#include "store/Clock.h"
#include "support/SampleCatalogue.h"

#include <gtest/gtest.h>
#include <memory>

namespace velumark::test {

// A catalogue on a new package for the editors, with "now" fixed at noon on 15 May 2024.
class EditorFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixedNow(QDateTime(QDate(2024, 5, 15), QTime(12, 0)));
        catalogue = std::make_unique<SampleCatalogue>();
        ASSERT_TRUE(catalogue->isValid());
        document = &catalogue->document();
    }
    void TearDown() override { Clock::clearFixedNow(); }

    void reopen()
    {
        catalogue->reopen();
        document = &catalogue->document();
    }
    // One value of the stored row, read with SQL.
    QString stored(const QString &sql) const
    {
        SqliteConnection &db = *document->database();
        auto statement = db.prepare(sql.toUtf8().constData());
        EXPECT_TRUE(statement) << db.errorMessage().toStdString();
        if (!statement || statement->step() != SqliteStatement::Step::Row)
            return QStringLiteral("<no row>");
        return statement->columnText(0);
    }
    // Every write to the file fails from now on, as on a disk that cannot take more.
    void refuseWrites() { ASSERT_TRUE(document->database()->exec("PRAGMA query_only = 1")); }

    static QDateTime local(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0)); }

    std::unique_ptr<SampleCatalogue> catalogue;
    VelumarkDatabase *document = nullptr;
};

} // namespace velumark::test
