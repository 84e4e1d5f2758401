#include "interchange/contacts/ContactTextDecoding.h"

#include <limits>
#include <memory>
#include <optional>
#include <unicode/ucnv.h>

namespace velumark {

namespace {

struct ConverterCloser
{
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Charset names are short ASCII words; anything else is not handed to ICU.
bool isPlausibleCharsetName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > 40)
        return false;
    for (const char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                             c == '-' || c == '_' || c == '.' || c == ':' || c == '+';
        if (!allowed)
            return false;
    }
    return true;
}

Converter openConverter(QByteArrayView name)
{
    if (!isPlausibleCharsetName(name))
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name.toByteArray().constData(), &status));
    return U_FAILURE(status) ? nullptr : std::move(converter);
}

std::optional<QString> convert(UConverter *converter, QByteArrayView bytes)
{
    if (bytes.size() > std::numeric_limits<int32_t>::max() / 2)
        return std::nullopt;
    const auto length = static_cast<int32_t>(bytes.size());
    UErrorCode status = U_ZERO_ERROR;
    const int32_t needed = ucnv_toUChars(converter, nullptr, 0, bytes.data(), length, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return std::nullopt;
    QString text(needed, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    ucnv_toUChars(converter, reinterpret_cast<UChar *>(text.data()), needed, bytes.data(), length, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return text;
}

QString decodeUnlabelled(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    static constexpr char windows1252[] = "windows-1252";
    const Converter converter = openConverter(windows1252);
    if (converter) {
        if (std::optional<QString> text = convert(converter.get(), bytes))
            return *text;
    }
    return QString::fromLatin1(bytes);
}

} // namespace

QByteArray decodeQuotedPrintable(QByteArrayView encoded)
{
    QByteArray decoded;
    decoded.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '=' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
            hexValue(encoded[i + 2]) >= 0) {
            decoded.append(static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2])));
            i += 2;
        } else {
            decoded.append(c);
        }
    }
    return decoded;
}

QString decodeCharset(QByteArrayView bytes, QByteArrayView charset)
{
    const QByteArray name = charset.toByteArray().toLower();
    if (name.isEmpty() || name == "utf-8" || name == "utf8")
        return decodeUnlabelled(bytes);
    const Converter converter = openConverter(name);
    if (!converter)
        return decodeUnlabelled(bytes);
    std::optional<QString> text = convert(converter.get(), bytes);
    return text ? *text : decodeUnlabelled(bytes);
}

} // namespace velumark
