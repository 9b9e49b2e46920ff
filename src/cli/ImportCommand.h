#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli import FILE [PATH...]: applies the property values of a CSV or XLSX table (as
// `show --csv` and the exports write them) to the packages it names, and saves them.
void AddImportCommand(CLI::App& app);

} // namespace cli
