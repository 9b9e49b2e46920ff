#pragma once

#include "export/ExportFormat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// The target that stands for standard output.
inline constexpr std::string_view kStandardOutputTarget = "-";

// What writes a file that is no package: the refusals name it, and a file of the one package kind
// it writes itself (Extension, ".xlsx"; empty for none) may be replaced.
struct WrittenFile
{
    std::string_view Writer;      // "an export"
    std::string_view PackagesAre; // what the packages are to the command: "exported"
    std::string_view Extension;
};

// Why a command must not write its file to target, or nothing when it may: it never replaces a
// package. The target is refused when it is one of the packages (the same file under any name) or
// when its extension is that of a package kind other than written.Extension. The message reads
// "TARGET: reason". Any other existing file may be replaced; kStandardOutputTarget names no file and
// is never refused.
[[nodiscard]] std::optional<std::string> OutputTargetProblem(const std::string& target,
                                                             const std::vector<std::string>& packages,
                                                             const WrittenFile& written);

// Why an export must not write to target, or nothing when it may: an export never replaces a package.
// The target is refused when it is one of the packages being exported (the same file under any name)
// or when its extension is that of a package kind other than the one the format itself writes (a
// workbook is an .xlsx package). The message reads "TARGET: reason". Any other existing file may be
// replaced; kStandardOutputTarget names no file and is never refused.
[[nodiscard]] std::optional<std::string>
ExportTargetProblem(ExportFormat format, const std::string& target, const std::vector<std::string>& packages);

} // namespace exporting
