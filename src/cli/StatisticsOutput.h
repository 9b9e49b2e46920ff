#pragma once

#include "engine/record/DocumentList.h"

#include <string>

// The statistics of the app part in show's outputs (--stats), each under its name.
namespace cli {

// The JSON object {"Application": ..., "HyperlinkBase": ...} of a record's ten statistics, the texts
// as the package stores them.
std::string JsonStatisticsObject(const engine::DocumentRecord& record);

} // namespace cli
