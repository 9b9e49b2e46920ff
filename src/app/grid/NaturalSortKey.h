#pragma once

#include <string>
#include <string_view>

namespace app {

// A key that orders texts as people expect: case-insensitively (by Unicode case folding, the same
// in every locale, the C locale included) and with each run of digits compared as a number, so
// that "deck 2" comes before "deck 10". Keys are compared as bytes (std::string's <); texts that
// differ only in case or in leading zeros give equal keys.
[[nodiscard]] std::string NaturalSortKey(std::string_view utf8);

} // namespace app
