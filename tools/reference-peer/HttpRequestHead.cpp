#include "HttpRequestHead.h"

namespace velumark::peer {

namespace {

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isWhiteSpace(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isWhiteSpace(text.back()))
        text.chop(1);
    return text;
}

} // namespace

std::optional<HttpRequestHead> HttpRequestHead::parse(QByteArrayView text)
{
    HttpRequestHead head;
    qsizetype lineStart = 0;
    bool firstLine = true;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(QByteArrayView("\r\n"), lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QByteArrayView line = text.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        for (const char c : line) {
            // Bare carriage returns, line feeds and other control bytes have no place here.
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
                return std::nullopt;
        }
        if (firstLine) {
            firstLine = false;
            const qsizetype firstSpace = line.indexOf(' ');
            const qsizetype lastSpace = line.lastIndexOf(' ');
            if (firstSpace <= 0 || lastSpace == firstSpace)
                return std::nullopt;
            head.method = line.first(firstSpace).toByteArray();
            head.target = line.sliced(firstSpace + 1, lastSpace - firstSpace - 1).toByteArray();
            head.version = line.sliced(lastSpace + 1).toByteArray();
            if (!isToken(head.method) || head.target.isEmpty() || head.target.contains(' '))
                return std::nullopt;
            if (head.version != "HTTP/1.1" && head.version != "HTTP/1.0")
                return std::nullopt;
            continue;
        }
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)))
            return std::nullopt;
        head.fields.append({line.first(colon).toByteArray(), trimmed(line.sliced(colon + 1)).toByteArray()});
    }
    if (firstLine)
        return std::nullopt;
    return head;
}

std::optional<QByteArray> HttpRequestHead::field(QByteArrayView name) const
{
    for (const auto &[fieldName, value] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

QList<QByteArray> HttpRequestHead::fieldValues(QByteArrayView name) const
{
    QList<QByteArray> values;
    for (const auto &[fieldName, value] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

std::optional<QByteArray> headerParameter(QByteArrayView fieldValue, QByteArrayView name)
{
    qsizetype position = fieldValue.indexOf(';');
    if (position < 0)
        return std::nullopt;
    const auto skipSpace = [&] {
        while (position < fieldValue.size() && isWhiteSpace(fieldValue[position]))
            ++position;
    };
    while (position < fieldValue.size()) {
        if (fieldValue[position] != ';')
            return std::nullopt;
        ++position;
        skipSpace();
        const qsizetype nameStart = position;
        while (position < fieldValue.size() && isTokenChar(fieldValue[position]))
            ++position;
        const QByteArrayView parameterName = fieldValue.sliced(nameStart, position - nameStart);
        skipSpace();
        if (parameterName.isEmpty() || position >= fieldValue.size() || fieldValue[position] != '=')
            return std::nullopt;
        ++position;
        skipSpace();
        QByteArray value;
        if (position < fieldValue.size() && fieldValue[position] == '"') {
            ++position;
            bool closed = false;
            while (position < fieldValue.size()) {
                char c = fieldValue[position++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && position < fieldValue.size())
                    c = fieldValue[position++];
                value.append(c);
            }
            if (!closed)
                return std::nullopt;
        } else {
            const qsizetype valueStart = position;
            while (position < fieldValue.size() && isTokenChar(fieldValue[position]))
                ++position;
            value = fieldValue.sliced(valueStart, position - valueStart).toByteArray();
            if (value.isEmpty())
                return std::nullopt;
        }
        skipSpace();
        if (parameterName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

} // namespace velumark::peer
