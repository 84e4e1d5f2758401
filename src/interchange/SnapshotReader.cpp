#include "interchange/SnapshotReader.h"

#include "interchange/CatalogueSnapshot.h"
#include "store/DatabaseError.h"
#include "store/Localization.h"

#include <QDir>

namespace velumark {

namespace {
constexpr int kReadsPerTransaction = 1000;
} // namespace

SnapshotReader::SnapshotReader(const CatalogueSnapshot &snapshot) : m_packagePath(snapshot.packagePath)
{
    Result<std::unique_ptr<SqliteConnection>> connection = snapshot.openReadConnection();
    if (!connection)
        VELUMARK_RAISE(QStringLiteral("SnapshotReader"),
                       localized("The catalogue %1 cannot be read: %2")
                           .arg(QDir::toNativeSeparators(snapshot.databasePath), connection.message()));
    m_connection = std::move(connection).value();
    // Records are read one by one: inside a read transaction each read is a seek, not a lock of
    // the file. It is renewed now and then so that the file is never held for long.
    m_reading = m_connection->exec("BEGIN");
}

SnapshotReader::~SnapshotReader()
{
    if (m_reading)
        m_connection->exec("COMMIT");
}

std::unique_ptr<Artwork> SnapshotReader::artwork(qint64 key, bool hydrated)
{
    int result = 0;
    auto record = std::make_unique<Artwork>(key, m_connection.get(), false, &result);
    return loaded(std::move(record), result, hydrated, localized("artwork"), key);
}

std::unique_ptr<Client> SnapshotReader::client(qint64 key, bool hydrated)
{
    int result = 0;
    auto record = std::make_unique<Client>(key, m_connection.get(), false, &result);
    return loaded(std::move(record), result, hydrated, localized("client"), key);
}

std::unique_ptr<Submission> SnapshotReader::submission(qint64 key, bool hydrated)
{
    int result = 0;
    auto record = std::make_unique<Submission>(key, m_connection.get(), false, &result);
    return loaded(std::move(record), result, hydrated, localized("submission"), key);
}

std::unique_ptr<Image> SnapshotReader::image(qint64 key)
{
    int result = 0;
    auto record = std::make_unique<Image>(key, m_connection.get(), m_packagePath, false, &result);
    return loaded(std::move(record), result, false, localized("image"), key);
}

template <typename R>
std::unique_ptr<R> SnapshotReader::loaded(std::unique_ptr<R> record, int initResult, bool hydrated,
                                          const QString &kind, qint64 key)
{
    if (m_reading && ++m_readsInTransaction >= kReadsPerTransaction) {
        m_readsInTransaction = 0;
        m_reading = m_connection->exec("COMMIT") && m_connection->exec("BEGIN");
    }
    if (initResult == 0 && (!hydrated || record->hydrate() == 0))
        return record;
    VELUMARK_RAISE(QStringLiteral("SnapshotReader"),
                   localized("The %1 with key %2 cannot be read: %3")
                       .arg(kind, QString::number(key), m_connection->errorMessage()));
}

} // namespace velumark
