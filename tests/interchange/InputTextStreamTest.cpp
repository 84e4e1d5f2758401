#include "interchange/csv/InputTextStream.h"

#include "CsvTestFile.h"

using namespace velumark;

namespace {

// What each read gives until the reading has ended, and one read more: the line number, how the
// read ended (nothing for a line read, "end" or "too long") and its line, "-" for none.
std::vector<std::string> reads(InputTextStream &stream)
{
    std::vector<std::string> list;
    for (int afterEnd = 0; afterEnd < 2;) {
        std::optional<QString> line;
        const int status = stream.readLine(line);
        std::string read = std::to_string(stream.lineNumber()) + ":";
        if (status != InputTextStream::kLineRead) {
            read += status == InputTextStream::kEndOfInput ? "end:" : "too long:";
            ++afterEnd;
        }
        list.push_back(read + (line ? line->toStdString() : "-"));
    }
    return list;
}

using Reads = std::vector<std::string>;

} // namespace

TEST(InputTextStream, LineEndsOfEveryKindIncludingCrLfAcrossChunks)
{
    QTemporaryDir folder;
    // The CR of the second line is the last byte of the first chunk, its LF the first of the next.
    const std::string first(InputTextStream::kChunkSize - 3, 'x');
    const QByteArray bytes = "a\n" + QByteArray::fromStdString(first) + "\r\nb\rc\r\n\n\rd\r\re";
    ASSERT_EQ(bytes.indexOf('\r'), InputTextStream::kChunkSize - 1);
    InputTextStream stream;
    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("ends.csv"), bytes)));
    // A last line without terminator comes with the end.
    EXPECT_EQ(reads(stream),
              (Reads{"1:a", "2:" + first, "3:b", "4:c", "5:", "6:", "7:d", "8:", "9:end:e", "9:end:-"}));

    // A file ending in CR delivers no extra line.
    InputTextStream crAtEnd;
    ASSERT_TRUE(crAtEnd.open(test::writeBytes(folder, QStringLiteral("cr.csv"), "only\r")));
    EXPECT_EQ(reads(crAtEnd), (Reads{"1:only", "1:end:-", "1:end:-"}));
}

TEST(InputTextStream, LineLimitIsTenThousandBytesAndStopsTheReadingForGood)
{
    QTemporaryDir folder;
    const std::string longest(InputTextStream::kMaximumLineLength, 'a');
    const QByteArray tooLong(InputTextStream::kMaximumLineLength + 1, 'b');
    const QString path =
        test::writeBytes(folder, QStringLiteral("long.csv"),
                         "first\n" + QByteArray::fromStdString(longest) + "\r\n" + tooLong + "\nafter\n");
    InputTextStream stream;
    ASSERT_TRUE(stream.open(path));
    EXPECT_EQ(reads(stream), (Reads{"1:first", "2:" + longest, "3:too long:-", "3:too long:-"}));
    EXPECT_TRUE(stream.lineTooLong());

    // Opening again starts over.
    EXPECT_FALSE(stream.open(path)) << "already open";
    ASSERT_TRUE(stream.close());
    ASSERT_TRUE(stream.open(path));
    EXPECT_FALSE(stream.lineTooLong());
    std::optional<QString> line;
    EXPECT_EQ(stream.readLine(line), InputTextStream::kLineRead);
    EXPECT_EQ(line, QStringLiteral("first"));
    EXPECT_EQ(stream.lineNumber(), 1);

    // Without a terminator the limit holds as well.
    InputTextStream unterminated;
    ASSERT_TRUE(unterminated.open(test::writeBytes(folder, QStringLiteral("tail.csv"), "x\n" + tooLong)));
    EXPECT_EQ(reads(unterminated), (Reads{"1:x", "2:too long:-", "2:too long:-"}));
}

TEST(InputTextStream, ByteOrderMarkIsSkippedAndWindows1252LinesAreDecoded)
{
    QTemporaryDir folder;
    const QByteArray bytes = "\xEF\xBB\xBF"
                             "Caf\xC3\xA9\r\n"                      // UTF-8
                             "Caf\xE9 \x80 \x93ok\x94 \x8A\x9F\r\n" // Windows-1252
                             "\xEF\xBB\xBFx\r\n";                   // a mark inside the file is text
    InputTextStream stream;
    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("bom.csv"), bytes)));
    EXPECT_EQ(reads(stream), (Reads{"1:Café", "2:Café € “ok” ŠŸ", "3:\xEF\xBB\xBFx", "3:end:-", "3:end:-"}));

    // A file that is only the mark holds no line.
    InputTextStream onlyMark;
    ASSERT_TRUE(onlyMark.open(test::writeBytes(folder, QStringLiteral("mark.csv"), "\xEF\xBB\xBF")));
    EXPECT_EQ(reads(onlyMark), (Reads{"0:end:-", "0:end:-"}));
}

TEST(InputTextStream, OpenAndCloseRefuseWhatTheyCannotDo)
{
    QTemporaryDir folder;
    InputTextStream stream;
    EXPECT_FALSE(stream.close());
    EXPECT_FALSE(stream.open(folder.filePath(QStringLiteral("missing.csv"))));
    EXPECT_FALSE(stream.open(folder.path())) << "a folder is no file";
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(reads(stream), (Reads{"0:end:-", "0:end:-"}));

    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("empty.csv"), QByteArray())));
    EXPECT_EQ(reads(stream), (Reads{"0:end:-", "0:end:-"}));
    EXPECT_TRUE(stream.close());
    EXPECT_FALSE(stream.isOpen());
}
