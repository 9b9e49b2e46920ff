#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Why a text cannot be stored in a property part, led by what (a property's or custom property's
// name): XML 1.0 cannot hold most control characters, and the parts are UTF-8. std::nullopt when
// it can be stored.
[[nodiscard]] std::optional<std::string> StorableTextProblem(std::string_view what, std::string_view value);

} // namespace engine
