#include "engine/record/CellText.h"

#include <charconv>
#include <langinfo.h>
#include <mutex>

namespace engine {
namespace {

std::mutex g_overrideMutex;
std::optional<NumberSeparators> g_override;

// Thousands grouping of an unsigned integer with the given separator.
std::string Grouped(std::uint64_t value, const std::string& separator)
{
    std::string digits = std::to_string(value);
    std::string out;
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) {
        out += separator;
        out.append(digits, i, 3);
    }
    return out;
}

} // namespace

NumberSeparators CurrentSeparators()
{
    {
        std::lock_guard lock(g_overrideMutex);
        if (g_override) {
            return *g_override;
        }
    }
    // The current locale's LC_NUMERIC; the program selects the user's locale at start.
    NumberSeparators separators{nl_langinfo(THOUSEP), nl_langinfo(RADIXCHAR)};
    if (separators.Decimal.empty()) {
        separators.Decimal = ".";
    }
    if (separators.Thousands.empty()) {
        // The C locale groups nothing; a grouping mark equal to the decimal mark would be misread.
        separators.Thousands = separators.Decimal == "," ? "." : ",";
    }
    return separators;
}

void SetSeparatorOverride(std::optional<NumberSeparators> separators)
{
    std::lock_guard lock(g_overrideMutex);
    g_override = std::move(separators);
}

std::string FormatSizeText(std::uint64_t bytes, const NumberSeparators& separators)
{
    struct Unit
    {
        std::uint64_t divisor;
        const char* name;
    };

    static constexpr Unit kUnits[] = {{1, "B"}, {1024ULL, "KB"}, {1048576ULL, "MB"}, {1073741824ULL, "GB"}};
    std::size_t unit = 0;
    while (unit + 1 < std::size(kUnits) && bytes >= kUnits[unit + 1].divisor) {
        ++unit;
    }
    // Hundredths rounded half up in integers: printf would use the C locale's decimal mark, and
    // 64-bit sizes do not fit a double exactly. The remainder is below 2^30, so *100 cannot overflow.
    const std::uint64_t divisor = kUnits[unit].divisor;
    std::uint64_t whole = bytes / divisor;
    auto fraction = static_cast<unsigned>((bytes % divisor * 100 + divisor / 2) / divisor);
    if (fraction == 100) {
        ++whole;
        fraction = 0;
    }
    std::string text = Grouped(whole, separators.Thousands) + separators.Decimal;
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return text + " " + kUnits[unit].name;
}

std::string FormatSizeText(std::string_view fileSize)
{
    if (fileSize.empty()) {
        return {};
    }
    std::uint64_t bytes = 0;
    const auto [end, error] = std::from_chars(fileSize.data(), fileSize.data() + fileSize.size(), bytes);
    if (error != std::errc() || end != fileSize.data() + fileSize.size()) {
        return std::string(fileSize);
    }
    return FormatSizeText(bytes, CurrentSeparators());
}

std::string CellText(const DocumentRecord& record, int column)
{
    if (column == 0) {
        return record.FileName;
    }
    if (column == 1) {
        return record.FullPath;
    }
    if (column == 2) {
        return FormatSizeText(record.FileSize);
    }
    if (column >= kFirstPropertyColumn && column < kColumnCount) {
        return record.Value(static_cast<std::size_t>(column - kFirstPropertyColumn));
    }
    return {};
}

} // namespace engine
