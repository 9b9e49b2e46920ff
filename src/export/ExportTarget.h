#pragma once

#include "export/ExportFormat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// The target that stands for standard output.
inline constexpr std::string_view kStandardOutputTarget = "-";

// Why an export must not write to target, or nothing when it may: an export never replaces a package.
// The target is refused when it is one of the packages being exported (the same file under any name)
// or when its extension is that of a package kind other than the one the format itself writes (a
// workbook is an .xlsx package). The message reads "TARGET: reason". Any other existing file may be
// replaced; kStandardOutputTarget names no file and is never refused.
[[nodiscard]] std::optional<std::string>
ExportTargetProblem(ExportFormat format, const std::string& target, const std::vector<std::string>& packages);

} // namespace exporting
