#pragma once

#include <string_view>

namespace exporting {

// The maker's web address: the credit line of the HTML page, the generator of the XML file and the
// About box all name it.
inline constexpr std::string_view kMakerAddress = "https://velmora.example.org";

} // namespace exporting
