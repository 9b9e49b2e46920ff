#include "archive/MemberPath.h"

#include <string>
#include <vector>

namespace archive {

std::optional<std::filesystem::path> SafeMemberPath(std::string_view name, bool recreateDirs)
{
    if (name.empty() || name.find('\0') != std::string_view::npos || name[0] == '/' || name[0] == '\\') {
        return std::nullopt;
    }
    if (name.size() >= 2 && name[1] == ':') {
        return std::nullopt;
    }
    std::vector<std::string_view> steps;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        const std::string_view step = name.substr(start, end - start);
        if (step == "..") {
            return std::nullopt;
        }
        if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    if (steps.empty()) {
        return std::nullopt;
    }
    std::filesystem::path path;
    if (recreateDirs) {
        for (const std::string_view step : steps) {
            path /= std::filesystem::path(std::string(step));
        }
    } else {
        path = std::string(steps.back());
    }
    return path;
}

} // namespace archive
