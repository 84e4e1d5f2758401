#pragma once

#include "store/Sqlite.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace velumark::test {

// A fresh database file made from the application's template in a temporary folder.
class TemporaryDatabase
{
public:
    TemporaryDatabase();
    const QString &path() const { return m_path; }
    const QString &folder() const { return m_folderPath; }
    SqliteConnection &connection() { return *m_connection; }
    // Runs SQL and fails the test when it does not succeed.
    void exec(const QString &sql);
    // The first column of the first row, as a number (or -1 when there is no row).
    qint64 scalar(const QString &sql);
    QString text(const QString &sql);

private:
    QTemporaryDir m_folder;
    QString m_folderPath;
    QString m_path;
    std::unique_ptr<SqliteConnection> m_connection;
};

} // namespace velumark::test
