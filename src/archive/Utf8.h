#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Strict UTF-8: no overlong forms, no surrogates (U+D800..U+DFFF), nothing above U+10FFFF, no
// sequence cut short. Member names, property values and every text the tools print are judged here.
namespace archive {

// One step through a UTF-8 text: the code point at a position and how many bytes it takes. An
// invalid sequence is reported as one invalid byte, so that a walk resumes right after it.
struct Utf8Step
{
    char32_t CodePoint = 0;
    std::size_t Length = 1;
    bool Valid = false;
};

[[nodiscard]] Utf8Step DecodeUtf8(std::string_view text, std::size_t pos);

// Position of the first byte that does not start a well-formed sequence; npos for valid text.
[[nodiscard]] std::size_t InvalidUtf8Offset(std::string_view text);

[[nodiscard]] inline bool IsValidUtf8(std::string_view text)
{
    return InvalidUtf8Offset(text) == std::string_view::npos;
}

// The text with each invalid byte replaced by replacement (which may be empty, to drop it).
[[nodiscard]] std::string RepairUtf8(std::string_view text, std::string_view replacement);

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD"; // U+FFFD

// Code points of a text, each invalid byte counted as one.
[[nodiscard]] std::size_t CountCodePoints(std::string_view text);

// Appends a code point (at most U+10FFFF, no surrogate) as UTF-8.
void AppendUtf8(std::string& text, char32_t codePoint);

} // namespace archive
