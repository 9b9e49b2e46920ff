#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Finding the document's top level (everything outside the root element) in the raw text of an
// ASCII-compatible encoding, so that it can be written back byte for byte.
namespace xml {

// Length of a byte order mark at the start of bytes (UTF-8, UTF-16 or UTF-32), or 0.
[[nodiscard]] std::size_t ByteOrderMarkLength(std::string_view bytes);

// Offset of the root element's '<', skipping whitespace, the declaration, processing
// instructions, comments and the document type declaration from offset from; std::nullopt when
// the text does not have that shape.
[[nodiscard]] std::optional<std::size_t> RootStart(std::string_view text, std::size_t from);

// Offset just after the root element's last '>', skipping trailing whitespace, comments and
// processing instructions backwards.
[[nodiscard]] std::size_t RootEnd(std::string_view text);

} // namespace xml
