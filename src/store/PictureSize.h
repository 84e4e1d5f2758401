#pragma once

#include <optional>

namespace velumark {

// The sizes a picture is exported in (the report's photo sizes), by their codes 1 to 4.
enum class PictureSize
{
    Small = 1,     // the thumbnail as it is
    Medium = 2,    // the photo, longest side 512
    Large = 3,     // longest side 1024
    ExtraLarge = 4 // longest side 1280
};

// The size of a code from a window's choice; none for any other code.
inline std::optional<PictureSize> pictureSizeFromCode(int code)
{
    if (code < static_cast<int>(PictureSize::Small) || code > static_cast<int>(PictureSize::ExtraLarge))
        return std::nullopt;
    return static_cast<PictureSize>(code);
}

} // namespace velumark
