// Bounded randomized tests of the line and field readers: random records must come back as they
// were written, and random bytes must neither hang, crash nor break the readers' invariants.
#include "CsvTestFile.h"
#include "interchange/csv/CsvFieldReader.h"
#include "interchange/csv/InputTextStream.h"

#include <gtest/gtest.h>
#include <random>

using namespace velumark;

namespace {

constexpr unsigned kSeed = 20240611;

QByteArray pick(std::mt19937 &random, std::initializer_list<const char *> choices)
{
    std::uniform_int_distribution<size_t> index(0, choices.size() - 1);
    return QByteArray(*(choices.begin() + index(random)));
}

} // namespace

TEST(CsvReaderFuzz, RandomQuotedRecordsReadBackExactly)
{
    QTemporaryDir folder;
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> count(0, 9);
    for (int round = 0; round < 200; ++round) {
        QByteArray file = (round % 3 == 0) ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        std::vector<std::vector<QString>> expected;
        const int records = count(random) + 1;
        for (int r = 0; r < records; ++r) {
            std::vector<QString> fields;
            const int fieldCount = count(random) + 1;
            for (int f = 0; f < fieldCount; ++f) {
                QByteArray content;
                const int length = count(random);
                for (int c = 0; c < length; ++c)
                    content +=
                        pick(random, {"a", "b", ",", "\"", " ", "\xC3\xA9", "\n", "\r\n", "\r", "\n\n"});
                file += (f ? "," : "") + ("\"" + QByteArray(content).replace("\"", "\"\"") + "\"");
                // Line breaks inside a field come back as line feeds.
                fields.push_back(QString::fromUtf8(content.replace("\r\n", "\n").replace('\r', '\n')));
            }
            file += pick(random, {"\n", "\r", "\r\n"});
            expected.push_back(fields);
        }

        InputTextStream stream;
        ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("round.csv"), file)));
        std::vector<std::vector<QString>> read;
        for (;;) {
            std::optional<QString> line;
            const int status = stream.readLine(line);
            if (line) {
                qsizetype position = 0;
                std::vector<QString> fields;
                while (const std::optional<QString> field = readField(stream, line, position))
                    fields.push_back(*field);
                read.push_back(fields);
            }
            if (status != InputTextStream::kLineRead)
                break;
        }
        ASSERT_EQ(read, expected) << "round " << round << ", file: " << file.toStdString();
    }
}

TEST(CsvReaderFuzz, RandomBytesEndWithinBoundsAndKeepInvariants)
{
    QTemporaryDir folder;
    std::mt19937 random(kSeed + 1);
    std::uniform_int_distribution<int> size(0, 3000);
    std::uniform_int_distribution<int> longRun(0, 7);
    for (int round = 0; round < 300; ++round) {
        QByteArray file;
        const int pieces = size(random);
        for (int i = 0; i < pieces; ++i) {
            // Now and then a run long enough to cross the line limit.
            if (longRun(random) == 0 && i % 97 == 0)
                file += QByteArray(InputTextStream::kMaximumLineLength - 5 + longRun(random), 'z');
            file += pick(random, {"\"", ",", "\r", "\n", "a", "\xC3", "\xA9", "\xFF", "\x80", "\"\"", ",\"",
                                  "\"\r\n", "\xEF\xBB\xBF", " "});
        }

        InputTextStream stream;
        ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("noise.csv"), file)));
        // Every call consumes at least a byte or a field, so this bounds a reader that never ends.
        const qint64 budget = 4 * (file.size() + 10);
        qint64 calls = 0;
        for (;;) {
            std::optional<QString> line;
            const int status = stream.readLine(line);
            ASSERT_TRUE(status == InputTextStream::kLineRead || status == InputTextStream::kEndOfInput ||
                        status == InputTextStream::kLineTooLong);
            ASSERT_LE(++calls, budget) << "round " << round;
            if (line) {
                ASSERT_LE(line->size(), InputTextStream::kMaximumLineLength);
                qsizetype position = 0;
                while (const std::optional<QString> field = readField(stream, line, position)) {
                    ASSERT_LE(++calls, budget) << "round " << round;
                    ASSERT_LE(field->size(), kMaximumFieldLength + InputTextStream::kMaximumLineLength);
                    ASSERT_TRUE(line) << "a field came without a line";
                    ASSERT_GE(position, 1);
                    ASSERT_LE(position, line->size());
                }
            }
            if (status != InputTextStream::kLineRead)
                break;
        }
        EXPECT_FALSE(stream.readFailed());
    }
}
