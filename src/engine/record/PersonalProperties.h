#pragma once

#include <cstddef>
#include <vector>

namespace engine {

// The properties that name people or their folders, as catalogue indexes: Creator,
// LastModifiedBy, Company, Manager, LastPrinted and Template.
[[nodiscard]] const std::vector<std::size_t>& PersonalProperties();

} // namespace engine
