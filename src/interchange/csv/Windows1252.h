#pragma once

#include <QByteArrayView>
#include <QString>

namespace velumark {

// Decodes Windows-1252, the code page spreadsheets on Western-language systems save text in.
// Every byte maps to one character; the five bytes the code page leaves unassigned map to the
// control characters of the same value, so nothing is dropped.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace velumark
