#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// The text with every byte that does not start a well-formed UTF-8 sequence (overlong forms,
// surrogates and values past U+10FFFF included) replaced by U+FFFD, so that output is always valid.
std::string ValidUtf8(std::string_view text);

// Number of code points, as the width of a table cell.
std::size_t CodePointCount(std::string_view validUtf8);

} // namespace cli
