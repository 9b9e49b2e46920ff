#include "export/SpreadsheetFileName.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace exporting {

std::string SpreadsheetFileName(const std::string& path)
{
    constexpr std::string_view kOldExtension = ".xls";
    if (path.size() <= kOldExtension.size()) {
        return path;
    }
    const std::string_view end = std::string_view(path).substr(path.size() - kOldExtension.size());
    const bool oldExtension = std::equal(end.begin(), end.end(), kOldExtension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
    if (!oldExtension || path[path.size() - kOldExtension.size() - 1] == '/') {
        return path;
    }
    // Follows the letter case of the name as typed.
    return path + (path.back() == 'S' ? "X" : "x");
}

} // namespace exporting
