#pragma once

#include "engine/record/CustomProperties.h"

#include <string>
#include <vector>

namespace cli {

// "NAME=VALUE" or "NAME:TYPE=VALUE" (TYPE text, int, real, bool or date; the value starts after the
// first '='; a name holding ':' needs the type) for --custom, and names for --custom-clear, checked
// before any package is opened. A name given twice is an error. Throws EBadAssignment.
std::vector<engine::CustomChange> ParseCustomAssignments(const std::vector<std::string>& sets,
                                                         const std::vector<std::string>& clears);

} // namespace cli
