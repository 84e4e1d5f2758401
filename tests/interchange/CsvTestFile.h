#pragma once

#include "interchange/csv/CsvFieldReader.h"
#include "interchange/csv/InputTextStream.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velumark::test {

// Writes the bytes as they stand (no encoding, no line-end translation) and returns the path.
inline QString writeBytes(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(file.write(bytes), bytes.size());
    return path;
}

using Records = std::vector<std::vector<std::string>>;

// The records from the stream's next line to the end of the reading, as the field reader splits
// them, in UTF-8.
inline Records readRecords(InputTextStream &stream)
{
    Records records;
    for (;;) {
        std::optional<QString> line;
        const int status = stream.readLine(line);
        if (line) {
            qsizetype position = 0;
            records.emplace_back();
            while (const std::optional<QString> field = readField(stream, line, position))
                records.back().push_back(field->toStdString());
        }
        if (status != InputTextStream::kLineRead)
            return records;
    }
}

} // namespace velumark::test
