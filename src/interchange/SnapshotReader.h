#pragma once

#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Image.h"
#include "store/Sqlite.h"
#include "store/Submission.h"

#include <memory>

namespace velumark {

struct CatalogueSnapshot;

// The worker's side of a catalogue snapshot: records of its own, loaded one at a time by key
// through a read-only connection of its own. A record that cannot be read raises DatabaseError
// (which ends the operation as failed) instead of passing for an empty one.
class SnapshotReader
{
public:
    // Opens the connection; raises DatabaseError when the file cannot be opened.
    explicit SnapshotReader(const CatalogueSnapshot &snapshot);
    ~SnapshotReader();
    SnapshotReader(const SnapshotReader &) = delete;
    SnapshotReader &operator=(const SnapshotReader &) = delete;

    // The eager fields, and with `hydrated` the lazy ones too.
    std::unique_ptr<Artwork> artwork(qint64 key, bool hydrated);
    std::unique_ptr<Client> client(qint64 key, bool hydrated);
    std::unique_ptr<Submission> submission(qint64 key, bool hydrated);
    // Eager fields; the pictures are read from the package when they are exported.
    std::unique_ptr<Image> image(qint64 key);

private:
    template <typename R>
    std::unique_ptr<R> loaded(std::unique_ptr<R> record, int initResult, bool hydrated, const QString &kind,
                              qint64 key);

    std::unique_ptr<SqliteConnection> m_connection;
    QString m_packagePath;
    bool m_reading = false;
    int m_readsInTransaction = 0;
};

} // namespace velumark
