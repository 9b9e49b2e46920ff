#include "export/ExportTitle.h"

#include <algorithm>

namespace exporting {

std::string ExportTitle(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(name.substr(0, name.find('.')));
}

std::string ColumnLetters(int n)
{
    // Bijective base 26: there is no zero digit, so "Z" is 26 and "AA" follows it.
    std::string letters;
    while (n > 0) {
        const int digit = (n - 1) % 26;
        letters.push_back(static_cast<char>('A' + digit));
        n = (n - 1) / 26;
    }
    std::reverse(letters.begin(), letters.end());
    return letters;
}

} // namespace exporting
