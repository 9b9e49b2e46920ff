#include "cli/CloseNames.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace cli {

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Optimal string alignment distance over ASCII-lowered characters.
std::size_t EditDistance(std::string_view a, std::string_view b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t k = 0; k <= b.size(); ++k) {
        d[0][k] = k;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t k = 1; k <= b.size(); ++k) {
            const std::size_t cost = Lower(a[i - 1]) == Lower(b[k - 1]) ? 0 : 1;
            d[i][k] = std::min({d[i - 1][k] + 1, d[i][k - 1] + 1, d[i - 1][k - 1] + cost});
            if (i > 1 && k > 1 && Lower(a[i - 1]) == Lower(b[k - 2]) && Lower(a[i - 2]) == Lower(b[k - 1])) {
                d[i][k] = std::min(d[i][k], d[i - 2][k - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

} // namespace

std::vector<std::string> CloseNames(std::string_view typed, const std::vector<std::string>& candidates)
{
    // A third of the name may be wrong, at least one character and at most three, so that short
    // names do not suggest every other short name.
    const std::size_t allowed = std::clamp<std::size_t>(typed.size() / 3, 1, 3);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = EditDistance(typed, candidate);
        if (distance <= allowed) {
            near.emplace_back(distance, candidate);
        }
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> names;
    for (auto& [distance, name] : near) {
        names.push_back(std::move(name));
    }
    return names;
}

std::string JoinedAlternatives(const std::vector<std::string>& names)
{
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        joined += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return joined;
}

} // namespace cli
