#pragma once

#include "engine/record/DocumentList.h"

#include <string>

namespace cli {

// Adds each row's custom part failure to its load error, so that commands asked for custom
// properties report it like any other (without the request, the custom part goes unmentioned).
void ReportCustomPartErrors(engine::DocumentList& rows);

// The JSON object {name: {"type": ..., "value": ...}} of a record's custom properties; the first
// of several properties of one name is the one given.
std::string JsonCustomObject(const engine::DocumentRecord& record);

} // namespace cli
