#pragma once

#include "engine/record/DocumentRecord.h"
#include "engine/tables/FillPattern.h"

#include <cstddef>
#include <regex>
#include <string>

// The value a fill pattern gives one package for one property, or why the package is left alone.
namespace engine {

struct FillResult
{
    std::string Value;
    std::string Problem;       // empty when Value can be stored
    bool NameMismatch = false; // the problem is that the file name does not match
};

// The file name (taken from the full path when the record has none) must match the whole of
// `match` when one is given; its groups are the pattern's {1}..{9}. The result must pass the
// property's value rule; Problem then holds the rule's message.
[[nodiscard]] FillResult FillValueFor(const FillPattern& pattern,
                                      std::size_t property,
                                      const DocumentRecord& before,
                                      const std::regex* match,
                                      const std::string& now);

} // namespace engine
