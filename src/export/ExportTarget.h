#pragma once

#include "export/ExportFormat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// The target that stands for standard output.
inline constexpr std::string_view kStandardOutputTarget = "-";

// The main content type of the workbook the spreadsheet export writes.
inline constexpr std::string_view kWorkbookContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";

// What writes a file that is no package: the refusals name it, and a file of the one package kind
// it writes itself (Extension, ".xlsx", whose [Content_Types].xml declares MainContentType; empty
// for none) may be replaced.
struct WrittenFile
{
    std::string_view Writer;      // "an export"
    std::string_view PackagesAre; // what the packages are to the command: "exported"
    std::string_view Extension;
    std::string_view MainContentType = {};
};

// Why a command must not write its file to target, or nothing when it may: it never replaces a
// package. The file decided on is the one the write would replace, a symbolic link followed. It is
// refused when it is one of the packages (the same file under any name), when its extension is
// that of a package kind other than written.Extension, and when its content is a package whatever
// its name (a ZIP holding [Content_Types].xml or mimetype, or a compound file), unless it is one of
// written's own kind; a ZIP archive that cannot be read to tell is refused too. The message reads
// "TARGET: reason". Any other existing file may be replaced; kStandardOutputTarget names no file and
// is never refused.
[[nodiscard]] std::optional<std::string> OutputTargetProblem(const std::string& target,
                                                             const std::vector<std::string>& packages,
                                                             const WrittenFile& written);

// OutputTargetProblem for an export in the format: the one package kind it may replace is the
// workbook a spreadsheet export writes (an .xlsx file that holds a workbook).
[[nodiscard]] std::optional<std::string>
ExportTargetProblem(ExportFormat format, const std::string& target, const std::vector<std::string>& packages);

} // namespace exporting
