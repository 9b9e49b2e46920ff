// The member-name matcher on arbitrary pattern and text (split at the first NUL byte). Besides
// crashes and hangs (backtracking), it checks the rules the extraction relies on: "*" matches
// everything, and a pattern without wildcard characters matches exactly its own text, letter case
// aside.
#include "FuzzSupport.h"
#include "archive/WildcardMatch.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view pattern = input.substr(0, split);
    const std::string_view text =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const bool matched = archive::WildcardMatch(pattern, text);
    if (!archive::WildcardMatch("*", text)) {
        fuzzing::Fail("\"*\" did not match", text);
    }
    if (!archive::IsWildcard(pattern)) {
        if (matched != (Lower(text) == Lower(pattern))) {
            fuzzing::Fail("a literal pattern matched wrongly:",
                          std::string(pattern) + " vs " + std::string(text));
        }
        if (!archive::WildcardMatch(pattern, pattern)) {
            fuzzing::Fail("a literal pattern does not match itself:", pattern);
        }
    }
    return 0;
}
