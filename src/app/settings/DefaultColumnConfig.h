#pragma once

#include <string_view>

namespace app {

// The grid's built-in column layout: one <node> per column, in column-index order. It is the only
// layout there is; nothing is read from or saved to disk.
extern const std::string_view DefaultColumnConfig;

} // namespace app
