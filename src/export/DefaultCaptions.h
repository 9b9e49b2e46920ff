#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// The captions of the built-in column configuration in column-index order, so that a front end
// without a grid exports the same columns as the window. The first caption starts with five blanks.
inline constexpr std::array<std::string_view, 20> kDefaultCaptions = {
    "     File Name", "Full Path",   "File Size",
    "Title",          "Subject",     "Creator",
    "Keywords",       "Description", "LastModifiedBy",
    "Revision",       "LastPrinted", "CreatedTime",
    "ModifiedTime",   "Category",    "ContentType",
    "ContentStatus",  "Template",    "TotalEditTime(second)",
    "Company",        "Manager",
};

inline std::vector<std::string> DefaultCaptions()
{
    return {kDefaultCaptions.begin(), kDefaultCaptions.end()};
}

} // namespace exporting
