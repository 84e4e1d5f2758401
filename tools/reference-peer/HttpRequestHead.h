#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>
#include <utility>

namespace velumark::peer {

// The request line and header fields of one HTTP/1.x request.
struct HttpRequestHead
{
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QList<std::pair<QByteArray, QByteArray>> fields;

    // Parses the text before the blank line that ends the head; none when it is not a
    // well-formed HTTP/1.0 or HTTP/1.1 request.
    static std::optional<HttpRequestHead> parse(QByteArrayView text);

    // The value of the first field of that name (compared without regard to case); none when
    // the request has no such field.
    std::optional<QByteArray> field(QByteArrayView name) const;
    // Every value of the fields of that name.
    QList<QByteArray> fieldValues(QByteArrayView name) const;
};

// The value of one parameter of a header field such as
// `form-data; name="file"; filename="a.vdbi"`, unquoted; none when it is missing or the
// parameters do not parse.
std::optional<QByteArray> headerParameter(QByteArrayView fieldValue, QByteArrayView name);

} // namespace velumark::peer
