#pragma once

#include <QByteArray>
#include <QString>

namespace velumark::test {

// Writes the bytes as they stand, replacing the file; false when it could not be written.
bool writeFile(const QString &path, const QByteArray &data);
// The whole file; empty when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace velumark::test
