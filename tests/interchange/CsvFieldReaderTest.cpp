#include "interchange/csv/CsvFieldReader.h"

#include "CsvTestFile.h"

using namespace velumark;

TEST(CsvFieldReader, QuotesCommasAndLineBreaksComeBackAsWritten)
{
    QTemporaryDir folder;
    const QByteArray bytes = "\"He said \"\"hi\"\", then\r\nleft\",next\r\n" // doubled quotes, comma, CR LF
                             "plain,,\"\",last,\r\n"                         // empty fields, trailing comma
                             "\"a\n\n\rb\",\"\"\"x\"\"\"\n"                  // empty lines inside
                             "x,\"\nstarts with a break\"\n"                 // quote that ends its line
                             "\"break at end\n\",y\n";
    InputTextStream stream;
    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("fields.csv"), bytes)));
    EXPECT_EQ(test::readRecords(stream), (test::Records{{"He said \"hi\", then\nleft", "next"},
                                                        {"plain", "", "", "last"},
                                                        {"a\n\n\nb", "\"x\""},
                                                        {"x", "\nstarts with a break"},
                                                        {"break at end\n", "y"}}));
    EXPECT_EQ(stream.lineNumber(), 11);
}

TEST(CsvFieldReader, EndsCleanlyOnOpenQuotesAndBadPositions)
{
    QTemporaryDir folder;
    InputTextStream stream;
    ASSERT_TRUE(stream.open(test::writeBytes(folder, QStringLiteral("open.csv"), "a,\"never closed\nmore")));
    std::optional<QString> line;
    stream.readLine(line);
    qsizetype position = 0;
    EXPECT_EQ(readField(stream, line, position), QStringLiteral("a"));
    EXPECT_FALSE(readField(stream, line, position)) << "the input ends inside the quotes";
    EXPECT_EQ(position, 0);
    EXPECT_FALSE(line);
    EXPECT_FALSE(readField(stream, line, position));

    std::optional<QString> text = QStringLiteral("a,b");
    for (qsizetype outside : {-1, 99}) {
        position = outside;
        EXPECT_FALSE(readField(stream, text, position)) << outside;
    }
    // A stream that is not open keeps the field within its line.
    InputTextStream closed;
    text = QStringLiteral("\"open");
    position = 0;
    EXPECT_FALSE(readField(closed, text, position));
}
