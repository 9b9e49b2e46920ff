#pragma once

#include <cstddef>
#include <string_view>

// The byte order mark in front of a document, which the service keeps as it was loaded.
namespace xml {

// Length of a byte order mark at the start of bytes (UTF-8, UTF-16 or UTF-32), or 0.
[[nodiscard]] std::size_t ByteOrderMarkLength(std::string_view bytes);

} // namespace xml
