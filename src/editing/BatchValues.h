#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace editing {

// One value to stage: catalogue property and text (empty removes it).
struct BatchValue
{
    std::size_t Property = 0;
    std::string Value;
};

using BatchValues = std::vector<BatchValue>;

} // namespace editing
