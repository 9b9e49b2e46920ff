#pragma once

#include <string>
#include <string_view>
#include <vector>

// Paths read from a list (--files-from), for lists longer than the argument limit and for names
// that hold any byte but NUL (with --null, as `find -print0` writes them).
namespace cli {

// The paths in bytes: one a line, or separated by NUL characters when nullSeparated. Each entry is
// taken as written (blanks and a '\r' included); empty entries are skipped.
[[nodiscard]] std::vector<std::string> SplitPathList(std::string_view bytes, bool nullSeparated);

// The paths listed in the file ("-": standard input). Throws std::runtime_error
// "FILE: cannot read: reason" when it cannot be read.
[[nodiscard]] std::vector<std::string> ReadPathList(const std::string& file, bool nullSeparated);

} // namespace cli
