#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Every line the tool writes to standard error has one form, so that scripts and people can read
// it the same way whatever went wrong: "velmora-cli: PATH: reason" for a fault of one file (a
// package, a table, an output), "velmora-cli: reason" for the others. Messages of the layers below
// that name their file at the front ("table.csv:12: …") fit the first form as they are.
namespace cli {

inline constexpr std::string_view kProgramName = "velmora-cli";

// "velmora-cli: PATH: reason", with no further mention of path in reason.
[[nodiscard]] std::string PathComplaint(std::string_view path, std::string_view reason);

// Writes message to standard error, "velmora-cli: " before each of its lines (an engine message
// may hold several, one per fault).
void Complain(std::string_view message);
// Writes "velmora-cli: PATH: reason" to standard error.
void Complain(std::string_view path, std::string_view reason);

// Complains each message of lines, in order.
void ComplainAll(const std::vector<std::string>& lines);

// Writes message to out with "velmora-cli: " before each of its lines.
void WriteComplaint(std::ostream& out, std::string_view message);

} // namespace cli
