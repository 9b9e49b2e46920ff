#pragma once

#include "engine/record/DocumentRecord.h"

#include <cstddef>
#include <string>
#include <vector>

namespace editing {

// One value of the Batch Modify list to apply: catalogue property and text (empty removes it).
struct BatchValue
{
    std::size_t Property = 0;
    std::string Value;
};

using BatchValues = std::vector<BatchValue>;

// Stores every value into the record and flags it with Modified, even when it is empty or equal
// to the record's text: the user asked for exactly these properties.
void ApplyBatchValues(engine::DocumentRecord& record, const BatchValues& values);

} // namespace editing
