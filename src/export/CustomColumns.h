#pragma once

#include "export/GridSnapshot.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace exporting {

// "Custom_" + name with every character that cannot stand in an XML name (or would make it a
// prefixed name, as ':' does) replaced by '_'; "_2", "_3", ... added while the result is in used.
[[nodiscard]] std::string CustomAttributeName(std::string_view name,
                                              const std::unordered_set<std::string>& used);

// Appends one column per custom property name of the rows (in the order first met), captioned
// CustomColumnCaption(name), holding each row's value, with a safe and unique XML attribute name.
void AddCustomColumns(GridSnapshot& grid, const engine::DocumentList& rows);

} // namespace exporting
