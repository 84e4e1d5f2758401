#include "support/Catalogue.h"

#include <QFile>
#include <gtest/gtest.h>

namespace velumark::test {

TemporaryDatabase::TemporaryDatabase()
    : m_folderPath(m_folder.path()), m_path(m_folder.filePath(QStringLiteral("velumark.db")))
{
    EXPECT_TRUE(QFile::copy(QStringLiteral(":/velumark/velumarkdb.sql"), m_path));
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    m_connection = SqliteConnection::open(m_path);
    EXPECT_TRUE(m_connection);
}

void TemporaryDatabase::exec(const QString &sql)
{
    ASSERT_TRUE(m_connection->exec(sql)) << m_connection->errorMessage().toStdString() << "\n"
                                         << sql.toStdString();
}

qint64 TemporaryDatabase::scalar(const QString &sql)
{
    auto statement = m_connection->prepare(sql.toUtf8().constData());
    if (!statement || statement->step() != SqliteStatement::Step::Row)
        return -1;
    return statement->columnInt64(0);
}

QString TemporaryDatabase::text(const QString &sql)
{
    auto statement = m_connection->prepare(sql.toUtf8().constData());
    if (!statement || statement->step() != SqliteStatement::Step::Row)
        return {};
    return statement->columnIsNull(0) ? QString() : statement->columnText(0);
}

} // namespace velumark::test
