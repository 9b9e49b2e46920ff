#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace exporting {

// One step through a UTF-8 text: the code point at a position and how many bytes it takes. An
// invalid sequence (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short)
// is reported as one invalid byte so that the walk resumes right after it.
struct Utf8Step
{
    char32_t CodePoint = 0;
    std::size_t Length = 1;
    bool Valid = false;
};

[[nodiscard]] Utf8Step DecodeUtf8(std::string_view text, std::size_t pos);

// The text without its invalid sequences.
[[nodiscard]] std::string DropInvalidUtf8(std::string_view text);

// Code points of a text, each invalid byte counted as one.
[[nodiscard]] std::size_t CountCodePoints(std::string_view text);

} // namespace exporting
