#pragma once

#include <cstddef>
#include <string_view>

namespace xml {

// Offset of the first byte that does not belong to a valid UTF-8 sequence (overlong forms,
// surrogates and values above U+10FFFF included); std::string_view::npos when there is none.
[[nodiscard]] std::size_t InvalidUtf8Offset(std::string_view bytes);

} // namespace xml
