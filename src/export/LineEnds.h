#pragma once

#include <ostream>
#include <string_view>

namespace exporting {

// Writes text as lines that each end in CR LF. A CR, an LF or a CR LF pair ends a line; a last line
// without a line end still gets one, and an empty text writes nothing.
void WriteWithLineEnds(std::ostream& out, std::string_view text);

} // namespace exporting
