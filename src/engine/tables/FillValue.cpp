#include "engine/tables/FillValue.h"

#include "engine/record/PropertyValueRule.h"

#include <filesystem>

namespace engine {

FillResult FillValueFor(const FillPattern& pattern,
                        std::size_t property,
                        const DocumentRecord& before,
                        const std::regex* match,
                        const std::string& now)
{
    const std::string fileName = before.FileName.empty()
                                     ? std::filesystem::path(before.FullPath).filename().string()
                                     : before.FileName;
    std::smatch groups;
    if (match != nullptr && !std::regex_match(fileName, groups, *match)) {
        return {{}, "the file name does not match the expression; left as it is", true};
    }
    std::string value = pattern.Evaluate(before, match != nullptr ? &groups : nullptr, now);
    if (auto problem = PropertyValueProblem(property, value)) {
        return {{}, *problem, false};
    }
    return {std::move(value), {}};
}

} // namespace engine
