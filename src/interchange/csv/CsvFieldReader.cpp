#include "interchange/csv/CsvFieldReader.h"

#include "interchange/csv/InputTextStream.h"

// Any record the CSV export writes is read back whole.
static_assert(velumark::InputTextStream::kMaximumLineLength >= 3 * velumark::kMaximumFieldLength);

namespace velumark {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';

QString withSingleQuotes(QString text)
{
    return text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
}

// Appends the rest of a line to a quoted field and fetches the line it continues on. False when
// the field cannot continue: the input ended, a line was too long, or the field grew too long.
// What cut an open stream's field short is noted on it, with the field's first line.
bool continueOnNextLine(InputTextStream &stream, std::optional<QString> &currentLine, qsizetype start,
                        QString &field, qint64 firstLine)
{
    field += withSingleQuotes(currentLine->mid(start));
    field += QChar(u'\n');
    int status = InputTextStream::kLineRead;
    for (;;) {
        if (field.size() > kMaximumFieldLength) {
            stream.markFieldTooLong(firstLine);
            return false;
        }
        status = stream.readLine(currentLine);
        if (status != InputTextStream::kLineRead || !currentLine || !currentLine->isEmpty())
            break;
        field += QChar(u'\n');
    }
    const bool continues =
        (status == InputTextStream::kLineRead || status == InputTextStream::kEndOfInput) && currentLine;
    if (!continues && status == InputTextStream::kEndOfInput && stream.isOpen())
        stream.markQuoteNotClosed(firstLine);
    return continues;
}

} // namespace

std::optional<QString> readField(InputTextStream &stream, std::optional<QString> &currentLine,
                                 qsizetype &position)
{
    if (!currentLine || position < 0)
        return std::nullopt;
    const qint64 firstLine = stream.lineNumber();
    qsizetype start = position;
    qsizetype quotes = 0;
    if (position < currentLine->size() && currentLine->at(position) == kQuote) {
        ++start;
        ++position;
        quotes = 1;
    }
    QString field = QStringLiteral("");
    if (position >= currentLine->size()) {
        // An opening quote that ends the line starts a field whose text begins with a line break.
        if (quotes == 0)
            return std::nullopt;
        if (!continueOnNextLine(stream, currentLine, start, field, firstLine)) {
            position = 0;
            return std::nullopt;
        }
        start = 0;
        position = 0;
        if (currentLine->isEmpty())
            return std::nullopt;
    }

    std::optional<QChar> previous;
    for (;;) {
        const QChar c = currentLine->at(position);
        const qsizetype lastIndex = currentLine->size() - 1;
        if (c == kQuote)
            ++quotes;
        if (c == kComma || position == lastIndex) {
            if (quotes % 2 == 0) {
                qsizetype length = position - start;
                if (c != kQuote && previous != kQuote)
                    ++length;
                if (c == kComma)
                    --length;
                if (length > 0)
                    field += withSingleQuotes(currentLine->mid(start, length));
                ++position;
                return field;
            }
            if (position == lastIndex) {
                if (!continueOnNextLine(stream, currentLine, start, field, firstLine)) {
                    position = 0;
                    return std::nullopt;
                }
                start = 0;
                position = -1;
            }
        }
        previous = c;
        ++position;
        if (position >= currentLine->size())
            return std::nullopt;
    }
}

} // namespace velumark
