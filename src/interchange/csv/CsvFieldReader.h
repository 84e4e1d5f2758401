#pragma once

#include <QString>
#include <optional>

namespace velumark {

class InputTextStream;

// The longest text a quoted field may gather over several lines. Beyond it the stream is marked
// too long and the reading ends, so that a quote left open cannot pull a whole file into memory.
constexpr qsizetype kMaximumFieldLength = 100 * 10000;

// Reads the field of `currentLine` that starts at `position` (an index in the line's characters)
// and moves `position` past it and its comma. A field enclosed in double quotes loses them;
// doubled quotes in any field become single; commas and line breaks inside quotes belong to the
// field, and when the quotes are still open at the end of the line the field continues on the
// following lines of `stream`, which replace `currentLine` (their breaks become line feeds).
// None when the line holds no further field: no line, a position at or past its end (so a line
// that ends with a comma has no field after it), or a quoted field that the input ends inside.
// A stream that is not open keeps every field within its line.
std::optional<QString> readField(InputTextStream &stream, std::optional<QString> &currentLine,
                                 qsizetype &position);

} // namespace velumark
