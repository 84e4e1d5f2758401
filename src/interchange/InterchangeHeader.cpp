#include "interchange/InterchangeHeader.h"

#include "store/Localization.h"
#include "store/Sqlite.h"

#include <QFileInfo>
#include <cmath>
#include <limits>

namespace velumark {

qint64 saneCount(const SqliteStatement &row, int column)
{
    if (row.columnIsNull(column))
        return 0;
    const qint64 value = row.columnInt64(column);
    constexpr qint64 kLimit = std::numeric_limits<qint32>::max();
    return value < 0 || value > kLimit ? 0 : value;
}

Result<InterchangeHeader> readInterchangeHeader(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return Failure{localized("The file cannot be found.")};
    QString error;
    const auto connection = SqliteConnection::open(path, SqliteConnection::Mode::ReadOnly, &error);
    if (!connection)
        return Failure{error};
    const auto row = connection->prepare("SELECT num_artworks, num_clients, num_submissions, num_images, "
                                         "app_version, export_date FROM version");
    if (!row)
        return Failure{connection->errorMessage()};
    if (row->step() != SqliteStatement::Step::Row)
        return Failure{localized("The file has no export header.")};
    InterchangeHeader header;
    header.artworks = saneCount(*row, 0);
    header.clients = saneCount(*row, 1);
    header.submissions = saneCount(*row, 2);
    header.images = saneCount(*row, 3);
    header.appVersion = row->columnIsNull(4) ? 0 : row->columnDouble(4);
    const double seconds = row->columnIsNull(5) ? 0 : row->columnDouble(5);
    // Only a plausible instant (after 1970, before the year 10000) becomes a date.
    if (std::isfinite(seconds) && seconds > 0 && seconds < 253402300800.0)
        header.exportDate = QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000), Qt::UTC);
    return header;
}

} // namespace velumark
