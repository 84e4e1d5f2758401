#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace velumark {

// Decodes quoted-printable bytes: "=XX" becomes the byte XX (either case); an "=" not followed by
// two hex digits stays as it is. Soft line breaks are already gone when the lines were joined.
QByteArray decodeQuotedPrintable(QByteArrayView encoded);

// Decodes bytes in the named character set (any name or alias ICU knows, such as "ISO-8859-1",
// "windows-1252", "Shift_JIS"). Without a name, with a name ICU does not know, and for text
// claiming to be UTF-8 that is not, the bytes are read as UTF-8 when they are valid UTF-8 and
// as windows-1252 otherwise (what older programs wrote without saying so). Bytes the character
// set does not define become U+FFFD.
QString decodeCharset(QByteArrayView bytes, QByteArrayView charset);

} // namespace velumark
