// Bounded randomized tests of the line and field readers: random records must come back as they
// were written, and random bytes must neither hang, crash nor break the readers' invariants.
#include "CsvTestFile.h"

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
        test::Records expected(count(random) + 1);
        for (auto &fields : expected) {
            for (int f = count(random); f >= 0; --f) {
                QByteArray content;
                for (int c = count(random); c > 0; --c)
                    content +=
                        pick(random, {"a", "b", ",", "\"", " ", "\xC3\xA9", "\n", "\r\n", "\r", "\n\n"});
                file += (fields.empty() ? "\"" : ",\"") + QByteArray(content).replace("\"", "\"\"") + "\"";
                // Line breaks inside a field come back as line feeds.
                fields.push_back(content.replace("\r\n", "\n").replace('\r', '\n').toStdString());
            }
            file += pick(random, {"\n", "\r", "\r\n"});
        }
        InputTextStream stream;
        ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("round.csv"), file)));
        ASSERT_EQ(test::readRecords(stream), expected)
            << "round " << round << ", file: " << file.toStdString();
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
