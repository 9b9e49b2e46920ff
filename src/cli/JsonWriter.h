#pragma once

#include "engine/record/DocumentList.h"

#include <ostream>
#include <string>
#include <string_view>

namespace cli {

// A JSON string literal (quotes included) of valid UTF-8 text: '"', '\' and control characters
// escaped, everything else passed through.
std::string JsonString(std::string_view validUtf8);
// The same literal appended to out.
void AppendJsonString(std::string& out, std::string_view validUtf8);

// The rows as a JSON array of objects with the keys of exporting::RowKeys(), in that order; FileSize is a
// number, Error null or the message; withStatistics adds "Statistics" (JsonStatisticsObject) and
// withCustom "Custom" (JsonCustomObject) after Error.
void WriteJson(std::ostream& out,
               const engine::DocumentList& rows,
               bool withCustom = false,
               bool withStatistics = false);

} // namespace cli
