#pragma once

#include "engine/record/DocumentRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// The text of one grid cell (column 0 file name, 1 full path, 2 size, 3..19 the properties); the
// grid and every export show the same text. Columns outside 0..19 give an empty text.
[[nodiscard]] std::string CellText(const DocumentRecord& record, int column);

// Digit grouping and decimal mark used for sizes.
struct NumberSeparators
{
    std::string Thousands;
    std::string Decimal;
};

// The separators of the current C locale (LC_NUMERIC, as set by the program with setlocale);
// "," and "." where the locale defines none. An override, when set, wins.
[[nodiscard]] NumberSeparators CurrentSeparators();
// Pins the separators (tests, or a user setting); std::nullopt returns to the locale's.
void SetSeparatorOverride(std::optional<NumberSeparators> separators);

// "700.00 B", "1,023.00 B", "1.50 KB", "4.77 MB", "1.00 GB": two decimals, grouped thousands.
[[nodiscard]] std::string FormatSizeText(std::uint64_t bytes, const NumberSeparators& separators);
// The size cell for a FileSize text: empty stays empty; a text that is not a decimal number is
// shown as it is.
[[nodiscard]] std::string FormatSizeText(std::string_view fileSize);

} // namespace engine
