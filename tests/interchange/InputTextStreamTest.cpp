#include "interchange/csv/InputTextStream.h"

#include "CsvTestFile.h"

#include <gtest/gtest.h>

using namespace velumark;

namespace {

struct Read
{
    int status;
    std::optional<QString> line;
};

Read next(InputTextStream &stream)
{
    Read read;
    read.status = stream.readLine(read.line);
    return read;
}

std::optional<QString> text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(InputTextStream, LineEndsOfEveryKindIncludingCrLfAcrossChunks)
{
    QTemporaryDir folder;
    // The CR of the second line is the last byte of the first chunk, its LF the first of the next.
    const QByteArray first(InputTextStream::kChunkSize - 3, 'x');
    const QByteArray bytes = "a\n" + first + "\r\nb\rc\r\n\n\rd\r\re";
    ASSERT_EQ(bytes.indexOf('\r'), InputTextStream::kChunkSize - 1);

    InputTextStream stream;
    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("ends.csv"), bytes)));
    const std::vector<std::optional<QString>> expected = {
        text("a"), QString::fromLatin1(first), text("b"), text("c"), text(""), text(""), text("d"), text("")};
    for (size_t i = 0; i < expected.size(); ++i) {
        const Read read = next(stream);
        EXPECT_EQ(read.status, InputTextStream::kLineRead) << i;
        EXPECT_EQ(read.line, expected[i]) << i;
        EXPECT_EQ(stream.lineNumber(), static_cast<qint64>(i + 1));
    }
    Read last = next(stream);
    EXPECT_EQ(last.status, InputTextStream::kEndOfInput);
    EXPECT_EQ(last.line, text("e")) << "a last line without terminator comes with the end";
    EXPECT_EQ(stream.lineNumber(), 9);
    last = next(stream);
    EXPECT_EQ(last.status, InputTextStream::kEndOfInput);
    EXPECT_FALSE(last.line);

    // A file ending in CR delivers no extra line.
    InputTextStream crAtEnd;
    ASSERT_TRUE(crAtEnd.open(test::writeBytes(folder, QStringLiteral("cr.csv"), "only\r")));
    EXPECT_EQ(next(crAtEnd).line, text("only"));
    last = next(crAtEnd);
    EXPECT_EQ(last.status, InputTextStream::kEndOfInput);
    EXPECT_FALSE(last.line);
}

TEST(InputTextStream, LineLimitIsTenThousandBytesAndStopsTheReadingForGood)
{
    QTemporaryDir folder;
    const QByteArray longest(InputTextStream::kMaximumLineLength, 'a');
    const QByteArray tooLong(InputTextStream::kMaximumLineLength + 1, 'b');
    const QString path = test::writeBytes(folder, QStringLiteral("long.csv"),
                                          "first\n" + longest + "\r\n" + tooLong + "\nafter\n");

    InputTextStream stream;
    ASSERT_TRUE(stream.open(path));
    EXPECT_EQ(next(stream).line, text("first"));
    const Read read = next(stream);
    EXPECT_EQ(read.status, InputTextStream::kLineRead);
    EXPECT_EQ(read.line, QString::fromLatin1(longest));
    EXPECT_EQ(next(stream).status, InputTextStream::kLineTooLong);
    EXPECT_TRUE(stream.lineTooLong());
    EXPECT_EQ(stream.lineNumber(), 3);
    const Read sticky = next(stream);
    EXPECT_EQ(sticky.status, InputTextStream::kLineTooLong);
    EXPECT_FALSE(sticky.line);

    // Opening again starts over.
    EXPECT_FALSE(stream.open(path)) << "already open";
    ASSERT_TRUE(stream.close());
    ASSERT_TRUE(stream.open(path));
    EXPECT_FALSE(stream.lineTooLong());
    EXPECT_EQ(next(stream).line, text("first"));
    EXPECT_EQ(stream.lineNumber(), 1);

    // Without a terminator the limit holds as well.
    InputTextStream unterminated;
    ASSERT_TRUE(unterminated.open(test::writeBytes(folder, QStringLiteral("tail.csv"), "x\n" + tooLong)));
    EXPECT_EQ(next(unterminated).line, text("x"));
    EXPECT_EQ(next(unterminated).status, InputTextStream::kLineTooLong);
    EXPECT_EQ(unterminated.lineNumber(), 2);
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
    EXPECT_EQ(next(stream).line, text("Café"));
    EXPECT_EQ(next(stream).line, text("Café € “ok” ŠŸ"));
    EXPECT_EQ(next(stream).line, QString(QChar(0xFEFF)) + QStringLiteral("x"));
    EXPECT_EQ(next(stream).status, InputTextStream::kEndOfInput);

    // A file that is only the mark holds no line.
    InputTextStream onlyMark;
    ASSERT_TRUE(onlyMark.open(test::writeBytes(folder, QStringLiteral("mark.csv"), "\xEF\xBB\xBF")));
    const Read read = next(onlyMark);
    EXPECT_EQ(read.status, InputTextStream::kEndOfInput);
    EXPECT_FALSE(read.line);
}

TEST(InputTextStream, OpenAndCloseRefuseWhatTheyCannotDo)
{
    QTemporaryDir folder;
    InputTextStream stream;
    EXPECT_FALSE(stream.close());
    EXPECT_FALSE(stream.open(folder.filePath(QStringLiteral("missing.csv"))));
    EXPECT_FALSE(stream.open(folder.path())) << "a folder is no file";
    EXPECT_FALSE(stream.isOpen());
    Read read = next(stream);
    EXPECT_EQ(read.status, InputTextStream::kEndOfInput);
    EXPECT_FALSE(read.line);

    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("empty.csv"), QByteArray())));
    read = next(stream);
    EXPECT_EQ(read.status, InputTextStream::kEndOfInput);
    EXPECT_FALSE(read.line);
    EXPECT_TRUE(stream.close());
    EXPECT_FALSE(stream.isOpen());
}
