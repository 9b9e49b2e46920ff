#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The candidates a mistyped name was probably meant to be: those within a small edit distance
// (insertions, deletions, substitutions and swaps of two neighbours, ignoring ASCII case), nearest
// first.
std::vector<std::string> CloseNames(std::string_view typed, const std::vector<std::string>& candidates);

// "A, B or C".
std::string JoinedAlternatives(const std::vector<std::string>& names);

} // namespace cli
