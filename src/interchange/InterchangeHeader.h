#pragma once

#include "store/Result.h"

#include <QDateTime>
#include <QString>

namespace velumark {

class SqliteStatement;

// What the export header of an interchange file says about it, for the user to see before
// importing: the counts of the catalogue it came from and when it was exported.
struct InterchangeHeader
{
    qint64 artworks = 0;
    qint64 clients = 0;
    qint64 submissions = 0;
    qint64 images = 0;
    double appVersion = 0;
    QDateTime exportDate; // null when the file does not say
};

// Reads the header without changing the file; a failure says why it cannot be read.
Result<InterchangeHeader> readInterchangeHeader(const QString &path);

// A header count of a foreign file: anything negative or absurd counts as nothing.
qint64 saneCount(const SqliteStatement &row, int column);

} // namespace velumark
