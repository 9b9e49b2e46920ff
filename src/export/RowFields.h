#pragma once

#include "engine/record/DocumentRecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The fields of one row as the machine-readable outputs carry them: file name, absolute path, size in
// bytes, the seventeen property texts (dates in local time) and the load error.
namespace exporting {

// Output is always valid UTF-8: each byte that starts no well-formed sequence shows as U+FFFD.
std::string ValidText(std::string_view text);

// "FileName", "FullPath", "FileSize", the seventeen display names, "Error".
const std::vector<std::string>& RowKeys();

struct RowFields
{
    std::string FileName;
    std::string FullPath;
    std::optional<std::string> FileSize; // decimal digits; nothing when unknown
    std::vector<std::string> Properties; // seventeen texts, catalogue order
    std::optional<std::string> Error;
};

// Every text already valid UTF-8.
RowFields FieldsOf(const engine::DocumentRecord& record);

} // namespace exporting
